#pragma once
// The one clipping layer between primitives and pixels: where device pixels live and which of
// them may be touched. Every primitive writes through Plot or Span.
#include "platform/base/WinDef.h"
#include "platform/gdi/RasterOps.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace gdi {

struct RasterTarget {
    uint32_t* pixels = nullptr;  // surface pixel (0, 0)
    int stride = 0;              // pixels per surface row
    int offsetX = 0;             // device x + offsetX = surface column
    int offsetY = 0;             // device y + offsetY = surface row
    CRect clip;                  // device pixels that may be touched; empty when none

    bool IsEmpty() const { return pixels == nullptr || clip.IsRectEmpty(); }
    bool Contains(int x, int y) const {
        return x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
    }
    // The pixel at device (x, y); the caller has checked Contains.
    uint32_t* At(int x, int y) const {
        return pixels + static_cast<ptrdiff_t>(y + offsetY) * stride + (x + offsetX);
    }
};

inline void Plot(const RasterTarget& t, int x, int y, const RopMasks& m) {
    if (!t.Contains(x, y)) return;
    uint32_t* p = t.At(x, y);
    *p = m.Apply(*p);
}

// Device pixels x0..x1-1 of row y (any values; clipped here).
inline void Span(const RasterTarget& t, int y, long long x0, long long x1, const RopMasks& m) {
    if (y < t.clip.top || y >= t.clip.bottom) return;
    if (x0 >= x1 || x1 <= t.clip.left || x0 >= t.clip.right) return;
    const int a = static_cast<int>(std::max<long long>(x0, t.clip.left));
    const int b = static_cast<int>(std::min<long long>(x1, t.clip.right));
    uint32_t* p = t.At(a, y);
    uint32_t* e = p + (b - a);
    if (m.andMask == 0) {
        std::fill(p, e, m.xorMask);
    } else {
        for (; p != e; ++p) *p = m.Apply(*p);
    }
}

// Fills device rectangle r (clipped) with the operation.
inline void FillDeviceRect(const RasterTarget& t, const CRect& r, const RopMasks& m) {
    const int top = std::max<int>(r.top, t.clip.top);
    const int bottom = std::min<int>(r.bottom, t.clip.bottom);
    for (int y = top; y < bottom; ++y) Span(t, y, r.left, r.right, m);
}

}  // namespace gdi
