// Lines, shapes, pixels, fills and block transfers of CDC.
#include "platform/gdi/CDC.h"

#include "platform/base/Saturate.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/ShapeRaster.h"

#include <algorithm>
#include <cmath>
#include <vector>

using gdi::CDeviceContext;
using gdi::DPoint;
using gdi::RowSpan;

namespace {

// A box one pixel wide and high, asked without int overflow (device boxes may span the whole range).
bool IsOnePixel(const CRect& box) {
    return static_cast<int64_t>(box.right) - box.left == 1 && static_cast<int64_t>(box.bottom) - box.top == 1;
}

// The centre line of a wide pen: an even width puts its extra row and column above and left.
DPoint PenCentre(const CDeviceContext& dc, CPoint p) {
    const double shift = (dc.m_penDeviceWidth % 2 == 0) ? -0.5 : 0.0;
    return DPoint{p.x + shift, p.y + shift};
}

// Draws a wide pen along a path, each pixel once. Paths through pen centres take the pen's
// pixel caps; flattened curves round theirs exactly.
void DrawWidePath(const CDeviceContext& dc, const std::vector<DPoint>& path, bool pixelCaps) {
    const gdi::RasterTarget& t = dc.m_target;
    if (t.IsEmpty() || dc.m_penNull) return;
    const gdi::CWidePath wide(path, dc.m_penDeviceWidth / 2.0, pixelCaps ? dc.m_penDeviceWidth : 0);
    int top, bottom;
    wide.RowRange(t.clip.top, t.clip.bottom, top, bottom);
    std::vector<RowSpan> spans;
    for (int y = top; y < bottom; ++y) {
        wide.RowSpans(y, spans);
        for (const RowSpan& s : spans) gdi::Span(t, y, s.x0, s.x1, dc.m_penMasks);
    }
}

// Spans of `fill` not covered by the sorted, merged `cover` spans.
void Subtract(const RowSpan& fill, const std::vector<RowSpan>& cover, std::vector<RowSpan>& out) {
    out.clear();
    long long x = fill.x0;
    for (const RowSpan& c : cover) {
        if (c.x1 <= x) continue;
        if (c.x0 >= fill.x1) break;
        if (c.x0 > x) out.push_back(RowSpan{x, c.x0});
        x = std::max(x, c.x1);
    }
    if (x < fill.x1) out.push_back(RowSpan{x, fill.x1});
}

// A device box from two logical corners, normalised.
CRect DeviceBox(const CDeviceContext& dc, int x1, int y1, int x2, int y2) {
    CRect r(dc.ToDevice(x1, y1), CSize(0, 0));
    const CPoint b = dc.ToDevice(x2, y2);
    r.right = b.x;
    r.bottom = b.y;
    r.NormalizeRect();
    return r;
}

double AngleOf(double x, double y, double cx, double cy) {
    double a = std::atan2(-(y - cy), x - cx);
    if (a < 0) a += 2 * M_PI;
    return a;
}

// The ellipse parameter (x = cx + a cos t, y = cy - b sin t) where the ray from (ox, oy) at
// angle theta (counter-clockwise on a y-down device) meets the ellipse.
double RayParameter(const gdi::CEllipseRows& rows, double ox, double oy, double theta) {
    const double a = std::max(rows.SemiX(), 1e-9), b = std::max(rows.SemiY(), 1e-9);
    const double dx = std::cos(theta), dy = -std::sin(theta);
    const double px = (ox - rows.CentreX()) / a, py = (oy - rows.CentreY()) / b;
    const double qa = dx * dx / (a * a) + dy * dy / (b * b);
    const double qb = 2 * (px * dx / a + py * dy / b);
    const double qc = px * px + py * py - 1;
    const double s = (-qb + std::sqrt(std::max(0.0, qb * qb - 4 * qa * qc))) / (2 * qa);
    return std::atan2(-(py + s * dy / b), px + s * dx / a);
}

// The part of an ellipse outline an arc keeps: angles measured about the box's integer centre,
// counter-clockwise from the start ray through sweep.
struct ArcSweep {
    bool partial = false;
    double ox = 0, oy = 0, a0 = 0, sweep = 2 * M_PI;
    // The angle of (x, y) past the start ray, in [0, 2 pi).
    double Rel(double x, double y) const {
        double rel = AngleOf(x, y, ox, oy) - a0;
        while (rel < 0) rel += 2 * M_PI;
        while (rel >= 2 * M_PI) rel -= 2 * M_PI;
        return rel;
    }
};

// Draws the one-pixel outline of an ellipse, or of an arc of it. An arc runs from the first
// outline pixel at or past the start ray to the last one before the end ray, that last one left
// out (as a line leaves out its end point).
void DrawThinEllipseOutline(const CDeviceContext& dc, const gdi::CEllipseRows& rows, const CRect& box,
                            const ArcSweep& arc) {
    const gdi::RasterTarget& t = dc.m_target;
    const int top = std::max<int>(box.top, t.clip.top), bottom = std::min<int>(box.bottom, t.clip.bottom);
    std::vector<RowSpan> outline;
    RowSpan interior;
    const gdi::LineStyle& style = dc.m_penLine;
    if (style.dash == nullptr && !arc.partial) {
        for (int y = top; y < bottom; ++y) {
            rows.OutlineAndInterior(y, outline, interior);
            for (const RowSpan& s : outline) {
                const long long a = std::max<long long>(s.x0, t.clip.left), b = std::min<long long>(s.x1, t.clip.right);
                for (long long x = a; x < b; ++x) gdi::Plot(t, static_cast<int>(x), y, style.on);
            }
        }
        return;
    }
    // Walk the visible outline pixels in order of angle so an arc knows its last pixel and a
    // pattern runs around the outline.
    struct Px {
        double angle;
        int x, y;
    };
    std::vector<Px> pixels;
    const double ox = arc.partial ? arc.ox : rows.CentreX(), oy = arc.partial ? arc.oy : rows.CentreY();
    for (int y = top; y < bottom; ++y) {
        rows.OutlineAndInterior(y, outline, interior);
        for (const RowSpan& s : outline) {
            const long long a = std::max<long long>(s.x0, t.clip.left), b = std::min<long long>(s.x1, t.clip.right);
            for (long long x = a; x < b; ++x) {
                double rel;
                if (arc.partial) {
                    rel = arc.Rel(static_cast<double>(x), y);
                    if (rel >= arc.sweep - 1e-12) continue;
                } else {
                    rel = AngleOf(static_cast<double>(x), y, ox, oy);
                }
                pixels.push_back(Px{rel, static_cast<int>(x), y});
            }
        }
    }
    std::stable_sort(pixels.begin(), pixels.end(), [](const Px& a, const Px& b) { return a.angle < b.angle; });
    if (arc.partial && !pixels.empty()) pixels.pop_back();
    if (style.dash == nullptr) {
        for (const Px& p : pixels) gdi::Plot(t, p.x, p.y, style.on);
        return;
    }
    const gdi::DashPattern& d = *style.dash;
    int run = 0, left = d.runs[0];
    for (const Px& p : pixels) {
        if (run % 2 == 0) gdi::Plot(t, p.x, p.y, style.on);
        else if (style.paintOff) gdi::Plot(t, p.x, p.y, style.off);
        if (--left == 0) {
            run = (run + 1) % d.count;
            left = d.runs[run];
        }
    }
}

}  // namespace

