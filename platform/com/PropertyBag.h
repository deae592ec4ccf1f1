#pragma once
// A property bag kept in memory: names (compared exactly) to VARIANTs, in the order they were
// first written, so a saved document lists properties in the order the control exchanged them.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/OleInterfaces.h"

class CPropertyBag final : public IPropertyBag, private CComRefCount {
public:
    // A new, empty bag with one reference for the caller.
    static CComPtr<CPropertyBag> Create();

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar) override;
    HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) override;

    // The stored value, or null when absent (valid until the bag changes).
    const VARIANT* Find(std::string_view name) const;
    // Stores a copy of `value` under `name`.
    HRESULT Set(std::string_view name, const VARIANT& value);
    BOOL Remove(std::string_view name);
    void Clear();
    std::vector<std::string> GetNames() const;
    size_t GetCount() const { return m_entries.size(); }

private:
    CPropertyBag() = default;
    ~CPropertyBag() override;
    std::vector<std::pair<std::string, VARIANT>> m_entries;
};
