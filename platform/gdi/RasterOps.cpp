#include "platform/gdi/RasterOps.h"

#include <cassert>

namespace gdi {

RopMasks MakeRop2Masks(int rop2, COLORREF colour) {
    assert(rop2 >= 1 && rop2 <= 16);
    // rop2 - 1 is the truth table: bit (2 * P + S) gives the result for pen bit P and screen bit S.
    const unsigned table = static_cast<unsigned>(rop2 - 1);
    auto all = [](unsigned bit) { return bit ? 0x00FFFFFFu : 0u; };
    const uint32_t p = colour & 0x00FFFFFFu;
    const uint32_t whenS0 = (p & all(table & 4)) | (~p & all(table & 1));
    const uint32_t whenS1 = (p & all(table & 8)) | (~p & all(table & 2));
    RopMasks m;
    m.xorMask = whenS0 & 0x00FFFFFFu;
    m.andMask = (whenS0 ^ whenS1) & 0x00FFFFFFu;
    return m;
}

}  // namespace gdi
