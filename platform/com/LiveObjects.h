#pragma once
// Counts of everything this layer allocates for callers (COM objects, BSTRs, safe arrays), so tests
// and the host can prove that every reference and every allocation was given back.
#include <cstdint>

// Base of every COM object implemented in the product: construction and destruction move the
// live-object count.
class CComLiveObject {
public:
    CComLiveObject();
    CComLiveObject(const CComLiveObject&);
    CComLiveObject& operator=(const CComLiveObject&) = default;
    ~CComLiveObject();

    // COM objects alive now.
    static int64_t GetLiveCount();
};

// BSTRs allocated and not yet freed.
int64_t GetLiveBstrCount();
// Safe arrays created and not yet destroyed.
int64_t GetLiveSafeArrayCount();

namespace com_detail {
void AdjustLiveBstrs(int delta);
void AdjustLiveSafeArrays(int delta);
}  // namespace com_detail