CPoint CDC::GetCurrentPosition() const { return Attrib() ? CPoint(Attrib()->m_state.penPos) : CPoint(); }

CPoint CDC::MoveTo(int x, int y) {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return CPoint();
    const CPoint previous = dc->m_state.penPos;
    dc->m_state.penPos = CPoint(x, y);
    if (m_hAttribDC != nullptr && m_hAttribDC != m_hDC) Attrib()->m_state.penPos = CPoint(x, y);
    return previous;
}

BOOL CDC::LineTo(int x, int y) {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    const CPoint from = dc->ToDevice(dc->m_state.penPos.x, dc->m_state.penPos.y);
    const CPoint to = dc->ToDevice(x, y);
    MoveTo(x, y);
    if (dc->m_penNull || dc->m_target.IsEmpty()) return TRUE;
    if (from == to) {
        // A wide pen still puts down its round dot; a one-pixel pen draws nothing.
        if (dc->m_penDeviceWidth > 1) DrawWidePath(*dc, {PenCentre(*dc, from)}, true);
        return TRUE;
    }
    if (dc->m_penDeviceWidth <= 1) {
        uint64_t phase = 0;
        gdi::DrawThinLine(dc->m_target, from.x, from.y, to.x, to.y, dc->m_penLine, phase);
    } else {
        DrawWidePath(*dc, {PenCentre(*dc, from), PenCentre(*dc, to)}, true);
    }
    return TRUE;
}

