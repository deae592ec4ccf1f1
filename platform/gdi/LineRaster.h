#pragma once
// One-pixel lines: the platform's Bresenham with its tie rule, cosmetic dash styles, and a plain
// per-pixel reference the fast routine is tested against.
#include "platform/gdi/RasterTarget.h"

#include <cstdint>

namespace gdi {

// On and off runs of a cosmetic pen style, starting "on"; count 0 means solid.
struct DashPattern {
    uint8_t runs[6] = {};
    int count = 0;
    int total = 0;
};

// The pattern of a PS_* style (solid for PS_SOLID, PS_INSIDEFRAME and unknown styles).
DashPattern MakeDashPattern(int style);

// How a one-pixel line combines its pixels.
struct LineStyle {
    RopMasks on;                  // pixels of "on" runs (or every pixel of a solid line)
    RopMasks off;                 // pixels of "off" runs, when paintOff is set (OPAQUE mode)
    bool paintOff = false;
    const DashPattern* dash = nullptr;  // null or count 0: solid
};

// Draws from (x0, y0) toward (x1, y1), leaving out (x1, y1). phase counts the pixels of the
// pattern drawn so far (clipped ones included) and is advanced by the line's length, so a
// polyline carries its pattern across vertices. Any int32 coordinates; cost follows the pixels
// inside the clip, not the line's length.
void DrawThinLine(const RasterTarget& t, int x0, int y0, int x1, int y1, const LineStyle& style,
                  uint64_t& phase);

// The same pixels computed one by one from the exact line; for tests of DrawThinLine.
void DrawThinLineReference(const RasterTarget& t, int x0, int y0, int x1, int y1, const LineStyle& style,
                           uint64_t& phase);

}  // namespace gdi
