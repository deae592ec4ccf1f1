#include "platform/gdi/ShapeRaster.h"

#include "platform/base/Saturate.h"

#include <algorithm>
#include <cmath>

namespace gdi {

namespace {

constexpr double kEps = 1e-9;

// The x interval of points (x, y) with lo <= k * x + c <= hi; false when empty.
bool LinearRange(double k, double c, double lo, double hi, double& xlo, double& xhi) {
    if (std::fabs(k) < 1e-15) {
        if (c < lo - kEps || c > hi + kEps) return false;
        xlo = -HUGE_VAL;
        xhi = HUGE_VAL;
        return true;
    }
    double a = (lo - c) / k, b = (hi - c) / k;
    if (a > b) std::swap(a, b);
    xlo = a;
    xhi = b;
    return true;
}

// Where row y crosses the stroke of radius r from p to q; the end discs only when asked.
bool CapsuleRow(const DPoint& p, const DPoint& q, double r, double y, bool discs, double& lo, double& hi) {
    bool any = false;
    lo = HUGE_VAL;
    hi = -HUGE_VAL;
    auto disk = [&](const DPoint& c) {
        const double dy = y - c.y;
        if (std::fabs(dy) > r) return;
        const double h = std::sqrt(std::max(0.0, r * r - dy * dy));
        lo = std::min(lo, c.x - h);
        hi = std::max(hi, c.x + h);
        any = true;
    };
    if (discs) {
        disk(p);
        disk(q);
    }
    const double dx = q.x - p.x, dyl = q.y - p.y;
    const double len = std::hypot(dx, dyl);
    if (len > 0) {
        const double ux = dx / len, uy = dyl / len;
        // Along the segment: 0 <= (x - p.x) * ux + (y - p.y) * uy <= len.
        double a0, a1, b0, b1;
        if (LinearRange(ux, (y - p.y) * uy - p.x * ux, 0, len, a0, a1) &&
            LinearRange(-uy, (y - p.y) * ux + p.x * uy, -r, r, b0, b1)) {
            const double s0 = std::max(a0, b0), s1 = std::min(a1, b1);
            if (s0 <= s1) {
                lo = std::min(lo, s0);
                hi = std::max(hi, s1);
                any = true;
            }
        }
    }
    return any;
}

long long CeilLL(double v) { return TruncateToInt64(std::ceil(v)); }
long long FloorLL(double v) { return TruncateToInt64(std::floor(v)); }

}  // namespace

void MergeSpans(std::vector<RowSpan>& spans) {
    if (spans.size() < 2) return;
    std::sort(spans.begin(), spans.end(), [](const RowSpan& a, const RowSpan& b) { return a.x0 < b.x0; });
    size_t w = 0;
    for (size_t i = 1; i < spans.size(); ++i) {
        if (spans[i].x0 <= spans[w].x1) {
            spans[w].x1 = std::max(spans[w].x1, spans[i].x1);
        } else {
            spans[++w] = spans[i];
        }
    }
    spans.resize(w + 1);
}

CWidePath::CWidePath(const std::vector<DPoint>& points, double radius, int capWidth)
    : m_points(points), m_radius(radius), m_capWidth(capWidth) {
    if (capWidth > 1) m_cap.emplace(CRect(0, 0, capWidth, capWidth));
    if (m_points.empty()) return;
    m_minY = m_maxY = m_points[0].y;
    for (const DPoint& p : m_points) {
        m_minY = std::min(m_minY, p.y);
        m_maxY = std::max(m_maxY, p.y);
    }
}

void CWidePath::RowRange(int limitTop, int limitBottom, int& top, int& bottom) const {
    if (m_points.empty()) {
        top = bottom = limitTop;
        return;
    }
    const double t = std::ceil(m_minY - m_radius - kEps), b = std::floor(m_maxY + m_radius + kEps) + 1;
    top = static_cast<int>(std::clamp<double>(t, limitTop, limitBottom));
    bottom = static_cast<int>(std::clamp<double>(b, limitTop, limitBottom));
    if (bottom < top) bottom = top;
}

void CWidePath::RowSpans(int y, std::vector<RowSpan>& out) const {
    out.clear();
    const size_t n = m_points.size();
    const bool discs = !m_cap.has_value();
    for (size_t i = 0; i < n; ++i) {
        const DPoint& p = m_points[i];
        if (!discs) {
            // The cap's box around the pen centre (an even width's centre lies on a pixel corner).
            const double half = (m_capWidth - 1) / 2.0;
            const long long left = std::llround(p.x - half), top = std::llround(p.y - half);
            long long xl, xr;
            if (m_cap->Row(y - top, xl, xr)) out.push_back(RowSpan{left + xl, left + xr + 1});
        }
        const DPoint& q = m_points[i + 1 < n ? i + 1 : i];
        if (i + 1 == n && (n > 1 || !discs)) break;
        const double lo0 = std::min(p.y, q.y) - m_radius, hi0 = std::max(p.y, q.y) + m_radius;
        if (y < lo0 - kEps || y > hi0 + kEps) continue;
        double lo, hi;
        if (!CapsuleRow(p, q, m_radius, y, discs, lo, hi)) continue;
        const long long a = CeilLL(lo - kEps), b = FloorLL(hi + kEps);
        if (a <= b) out.push_back(RowSpan{a, b + 1});
    }
    MergeSpans(out);
}

CEllipseRows::CEllipseRows(const CRect& box) {
    const long long w = static_cast<long long>(box.right) - box.left, h = static_cast<long long>(box.bottom) - box.top;
    m_cx = (static_cast<double>(box.left) + box.right - 1) / 2;
    m_cy = (static_cast<double>(box.top) + box.bottom - 1) / 2;
    m_a = (static_cast<double>(w) - 1) / 2;
    m_b = (static_cast<double>(h) - 1) / 2;
    // A quarter pixel beyond the centre line: a 2x2 box stays a solid block while the corners of
    // a 3x3 box fall outside, leaving the platform's four-pixel diamond.
    m_ra = m_a + 0.25;
    m_rb = m_b + 0.25;
    m_left = box.left;
    m_top = box.top;
    m_bottom = static_cast<long long>(box.bottom) - 1;
    m_halfW = std::max(0LL, (w - 1) / 2);
    m_halfH = std::max(0LL, (h - 1) / 2);
    m_rightAxis = std::max(0LL, w - 1 - m_halfW);
    m_lowerAxis = std::max(0LL, h - 1 - m_halfH);
    m_u0 = (w % 2 == 0) ? 0.5 : 0.0;
    m_v0 = (h % 2 == 0) ? 0.5 : 0.0;
    m_small = w <= 10 && h <= 10;
}

// The outermost column of quadrant row k: where the curve leaves the row's lower half-line (one
// pixel a column while the curve is flatter than 45 degrees), or the column nearest the curve on
// the row's centre line (one pixel a row where it is steeper), whichever reaches further.
long long CEllipseRows::CurveEdge(long long k) const {
    if (k < 0 || k > m_halfH) return -1;
    auto reach = [&](double v) {
        if (m_b <= 0) return m_a;
        const double t = std::fabs(v) / m_b, q = 1 - t * t;
        return q > 0 ? m_a * std::sqrt(q) : 0.0;
    };
    const double v = m_v0 + static_cast<double>(k);
    const double eps = 1e-12 * (1 + m_a);
    const double byColumn = std::floor(reach(v - 0.5) - m_u0 + eps);
    const double byRow = std::floor(reach(v) - m_u0 + 0.5 + eps);  // halves outward
    return std::clamp<long long>(TruncateToInt64(std::max(byColumn, byRow)), 0, m_halfW);
}

// A long run followed by a straight step down would leave a redundant corner pixel: the run gives
// its last pixel up and the step becomes diagonal.
long long CEllipseRows::CurveEnd(long long k) const {
    if (k < 0 || k > m_halfH) return -1;
    const long long e = CurveEdge(k);
    if (k > 0 && CurveEdge(k - 1) == e && e >= CurveEdge(k + 1) + 2) return e - 1;
    return e;
}

bool CEllipseRows::CurveRun(long long y, long long& inner, long long& outer) const {
    if (y < m_top || y > m_bottom) return false;
    const long long dy = y - m_top;
    const long long k = dy <= m_halfH ? m_halfH - dy : dy - m_lowerAxis;
    outer = CurveEnd(k);
    inner = std::min(CurveEnd(k + 1) + 1, outer);
    return outer >= 0;
}

bool CEllipseRows::Row(long long y, long long& xl, long long& xr) const {
    if (y < m_top || y > m_bottom) return false;
    if (!m_small) {
        long long inner, outer;
        if (!CurveRun(y, inner, outer)) return false;
        xl = m_left + m_halfW - outer;
        xr = m_left + m_rightAxis + outer;
        return true;
    }
    const double dy = (static_cast<double>(y) - m_cy) / m_rb;
    const double q = 1 - dy * dy;
    if (q < -kEps) return false;
    const double hw = m_ra * std::sqrt(std::max(0.0, q));
    xl = CeilLL(m_cx - hw - kEps);
    xr = FloorLL(m_cx + hw + kEps);
    return xl <= xr;
}

void CEllipseRows::OutlineAndInterior(long long y, std::vector<RowSpan>& outline, RowSpan& interior) const {
    outline.clear();
    interior = RowSpan{0, 0};
    if (!m_small) {
        long long inner, outer;
        if (!CurveRun(y, inner, outer)) return;
        const RowSpan l{m_left + m_halfW - outer, m_left + m_halfW - inner + 1};
        const RowSpan r{m_left + m_rightAxis + inner, m_left + m_rightAxis + outer + 1};
        if (l.x1 >= r.x0) {
            outline.push_back(RowSpan{l.x0, r.x1});
            return;
        }
        outline.push_back(l);
        outline.push_back(r);
        interior = RowSpan{l.x1, r.x0};
        return;
    }
    long long xl, xr;
    if (!Row(y, xl, xr)) return;
    // A pixel is interior when its four neighbours are inside; the rest of the row is outline.
    long long al, ar, bl, br;
    long long cl = xl + 1, cr = xr - 1;
    if (Row(y - 1, al, ar) && Row(y + 1, bl, br)) {
        cl = std::max({cl, al, bl});
        cr = std::min({cr, ar, br});
    } else {
        cl = xr + 1;
        cr = xr;
    }
    if (cl > cr) {
        outline.push_back(RowSpan{xl, xr + 1});
        return;
    }
    outline.push_back(RowSpan{xl, cl});
    outline.push_back(RowSpan{cr + 1, xr + 1});
    interior = RowSpan{cl, cr + 1};
}

std::vector<DPoint> FlattenEllipseArc(double cx, double cy, double a, double b, double a0, double sweep) {
    const double approxLen = sweep * std::max(a, b);
    const int n = static_cast<int>(std::clamp(approxLen / 2.0, 8.0, 4096.0));
    std::vector<DPoint> pts;
    pts.reserve(static_cast<size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        const double t = a0 + sweep * i / n;
        pts.push_back(DPoint{cx + a * std::cos(t), cy - b * std::sin(t)});
    }
    return pts;
}

}  // namespace gdi
