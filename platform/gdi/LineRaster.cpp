#include "platform/gdi/LineRaster.h"

#include "platform/gdi/GdiTypes.h"

#include <cmath>
#include <cstdlib>
#include <initializer_list>

namespace gdi {

namespace {

constexpr DashPattern Pattern(std::initializer_list<int> runs) {
    DashPattern d;
    for (int r : runs) {
        d.runs[d.count++] = static_cast<uint8_t>(r);
        d.total += r;
    }
    return d;
}

}  // namespace

DashPattern MakeDashPattern(int style) {
    // Every pen selection asks for its pattern (a viewer selects one per ray leg), so the few
    // patterns there are are built once.
    static constexpr DashPattern kSolid{};
    static constexpr DashPattern kDash = Pattern({18, 6});
    static constexpr DashPattern kDot = Pattern({3, 3});
    static constexpr DashPattern kDashDot = Pattern({9, 6, 3, 6});
    static constexpr DashPattern kDashDotDot = Pattern({9, 3, 3, 3, 3, 3});
    switch (style & PS_STYLE_MASK) {
    case PS_DASH: return kDash;
    case PS_DOT: return kDot;
    case PS_DASHDOT: return kDashDot;
    case PS_DASHDOTDOT: return kDashDotDot;
    default: return kSolid;
    }
}

namespace {

using i128 = __int128;

// Which pixels of the pattern are "on"; total is at most 24.
struct DashTable {
    bool on[32] = {};
    int total = 0;
    explicit DashTable(const DashPattern& d) : total(d.total) {
        int k = 0;
        for (int r = 0; r < d.count; ++r)
            for (int j = 0; j < d.runs[r]; ++j) on[k++] = (r % 2) == 0;
    }
};

// Offset of the minor coordinate at major step i, in the minor direction: the exact offset
// dmin * i / dmaj rounded to the nearest integer, halves going to the smaller screen coordinate
// (bias dmaj - 1 rounds halves down for a positive minor direction, dmaj rounds them up in
// magnitude for a negative one).
inline int64_t MinorAt(int64_t dmaj, int64_t dmin, int64_t i, int64_t bias) {
    const i128 q = static_cast<i128>(2) * dmin * i + bias;
    return static_cast<int64_t>(q / (static_cast<i128>(2) * dmaj));
}

struct LineSetup {
    bool xMajor;
    int64_t dmaj, dmin;
    int smaj, smin;
    int64_t major0, minor0;
    int64_t bias;
};

LineSetup Setup(int x0, int y0, int x1, int y1) {
    const int64_t dx = static_cast<int64_t>(x1) - x0;
    const int64_t dy = static_cast<int64_t>(y1) - y0;
    LineSetup s{};
    s.xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t dMajor = s.xMajor ? dx : dy;
    const int64_t dMinor = s.xMajor ? dy : dx;
    s.dmaj = std::llabs(dMajor);
    s.dmin = std::llabs(dMinor);
    s.smaj = dMajor < 0 ? -1 : 1;
    s.smin = dMinor < 0 ? -1 : 1;
    s.major0 = s.xMajor ? x0 : y0;
    s.minor0 = s.xMajor ? y0 : x0;
    s.bias = s.smin > 0 ? s.dmaj - 1 : s.dmaj;
    return s;
}

template <typename PixelOp>
void Walk(const RasterTarget& t, const LineSetup& s, int64_t ia, int64_t ib, PixelOp op) {
    const int64_t twoMaj = 2 * s.dmaj;
    // From the first step the error term is the bias, which is below 2 * dmaj: no division.
    int64_t m = 0;
    int64_t r = s.bias;
    if (ia != 0) {
        const i128 q = static_cast<i128>(2) * s.dmin * ia + s.bias;
        m = static_cast<int64_t>(q / twoMaj);
        r = static_cast<int64_t>(q % twoMaj);
    }
    const int64_t major = s.major0 + s.smaj * ia;
    const int64_t minor = s.minor0 + s.smin * m;
    const int x = static_cast<int>(s.xMajor ? major : minor);
    const int y = static_cast<int>(s.xMajor ? minor : major);
    uint32_t* p = t.At(x, y);
    const ptrdiff_t stepMaj = s.xMajor ? s.smaj : static_cast<ptrdiff_t>(s.smaj) * t.stride;
    const ptrdiff_t stepMin = s.xMajor ? static_cast<ptrdiff_t>(s.smin) * t.stride : s.smin;
    const int64_t twoMin = 2 * s.dmin;
    for (int64_t i = ia; i <= ib; ++i) {
        op(p, i);
        r += twoMin;
        if (r >= twoMaj) {
            r -= twoMaj;
            p += stepMin;
        }
        p += stepMaj;
    }
}

// Narrows the steps ia..ib to those inside the clip: first by the major coordinate, then by the
// minor one; false when none is left.
bool NarrowToClip(const RasterTarget& t, const LineSetup& s, int64_t& ia, int64_t& ib) {
    const int64_t lo = s.xMajor ? t.clip.left : t.clip.top;
    const int64_t hi = (s.xMajor ? t.clip.right : t.clip.bottom) - 1;
    if (s.smaj > 0) {
        ia = std::max<int64_t>(ia, lo - s.major0);
        ib = std::min<int64_t>(ib, hi - s.major0);
    } else {
        ia = std::max<int64_t>(ia, s.major0 - hi);
        ib = std::min<int64_t>(ib, s.major0 - lo);
    }
    if (ia > ib) return false;

    // Narrow to the steps whose minor coordinate lies inside; the offset grows with the step.
    const int64_t mlo = s.xMajor ? t.clip.top : t.clip.left;
    const int64_t mhi = (s.xMajor ? t.clip.bottom : t.clip.right) - 1;
    const int64_t gLo = s.smin > 0 ? mlo - s.minor0 : s.minor0 - mhi;
    const int64_t gHi = s.smin > 0 ? mhi - s.minor0 : s.minor0 - mlo;
    auto g = [&](int64_t i) { return MinorAt(s.dmaj, s.dmin, i, s.bias); };
    if (g(ia) < gLo) {
        if (g(ib) < gLo) return false;
        int64_t a = ia, b = ib;  // g(a) < gLo <= g(b)
        while (b - a > 1) {
            const int64_t mid = a + (b - a) / 2;
            (g(mid) < gLo ? a : b) = mid;
        }
        ia = b;
    }
    if (g(ib) > gHi) {
        if (g(ia) > gHi) return false;
        int64_t a = ia, b = ib;  // g(a) <= gHi < g(b)
        while (b - a > 1) {
            const int64_t mid = a + (b - a) / 2;
            (g(mid) > gHi ? b : a) = mid;
        }
        ib = a;
    }
    return true;
}

}  // namespace

void DrawThinLine(const RasterTarget& t, int x0, int y0, int x1, int y1, const LineStyle& style,
                  uint64_t& phase) {
    if (x0 == x1 && y0 == y1) return;
    const LineSetup s = Setup(x0, y0, x1, y1);
    const int64_t n = s.dmaj;
    const uint64_t startPhase = phase;
    phase += static_cast<uint64_t>(n);
    if (t.IsEmpty()) return;

    // A line with both ends inside the clip lies inside it (the clip is a rectangle): every step
    // is drawn and the search below, with its 128-bit divisions, is not needed.
    int64_t ia = 0, ib = n - 1;
    if (!t.Contains(x0, y0) || !t.Contains(x1, y1)) {
        if (!NarrowToClip(t, s, ia, ib)) return;
    }

    const bool solid = style.dash == nullptr || style.dash->count == 0;
    if (solid) {
        const RopMasks m = style.on;
        if (m.IsNop()) return;
        if (m.andMask == 0) {
            const uint32_t c = m.xorMask;
            Walk(t, s, ia, ib, [c](uint32_t* p, int64_t) { *p = c; });
        } else {
            Walk(t, s, ia, ib, [m](uint32_t* p, int64_t) { *p = m.Apply(*p); });
        }
        return;
    }
    const DashTable table(*style.dash);
    int idx = static_cast<int>((startPhase + static_cast<uint64_t>(ia)) % static_cast<uint64_t>(table.total));
    const RopMasks on = style.on, off = style.off;
    const bool paintOff = style.paintOff;
    Walk(t, s, ia, ib, [&](uint32_t* p, int64_t) {
        if (table.on[idx]) {
            *p = on.Apply(*p);
        } else if (paintOff) {
            *p = off.Apply(*p);
        }
        if (++idx == table.total) idx = 0;
    });
}

void DrawThinLineReference(const RasterTarget& t, int x0, int y0, int x1, int y1, const LineStyle& style,
                           uint64_t& phase) {
    const double dx = static_cast<double>(x1) - x0, dy = static_cast<double>(y1) - y0;
    const bool xMajor = std::fabs(dx) >= std::fabs(dy);
    const int64_t n = static_cast<int64_t>(std::fabs(xMajor ? dx : dy));
    const bool solid = style.dash == nullptr || style.dash->count == 0;
    const DashTable table(solid ? DashPattern{} : *style.dash);
    for (int64_t i = 0; i < n; ++i) {
        // The exact line at this major coordinate, rounded with halves to the smaller coordinate.
        double x, y;
        if (xMajor) {
            x = x0 + (dx > 0 ? i : -i);
            y = std::ceil(y0 + dy * (x - x0) / dx - 0.5);
        } else {
            y = y0 + (dy > 0 ? i : -i);
            x = std::ceil(x0 + dx * (y - y0) / dy - 0.5);
        }
        bool on = true;
        if (!solid) on = table.on[(phase + static_cast<uint64_t>(i)) % static_cast<uint64_t>(table.total)];
        if (on) {
            Plot(t, static_cast<int>(x), static_cast<int>(y), style.on);
        } else if (style.paintOff) {
            Plot(t, static_cast<int>(x), static_cast<int>(y), style.off);
        }
    }
    phase += static_cast<uint64_t>(n);
}

}  // namespace gdi
