#pragma once
// Raster operations as mask pairs decided once per selection, and the ternary operations of the
// block transfers.
#include "platform/base/WinDef.h"

#include <cstdint>

namespace gdi {

// A binary raster operation with a fixed pen colour: new = (old & andMask) ^ xorMask.
struct RopMasks {
    uint32_t andMask = 0;
    uint32_t xorMask = 0;
    // The operation leaves the screen alone (R2_NOP); callers may skip the pixels.
    bool IsNop() const { return andMask == 0x00FFFFFFu && xorMask == 0; }
    uint32_t Apply(uint32_t screen) const { return ((screen & andMask) ^ xorMask) & 0x00FFFFFFu; }
};

// The mask pair of R2_* code rop2 (1..16) for colour; an out-of-range code asserts.
RopMasks MakeRop2Masks(int rop2, COLORREF colour);

// One ternary raster operation (the high byte of the platform's 32-bit code) applied to
// pattern P, source S and destination D bitwise.
inline uint32_t ApplyRop3(uint8_t rop, uint32_t p, uint32_t s, uint32_t d) {
    uint32_t out = 0;
    for (int i = 0; i < 8; ++i) {
        if (((rop >> i) & 1) == 0) continue;
        const uint32_t pm = (i & 4) ? p : ~p;
        const uint32_t sm = (i & 2) ? s : ~s;
        const uint32_t dm = (i & 1) ? d : ~d;
        out |= pm & sm & dm;
    }
    return out & 0x00FFFFFFu;
}

// The operation byte of a 32-bit ternary raster code.
constexpr uint8_t Rop3Index(DWORD rop) { return static_cast<uint8_t>((rop >> 16) & 0xFF); }
// Whether the operation reads the source, the pattern (brush).
constexpr bool Rop3UsesSource(uint8_t r) { return ((r >> 2) & 0x33) != (r & 0x33); }
constexpr bool Rop3UsesPattern(uint8_t r) { return ((r >> 4) & 0x0F) != (r & 0x0F); }

}  // namespace gdi