BOOL CDC::Polyline(const POINT* points, int count) {
    CDeviceContext* dc = Out();
    if (dc == nullptr || points == nullptr || count < 2) return FALSE;
    if (dc->m_penNull || dc->m_target.IsEmpty()) return TRUE;
    if (dc->m_penDeviceWidth <= 1) {
        uint64_t phase = 0;
        CPoint a = dc->ToDevice(points[0].x, points[0].y);
        for (int i = 1; i < count; ++i) {
            const CPoint b = dc->ToDevice(points[i].x, points[i].y);
            gdi::DrawThinLine(dc->m_target, a.x, a.y, b.x, b.y, dc->m_penLine, phase);
            a = b;
        }
        return TRUE;
    }
    std::vector<DPoint> path;
    path.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) path.push_back(PenCentre(*dc, dc->ToDevice(points[i].x, points[i].y)));
    DrawWidePath(*dc, path, true);
    return TRUE;
}

BOOL CDC::Rectangle(int x1, int y1, int x2, int y2) {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    const CRect box = DeviceBox(*dc, x1, y1, x2, y2);
    const gdi::RasterTarget& t = dc->m_target;
    if (t.IsEmpty() || box.IsRectEmpty()) return TRUE;
    if (dc->m_penNull) {
        // Without an outline the brush covers one pixel less to the right and bottom.
        if (!dc->m_brushNull) gdi::FillDeviceRect(t, CRect(box.left, box.top, box.right - 1, box.bottom - 1), dc->m_brushMasks);
        return TRUE;
    }
    if (IsOnePixel(box)) return TRUE;  // a one-pixel box has no outline to draw
    const int l = box.left, tp = box.top, r = box.right - 1, b = box.bottom - 1;  // outline, inclusive
    if (dc->m_penDeviceWidth <= 1) {
        if (!dc->m_brushNull) gdi::FillDeviceRect(t, CRect(l + 1, tp + 1, r, b), dc->m_brushMasks);
        if (l == r || tp == b) {
            gdi::FillDeviceRect(t, box, dc->m_penLine.on);
            return TRUE;
        }
        // Counter-clockwise from the top-right corner (top edge leftward, left edge down, bottom
        // edge rightward, right edge up), each corner once, the pattern running round.
        uint64_t phase = 0;
        gdi::DrawThinLine(t, r, tp, l, tp, dc->m_penLine, phase);
        gdi::DrawThinLine(t, l, tp, l, b, dc->m_penLine, phase);
        gdi::DrawThinLine(t, l, b, r, b, dc->m_penLine, phase);
        gdi::DrawThinLine(t, r, b, r, tp, dc->m_penLine, phase);
        return TRUE;
    }
    const std::vector<DPoint> path = {PenCentre(*dc, CPoint(l, tp)), PenCentre(*dc, CPoint(r, tp)),
                                      PenCentre(*dc, CPoint(r, b)), PenCentre(*dc, CPoint(l, b)),
                                      PenCentre(*dc, CPoint(l, tp))};
    const gdi::CWidePath wide(path, dc->m_penDeviceWidth / 2.0, dc->m_penDeviceWidth);
    std::vector<RowSpan> pen, fill;
    const int top = static_cast<int>(std::max<long long>(t.clip.top, static_cast<long long>(tp) - dc->m_penDeviceWidth));
    const int bottom =
        static_cast<int>(std::min<long long>(t.clip.bottom, static_cast<long long>(b) + dc->m_penDeviceWidth + 1));
    for (int y = top; y < bottom; ++y) {
        wide.RowSpans(y, pen);
        if (!dc->m_brushNull && y > tp && y < b) {
            Subtract(RowSpan{l + 1LL, static_cast<long long>(r)}, pen, fill);
            for (const RowSpan& s : fill) gdi::Span(t, y, s.x0, s.x1, dc->m_brushMasks);
        }
        for (const RowSpan& s : pen) gdi::Span(t, y, s.x0, s.x1, dc->m_penMasks);
    }
    return TRUE;
}

