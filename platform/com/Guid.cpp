#include "platform/com/Guid.h"

#include <cstdio>
#include <cstring>

bool operator<(const GUID& a, const GUID& b) {
    if (a.Data1 != b.Data1) return a.Data1 < b.Data1;
    if (a.Data2 != b.Data2) return a.Data2 < b.Data2;
    if (a.Data3 != b.Data3) return a.Data3 < b.Data3;
    return std::memcmp(a.Data4, b.Data4, sizeof a.Data4) < 0;
}

std::string StringFromGUID(REFGUID g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), static_cast<unsigned>(g.Data2), static_cast<unsigned>(g.Data3),
                  g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return text;
}

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads exactly `digits` hex digits at `pos`; false on anything else.
bool ReadHex(std::string_view text, size_t pos, int digits, uint32_t* out) {
    uint32_t v = 0;
    for (int i = 0; i < digits; ++i) {
        int h = HexValue(text[pos + i]);
        if (h < 0) return false;
        v = (v << 4) | static_cast<uint32_t>(h);
    }
    *out = v;
    return true;
}

}  // namespace

BOOL GUIDFromString(std::string_view text, GUID* pGuid) {
    // {8-4-4-4-12} with braces is 38 characters.
    if (pGuid == nullptr || text.size() != 38 || text[0] != '{' || text[37] != '}') return FALSE;
    if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') return FALSE;
    GUID g{};
    uint32_t v = 0;
    if (!ReadHex(text, 1, 8, &v)) return FALSE;
    g.Data1 = v;
    if (!ReadHex(text, 10, 4, &v)) return FALSE;
    g.Data2 = static_cast<WORD>(v);
    if (!ReadHex(text, 15, 4, &v)) return FALSE;
    g.Data3 = static_cast<WORD>(v);
    const size_t bytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(text, bytePos[i], 2, &v)) return FALSE;
        g.Data4[i] = static_cast<BYTE>(v);
    }
    *pGuid = g;
    return TRUE;
}
