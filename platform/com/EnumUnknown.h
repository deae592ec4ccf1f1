#pragma once
// An enumerator over a fixed list of objects, as a container hands out for its objects.
#include <span>
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/com/OleInterfaces.h"

class CEnumUnknown final : public IEnumUnknown, private CComRefCount {
public:
    // An enumerator holding a reference to each of `objects`, in order; *ppenum gets a reference.
    static HRESULT Create(std::span<IUnknown* const> objects, IEnumUnknown** ppenum);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT Next(ULONG celt, IUnknown** rgelt, ULONG* pceltFetched) override;
    HRESULT Skip(ULONG celt) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumUnknown** ppenum) override;

private:
    explicit CEnumUnknown(std::span<IUnknown* const> objects);
    ~CEnumUnknown() override;
    std::vector<IUnknown*> m_objects;
    size_t m_next = 0;
};