BOOL CDC::Ellipse(int x1, int y1, int x2, int y2) {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    CRect box = DeviceBox(*dc, x1, y1, x2, y2);
    const gdi::RasterTarget& t = dc->m_target;
    if (t.IsEmpty() || box.IsRectEmpty()) return TRUE;
    if (dc->m_penNull) {
        // Unlike a rectangle's, a null-pen ellipse's brush covers the whole box.
        if (dc->m_brushNull) return TRUE;
        const gdi::CEllipseRows rows(box);
        const int top = std::max<int>(box.top, t.clip.top), bottom = std::min<int>(box.bottom, t.clip.bottom);
        for (int y = top; y < bottom; ++y) {
            long long xl, xr;
            if (rows.Row(y, xl, xr)) gdi::Span(t, y, xl, xr + 1, dc->m_brushMasks);
        }
        return TRUE;
    }
    if (IsOnePixel(box)) return TRUE;  // a one-pixel box has no outline to draw
    const gdi::CEllipseRows rows(box);
    if (dc->m_penDeviceWidth <= 1) {
        // The brush fills the whole ellipse, outline pixels included, and the outline is drawn over
        // it: under a raster operation that reads the screen those pixels take brush, then pen.
        if (!dc->m_brushNull) {
            const int top = std::max<int>(box.top, t.clip.top), bottom = std::min<int>(box.bottom, t.clip.bottom);
            for (int y = top; y < bottom; ++y) {
                long long xl, xr;
                if (rows.Row(y, xl, xr)) gdi::Span(t, y, xl, xr + 1, dc->m_brushMasks);
            }
        }
        DrawThinEllipseOutline(*dc, rows, box, ArcSweep{});
        return TRUE;
    }
    const double shift = (dc->m_penDeviceWidth % 2 == 0) ? -0.5 : 0.0;
    const std::vector<DPoint> path = gdi::FlattenEllipseArc(rows.CentreX() + shift, rows.CentreY() + shift,
                                                            rows.SemiX(), rows.SemiY(), 0, 2 * M_PI);
    const gdi::CWidePath wide(path, dc->m_penDeviceWidth / 2.0);
    int top, bottom;
    wide.RowRange(t.clip.top, t.clip.bottom, top, bottom);
    std::vector<RowSpan> pen, fill;
    for (int y = top; y < bottom; ++y) {
        wide.RowSpans(y, pen);
        long long xl, xr;
        if (!dc->m_brushNull && rows.Row(y, xl, xr)) {
            Subtract(RowSpan{xl, xr + 1}, pen, fill);
            for (const RowSpan& s : fill) gdi::Span(t, y, s.x0, s.x1, dc->m_brushMasks);
        }
        for (const RowSpan& s : pen) gdi::Span(t, y, s.x0, s.x1, dc->m_penMasks);
    }
    return TRUE;
}

