#pragma once
// The property bag a control loads from and saves into: a document's stored properties for one
// control. A stored value of the wrong kind for the property that reads it is refused (the
// control then takes its stored default) and reported, naming the control and the property.
#include <string>
#include <vector>

#include "host/DocumentFile.h"
#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatch.h"
#include "platform/com/OleInterfaces.h"

class CStoredPropertyBag final : public IPropertyBag, private CComRefCount {
public:
    // A bag over `properties` (copied); problems are reported with `where` in front.
    static CStoredPropertyBag* Create(std::vector<SStoredProperty> properties, std::string where);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    // Follows `control` through the load that comes next: its readable properties are noted now,
    // and a key the document does not store then reads as the control's current value when an
    // earlier key of the same load (a file name that loads a file) has changed it. A key that
    // nothing changed stays absent, so the control takes its stored default.
    void FollowControl(IDispatch* control);

    // E_INVALIDARG when absent (see FollowControl). A VT_EMPTY *pVar takes the stored value as it is; any other type
    // asks for that type, and a value of another kind (a string for a number, a number for a
    // string) or out of its range fails with DISP_E_TYPEMISMATCH or DISP_E_OVERFLOW.
    HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar) override;
    // Stores (or replaces) a value of one of the types a document can hold.
    HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) override;

    // The values, in the order they were first stored.
    const std::vector<SStoredProperty>& GetProperties() const { return m_properties; }
    // One line per value that was refused while reading.
    const std::vector<std::string>& GetProblems() const { return m_problems; }

private:
    CStoredPropertyBag(std::vector<SStoredProperty> properties, std::string where);
    ~CStoredPropertyBag() override = default;

    HRESULT ReadValue(const CStoredValue& value, const std::string& name, VARIANT* pVar);
    // The control's value of a property it had before the load, when it differs from that now.
    bool ReadChangedByLoad(const std::string& name, CStoredValue& value);

    std::vector<SStoredProperty> m_properties;
    std::string m_where;
    CComPtr<IDispatch> m_pControl;
    std::vector<SStoredProperty> m_beforeLoad;
    std::vector<std::string> m_problems;
};

// The stored form of a VARIANT of a type documents hold; false for any other type. Single
// precision values are stored with the shortest decimal that reads back to the same float.
bool StoredValueFromVariant(const VARIANT& v, CStoredValue& out);
// The VARIANT of a stored value (the caller clears it).
void VariantFromStoredValue(const CStoredValue& value, VARIANT& out);
