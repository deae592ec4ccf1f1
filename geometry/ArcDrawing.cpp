// CArrayOfArcs::DrawYFlipped: outlines seen in the view frame, mapped to pixels exactly as the
// viewer maps its rays, so the two line up.
#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>
#include <numbers>
#include <utility>
#include <vector>

#include "geometry/ArcShape.h"
#include "geometry/CArrayOfArcs.h"
#include "geometry/ViewMapping.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CSelectObject.h"

namespace {

// Pens wider than this draw as this: a width of a million from a corrupt file must still draw in
// bounded time.
constexpr int kMaxPenWidth = 256;
// Enough segments for a smooth circle of any on-screen size, and a bound for absurd radii.
constexpr int kMaxArcSegments = 1024;
// Longest chord of an arc's polyline, in pixels.
constexpr double kChordPixels = 3.0;

int ArcSegments(const ArcShape& viewShape, float scale) {
    const double radius = std::max(viewShape.u.Length(), viewShape.v.Length()) * scale;
    const double bySize = viewShape.sweep * radius / kChordPixels;
    // At least one segment per eighth of a turn, so a tiny circle is still round-ish.
    const double byAngle = viewShape.sweep / (std::numbers::pi / 4.0);
    const double n = std::ceil(std::max(bySize, byAngle));
    if (!(n < kMaxArcSegments)) return kMaxArcSegments;
    return std::max(1, static_cast<int>(n));
}

}  // namespace

void CArrayOfArcs::DrawYFlipped(CDC* pDC, const CRect* pBounds, const CfRect& view, CfRect& extent,
                                const CCoordinates3D& frame, int xOffset, int yOffset, CTarget* pTarget,
                                int penScale) const {
    assert(pTarget == nullptr && "this library defines no targets");
    (void)pTarget;
    extent.SetEmpty();

    constexpr double inf = std::numeric_limits<double>::infinity();
    // Each arc in view coordinates, kept for drawing; arcs a degenerate frame cannot show are left out.
    std::vector<std::pair<const stArc*, ArcShape>> shapes;
    shapes.reserve(m_arcs.size());
    for (const stArc& arc : m_arcs) {
        ArcShape viewShape;
        if (!TransformArcShape(MakeArcShape(arc), frame, viewShape)) continue;
        double lo[3] = {inf, inf, inf};
        double hi[3] = {-inf, -inf, -inf};
        GrowArcShapeBounds(viewShape, lo, hi);
        extent.BiggestPart(CfRect(static_cast<float>(lo[0]), static_cast<float>(lo[1]), static_cast<float>(hi[0]),
                                  static_cast<float>(hi[1])));
        shapes.emplace_back(&arc, viewShape);
    }
    if (pDC == nullptr || pBounds == nullptr) return;

    const CRect& bounds = *pBounds;
    const float scale = ComputeViewScale(bounds, view);
    auto toPixel = [&](const CPoint3D& p) {
        CPoint px = ProjectViewPoint(p.x, p.y, view, scale);
        px.y = FlipViewY(bounds, px.y);
        return CPoint(SaturatingAdd(px.x, xOffset), SaturatingAdd(px.y, yOffset));
    };

    std::vector<POINT> points;
    for (const auto& [arc, viewShape] : shapes) {
        const int64_t width = std::clamp<int64_t>(static_cast<int64_t>(arc->m_penWidth) * penScale, 0, kMaxPenWidth);
        CPen pen;
        if (!pen.CreatePen(PS_SOLID, static_cast<int>(width), arc->m_colour)) continue;
        CSelectObject selected(*pDC, pen);
        if (viewShape.straight) {
            const CPoint a = toPixel(viewShape.a);
            const CPoint b = toPixel(viewShape.b);
            pDC->MoveTo(a);
            pDC->LineTo(b);
            continue;
        }
        const int segments = ArcSegments(viewShape, scale);
        points.clear();
        for (int i = 0; i <= segments; ++i)
            points.push_back(toPixel(ArcShapePoint(viewShape, static_cast<double>(i) / segments)));
        pDC->Polyline(points.data(), static_cast<int>(points.size()));
    }
}
