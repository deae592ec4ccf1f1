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

// The centre line of a wide pen: an even width puts its extra row and column above and left.
DPoint PenCentre(const CDeviceContext& dc, CPoint p) {
    const double shift = (dc.m_penDeviceWidth % 2 == 0) ? -0.5 : 0.0;
    return DPoint{p.x + shift, p.y + shift};
}

// Draws a wide pen along a path, each pixel once.
void DrawWidePath(const CDeviceContext& dc, const std::vector<DPoint>& path) {
    const gdi::RasterTarget& t = dc.m_target;
    if (t.IsEmpty() || dc.m_penNull) return;
    const gdi::CWidePath wide(path, dc.m_penDeviceWidth / 2.0);
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

// Draws the one-pixel outline of an ellipse, or the part of it from angle a0 through sweep.
void DrawThinEllipseOutline(const CDeviceContext& dc, const gdi::CEllipseRows& rows, const CRect& box, bool partial,
                            double a0, double sweep) {
    const gdi::RasterTarget& t = dc.m_target;
    const int top = std::max<int>(box.top, t.clip.top), bottom = std::min<int>(box.bottom, t.clip.bottom);
    auto inSweep = [&](long long x, long long y) {
        if (!partial) return true;
        double rel = AngleOf(static_cast<double>(x), static_cast<double>(y), rows.CentreX(), rows.CentreY()) - a0;
        while (rel < 0) rel += 2 * M_PI;
        return rel <= sweep + 1e-9;
    };
    std::vector<RowSpan> outline;
    RowSpan interior;
    const gdi::LineStyle& style = dc.m_penLine;
    if (style.dash == nullptr) {
        for (int y = top; y < bottom; ++y) {
            rows.OutlineAndInterior(y, outline, interior);
            for (const RowSpan& s : outline) {
                const long long a = std::max<long long>(s.x0, t.clip.left), b = std::min<long long>(s.x1, t.clip.right);
                for (long long x = a; x < b; ++x)
                    if (inSweep(x, y)) gdi::Plot(t, static_cast<int>(x), y, style.on);
            }
        }
        return;
    }
    // Styled: walk the visible outline pixels in order of angle so the pattern runs around it.
    struct Px {
        double angle;
        int x, y;
    };
    std::vector<Px> pixels;
    for (int y = top; y < bottom; ++y) {
        rows.OutlineAndInterior(y, outline, interior);
        for (const RowSpan& s : outline) {
            const long long a = std::max<long long>(s.x0, t.clip.left), b = std::min<long long>(s.x1, t.clip.right);
            for (long long x = a; x < b; ++x) {
                if (!inSweep(x, y)) continue;
                double rel = AngleOf(static_cast<double>(x), y, rows.CentreX(), rows.CentreY()) - (partial ? a0 : 0);
                while (rel < 0) rel += 2 * M_PI;
                pixels.push_back(Px{rel, static_cast<int>(x), y});
            }
        }
    }
    std::stable_sort(pixels.begin(), pixels.end(), [](const Px& a, const Px& b) { return a.angle < b.angle; });
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
    if (dc->m_penNull || dc->m_target.IsEmpty() || from == to) return TRUE;
    if (dc->m_penDeviceWidth <= 1) {
        uint64_t phase = 0;
        gdi::DrawThinLine(dc->m_target, from.x, from.y, to.x, to.y, dc->m_penLine, phase);
    } else {
        DrawWidePath(*dc, {PenCentre(*dc, from), PenCentre(*dc, to)});
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
    DrawWidePath(*dc, path);
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
    const int l = box.left, tp = box.top, r = box.right - 1, b = box.bottom - 1;  // outline, inclusive
    if (dc->m_penDeviceWidth <= 1) {
        if (!dc->m_brushNull) gdi::FillDeviceRect(t, CRect(l + 1, tp + 1, r, b), dc->m_brushMasks);
        if (l == r || tp == b) {
            gdi::FillDeviceRect(t, box, dc->m_penLine.on);
            return TRUE;
        }
        // Clockwise from the top-left corner, each corner once, the pattern running round.
        uint64_t phase = 0;
        gdi::DrawThinLine(t, l, tp, r, tp, dc->m_penLine, phase);
        gdi::DrawThinLine(t, r, tp, r, b, dc->m_penLine, phase);
        gdi::DrawThinLine(t, r, b, l, b, dc->m_penLine, phase);
        gdi::DrawThinLine(t, l, b, l, tp, dc->m_penLine, phase);
        return TRUE;
    }
    const std::vector<DPoint> path = {PenCentre(*dc, CPoint(l, tp)), PenCentre(*dc, CPoint(r, tp)),
                                      PenCentre(*dc, CPoint(r, b)), PenCentre(*dc, CPoint(l, b)),
                                      PenCentre(*dc, CPoint(l, tp))};
    const gdi::CWidePath wide(path, dc->m_penDeviceWidth / 2.0);
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
        if (dc->m_brushNull) return TRUE;
        box.right -= 1;
        box.bottom -= 1;
        if (box.IsRectEmpty()) return TRUE;
        const gdi::CEllipseRows rows(box);
        const int top = std::max<int>(box.top, t.clip.top), bottom = std::min<int>(box.bottom, t.clip.bottom);
        for (int y = top; y < bottom; ++y) {
            long long xl, xr;
            if (rows.Row(y, xl, xr)) gdi::Span(t, y, xl, xr + 1, dc->m_brushMasks);
        }
        return TRUE;
    }
    const gdi::CEllipseRows rows(box);
    if (dc->m_penDeviceWidth <= 1) {
        if (!dc->m_brushNull) {
            std::vector<RowSpan> outline;
            RowSpan interior;
            const int top = std::max<int>(box.top, t.clip.top), bottom = std::min<int>(box.bottom, t.clip.bottom);
            for (int y = top; y < bottom; ++y) {
                rows.OutlineAndInterior(y, outline, interior);
                gdi::Span(t, y, interior.x0, interior.x1, dc->m_brushMasks);
            }
        }
        DrawThinEllipseOutline(*dc, rows, box, false, 0, 2 * M_PI);
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
    const double a0 = AngleOf(s.x, s.y, rows.CentreX(), rows.CentreY());
    const double a1 = AngleOf(e.x, e.y, rows.CentreX(), rows.CentreY());
    double sweep = a1 - a0;
    while (sweep <= 1e-12) sweep += 2 * M_PI;  // the same ray twice: the whole ellipse
    const bool partial = sweep < 2 * M_PI - 1e-12;
    if (dc->m_penDeviceWidth <= 1) {
        DrawThinEllipseOutline(*dc, rows, box, partial, a0, sweep);
        return TRUE;
    }
    const double shift = (dc->m_penDeviceWidth % 2 == 0) ? -0.5 : 0.0;
    // The path follows the ellipse by parameter; a ray's angle is turned into the parameter.
    auto param = [&](double angle) {
        return std::atan2(std::sin(angle) * std::max(rows.SemiX(), 1e-9), std::cos(angle) * std::max(rows.SemiY(), 1e-9));
    };
    double p0 = param(a0), p1 = param(a0 + sweep);
    double psweep = p1 - p0;
    while (psweep <= 1e-12) psweep += 2 * M_PI;
    if (!partial) psweep = 2 * M_PI;
    DrawWidePath(*dc, gdi::FlattenEllipseArc(rows.CentreX() + shift, rows.CentreY() + shift, rows.SemiX(),
                                             rows.SemiY(), p0, psweep));
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
