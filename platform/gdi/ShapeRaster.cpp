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

// Where row y crosses the stroke of radius r from p to q.
bool CapsuleRow(const DPoint& p, const DPoint& q, double r, double y, double& lo, double& hi) {
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
    disk(p);
    disk(q);
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

CWidePath::CWidePath(const std::vector<DPoint>& points, double radius) : m_points(points), m_radius(radius) {
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
    for (size_t i = 0; i < n; ++i) {
        const DPoint& p = m_points[i];
        const DPoint& q = m_points[i + 1 < n ? i + 1 : i];
        if (i + 1 == n && n > 1) break;
        const double lo0 = std::min(p.y, q.y) - m_radius, hi0 = std::max(p.y, q.y) + m_radius;
        if (y < lo0 - kEps || y > hi0 + kEps) continue;
        double lo, hi;
        if (!CapsuleRow(p, q, m_radius, y, lo, hi)) continue;
        const long long a = CeilLL(lo - kEps), b = FloorLL(hi + kEps);
        if (a <= b) out.push_back(RowSpan{a, b + 1});
    }
    MergeSpans(out);
}

CEllipseRows::CEllipseRows(const CRect& box) {
    m_cx = (static_cast<double>(box.left) + box.right - 1) / 2;
    m_cy = (static_cast<double>(box.top) + box.bottom - 1) / 2;
    m_a = (static_cast<double>(box.right) - box.left - 1) / 2;
    m_b = (static_cast<double>(box.bottom) - box.top - 1) / 2;
    // A quarter pixel beyond the centre line: a 2x2 box stays a solid block while the corners of
    // a 3x3 box fall outside, leaving the platform's four-pixel diamond.
    m_ra = m_a + 0.25;
    m_rb = m_b + 0.25;
    m_top = box.top;
    m_bottom = static_cast<long long>(box.bottom) - 1;
}

bool CEllipseRows::Row(long long y, long long& xl, long long& xr) const {
    if (y < m_top || y > m_bottom) return false;
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
