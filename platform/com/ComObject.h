#pragma once
// Reference counting for the layer's own COM objects: the creator holds the first reference, the
// last Release deletes, and every live object is counted.
#include <cassert>

#include "platform/com/LiveObjects.h"
#include "platform/com/Unknown.h"

class CComRefCount : public CComLiveObject {
public:
    CComRefCount() = default;
    CComRefCount(const CComRefCount&) = delete;
    CComRefCount& operator=(const CComRefCount&) = delete;
    virtual ~CComRefCount() = default;

protected:
    ULONG InternalAddRef() { return ++m_cRef; }
    // Deletes the object when the count reaches zero.
    ULONG InternalRelease() {
        assert(m_cRef > 0 && "Release without a reference");
        ULONG n = --m_cRef;
        if (n == 0) delete this;
        return n;
    }
    ULONG GetRefCount() const { return m_cRef; }

private:
    ULONG m_cRef = 1;
};
