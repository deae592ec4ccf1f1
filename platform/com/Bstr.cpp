#include "platform/com/Bstr.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/com/LiveObjects.h"

// Layout as on the platform: a 32-bit byte count just before the characters, a zero after them.
// Strings beyond this size are refused (null), never truncated.
namespace {
constexpr UINT kMaxBstrLength = 0x7FFFFFF0u;
}

BSTR SysAllocStringLen(const OLECHAR* pch, UINT len) {
    if (len > kMaxBstrLength) return nullptr;
    auto* block = static_cast<char*>(std::malloc(sizeof(uint32_t) + len + 1));
    if (block == nullptr) return nullptr;
    const uint32_t n = len;
    std::memcpy(block, &n, sizeof n);
    BSTR s = block + sizeof(uint32_t);
    if (pch != nullptr)
        std::memcpy(s, pch, len);
    else
        std::memset(s, 0, len);
    s[len] = '\0';
    com_detail::AdjustLiveBstrs(+1);
    return s;
}

BSTR SysAllocString(LPCOLESTR psz) {
    if (psz == nullptr) return nullptr;
    size_t n = std::strlen(psz);
    if (n > kMaxBstrLength) return nullptr;
    return SysAllocStringLen(psz, static_cast<UINT>(n));
}

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) { return SysAllocStringLen(psz, len); }

BSTR SysAllocStringFrom(std::string_view text) {
    if (text.size() > kMaxBstrLength) return nullptr;
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

BOOL SysReAllocString(BSTR* pbstr, LPCOLESTR psz) {
    if (pbstr == nullptr) return FALSE;
    BSTR fresh = psz ? SysAllocString(psz) : nullptr;
    if (psz != nullptr && fresh == nullptr) return FALSE;
    SysFreeString(*pbstr);
    *pbstr = fresh;
    return TRUE;
}

void SysFreeString(BSTR bstr) {
    if (bstr == nullptr) return;
    std::free(bstr - sizeof(uint32_t));
    com_detail::AdjustLiveBstrs(-1);
}

UINT SysStringLen(BSTR bstr) {
    if (bstr == nullptr) return 0;
    uint32_t n;
    std::memcpy(&n, bstr - sizeof(uint32_t), sizeof n);
    return n;
}

UINT SysStringByteLen(BSTR bstr) { return SysStringLen(bstr); }