BOOL CDC::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    const CRect box = DeviceBox(*dc, x1, y1, x2, y2);
    if (dc->m_target.IsEmpty() || box.IsRectEmpty() || dc->m_penNull) return TRUE;
    const gdi::CEllipseRows rows(box);
    const CPoint s = dc->ToDevice(x3, y3), e = dc->ToDevice(x4, y4);
    // The rays start at the box's integer centre, not at the centre of its covered pixels.
    ArcSweep arc;
    // Halves taken in 64 bits: a device box may span the whole int range.
    arc.ox = static_cast<int>(box.left + (static_cast<int64_t>(box.right) - box.left) / 2);
    arc.oy = static_cast<int>(box.top + (static_cast<int64_t>(box.bottom) - box.top) / 2);
    arc.a0 = AngleOf(s.x, s.y, arc.ox, arc.oy);
    const double a1 = AngleOf(e.x, e.y, arc.ox, arc.oy);
    double sweep = a1 - arc.a0;
    while (sweep <= 1e-12) sweep += 2 * M_PI;  // the same ray twice: the whole ellipse
    arc.partial = sweep < 2 * M_PI - 1e-12;
    arc.sweep = sweep;
    if (dc->m_penDeviceWidth <= 1) {
        DrawThinEllipseOutline(*dc, rows, box, arc);
        return TRUE;
    }
    const double shift = (dc->m_penDeviceWidth % 2 == 0) ? -0.5 : 0.0;
    // The path follows the ellipse by parameter: each ray is taken to where it meets the ellipse.
    double p0 = RayParameter(rows, arc.ox, arc.oy, arc.a0), p1 = RayParameter(rows, arc.ox, arc.oy, arc.a0 + sweep);
    double psweep = p1 - p0;
    while (psweep <= 1e-12) psweep += 2 * M_PI;
    if (!arc.partial) psweep = 2 * M_PI;
    DrawWidePath(*dc, gdi::FlattenEllipseArc(rows.CentreX() + shift, rows.CentreY() + shift, rows.SemiX(),
                                             rows.SemiY(), p0, psweep), false);
    return TRUE;
}

BOOL CDC::Arc(LPCRECT rect, POINT start, POINT end) {
    return Arc(rect->left, rect->top, rect->right, rect->bottom, start.x, start.y, end.x, end.y);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF colour) {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return CLR_INVALID;
    const CPoint d = dc->ToDevice(x, y);
    if (!dc->m_target.Contains(d.x, d.y)) return CLR_INVALID;
    *dc->m_target.At(d.x, d.y) = colour & 0x00FFFFFFu;
    return colour & 0x00FFFFFFu;
}

COLORREF CDC::GetPixel(int x, int y) const {
    const CDeviceContext* dc = Out();
    if (dc == nullptr) return CLR_INVALID;
    const CPoint d = dc->ToDevice(x, y);
    if (!dc->m_target.Contains(d.x, d.y)) return CLR_INVALID;
    return *dc->m_target.At(d.x, d.y) & 0x00FFFFFFu;
}

void CDC::FillRect(LPCRECT rect, CBrush* brush) {
    CDeviceContext* dc = Out();
    const LOGBRUSH* b = brush != nullptr ? brush->GetData() : nullptr;
    if (dc == nullptr || rect == nullptr || b == nullptr || b->lbStyle == BS_NULL) return;
    gdi::FillDeviceRect(dc->m_target, DeviceBox(*dc, rect->left, rect->top, rect->right, rect->bottom),
                        gdi::RopMasks{0, b->lbColor & 0x00FFFFFFu});
}

void CDC::FillSolidRect(LPCRECT rect, COLORREF colour) {
    CDeviceContext* dc = Out();
    if (dc == nullptr || rect == nullptr) return;
    SetBkColor(colour);
    gdi::FillDeviceRect(dc->m_target, DeviceBox(*dc, rect->left, rect->top, rect->right, rect->bottom),
                        gdi::RopMasks{0, colour & 0x00FFFFFFu});
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF colour) {
    const CRect r(x, y, SaturatingAdd(x, cx), SaturatingAdd(y, cy));
    FillSolidRect(&r, colour);
}

BOOL CDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    const uint8_t r = gdi::Rop3Index(rop);
    if (gdi::Rop3UsesSource(r)) return FALSE;
    const CRect box = DeviceBox(*dc, x, y, SaturatingAdd(x, width), SaturatingAdd(y, height));
    const gdi::RasterTarget& t = dc->m_target;
    if (t.IsEmpty() || box.IsRectEmpty()) return TRUE;
    const bool usesPattern = gdi::Rop3UsesPattern(r);
    if (usesPattern && dc->m_state.logBrush.lbStyle == BS_NULL) return TRUE;
    const uint32_t p = dc->m_state.logBrush.lbColor & 0x00FFFFFFu;
    // The operation with a fixed pattern is a binary one: work out its masks once.
    const uint32_t when0 = gdi::ApplyRop3(r, p, 0, 0), when1 = gdi::ApplyRop3(r, p, 0, 0x00FFFFFF);
    gdi::FillDeviceRect(t, box, gdi::RopMasks{(when0 ^ when1) & 0x00FFFFFFu, when0});
    return TRUE;
}

BOOL CDC::BitBlt(int x, int y, int width, int height, CDC* srcDC, int xSrc, int ySrc, DWORD rop) {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    const uint8_t r = gdi::Rop3Index(rop);
    if (!gdi::Rop3UsesSource(r)) return PatBlt(x, y, width, height, rop);
    CDeviceContext* src = srcDC != nullptr ? srcDC->Out() : nullptr;
    if (src == nullptr) return FALSE;
    const CRect box = DeviceBox(*dc, x, y, SaturatingAdd(x, width), SaturatingAdd(y, height));
    const gdi::RasterTarget& t = dc->m_target;
    const gdi::RasterTarget& s = src->m_target;
    if (t.IsEmpty() || box.IsRectEmpty() || s.pixels == nullptr) return TRUE;
    const CPoint srcOrg = src->ToDevice(xSrc, ySrc);
    // Source pixels exist only inside the source's visible rectangle; elsewhere nothing is copied.
    const CRect srcVisible = src->VisibleDeviceRect();
    CRect dst;
    if (!dst.IntersectRect(&box, &t.clip)) return TRUE;
    const long long dxs = static_cast<long long>(srcOrg.x) - box.left, dys = static_cast<long long>(srcOrg.y) - box.top;
    // Rows of the destination whose source row exists, and likewise columns.
    const long long top = std::max<long long>(dst.top, srcVisible.top - dys);
    const long long bottom = std::min<long long>(dst.bottom, srcVisible.bottom - dys);
    const long long left = std::max<long long>(dst.left, srcVisible.left - dxs);
    const long long right = std::min<long long>(dst.right, srcVisible.right - dxs);
    if (top >= bottom || left >= right) return TRUE;
    const size_t w = static_cast<size_t>(right - left);
    std::vector<uint32_t> row(w);
    const uint32_t p = dc->m_state.logBrush.lbColor & 0x00FFFFFFu;
    // Overlapping copies within one surface go bottom-up when moving down.
    const bool upward = t.pixels == s.pixels && dys + s.offsetY - t.offsetY < 0;
    for (long long i = 0; i < bottom - top; ++i) {
        const long long yy = upward ? bottom - 1 - i : top + i;
        const uint32_t* from = s.At(static_cast<int>(left + dxs), static_cast<int>(yy + dys));
        std::copy(from, from + w, row.begin());
        uint32_t* to = t.At(static_cast<int>(left), static_cast<int>(yy));
        if (r == 0xCC) {
            for (size_t k = 0; k < w; ++k) to[k] = row[k] & 0x00FFFFFFu;
        } else {
            for (size_t k = 0; k < w; ++k) to[k] = gdi::ApplyRop3(r, p, row[k], to[k]);
        }
    }
    return TRUE;
}
