// Drawing the scene: rays, outlines and labels, on screen through the back buffer and directly on
// printers and metafiles; a placeholder without data.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "geometry/CSimulationData.h"
#include "platform/base/Saturate.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CSelectObject.h"
#include "viewer/OrvexViewerCtrl.h"
#include "viewer/RaySelection.h"
#include "viewer/ViewProjection.h"

using namespace orvex::viewer;

namespace {

constexpr const char* kFaceName = "Times New Roman";
constexpr int kFontPointSize = 100;  // tenths of a point
constexpr const char* kPlaceholderText = "OrvexViewer";
constexpr int kPlaceholderTextOffsetX = 20;

// A leg without an end is drawn this far along its direction as a full ray.
constexpr double kOpenLegLength = 25.0;
// Pens wider than this draw as this, as outlines do: a width of a million from a damaged file must
// still draw in bounded time.
constexpr int kMaxRayPenWidth = 256;

// Radians to tenths of a degree, negated because the device's y runs down.
constexpr double kRadiansToNegTenthsOfDegree = -572.9577951308232;
constexpr int kLabelFontWeight = 400;
constexpr BYTE kLabelPitchAndFamily = 32;  // sans-serif, default pitch

CBrush* StockBrush(int index) { return static_cast<CBrush*>(CGdiObject::FromHandle(GetStockObject(index))); }

double PixelDistance(int x0, int y0, int x1, int y1) {
    const double dx = static_cast<double>(x0) - x1;
    const double dy = static_cast<double>(y0) - y1;
    return std::sqrt(dx * dx + dy * dy);
}

// The end of a leg as a full ray shows it.
CPoint3D FullRayEnd(const CUTRay& leg) {
    if (leg.HasEnd()) return leg.GetEnd();
    return leg.GetOrigin() + kOpenLegLength * leg.GetDirection();
}

CPoint3D SegmentPoint(const CUTRay& leg, ESegmentEnd how, double time, bool isStart) {
    if (how == ESegmentEnd::kLegEnd) return isStart ? leg.GetOrigin() : FullRayEnd(leg);
    return leg.AtTime(time);
}

// The solid pens of the ray legs, made once per width and colour within a draw.
class CLegPens {
public:
    // Makes the pen of this width and colour the context's pen.
    void Select(CDC& dc, int width, COLORREF colour) {
        if (m_selected >= 0 && m_width[m_selected] == width && m_colour[m_selected] == colour) return;
        int slot = -1;
        for (int i = 0; i < m_used; ++i)
            if (m_width[i] == width && m_colour[i] == colour) slot = i;
        if (slot < 0) {
            if (m_used < kSlots) {
                slot = m_used++;
            } else {
                // Full: replace the next slot in turn, never the selected one.
                slot = m_next;
                if (slot == m_selected) slot = (slot + 1) % kSlots;
                m_next = (slot + 1) % kSlots;
                m_pens[slot].DeleteObject();
            }
            m_pens[slot].CreatePen(PS_SOLID, width, colour);
            m_width[slot] = width;
            m_colour[slot] = colour;
        }
        dc.SelectObject(&m_pens[slot]);
        m_selected = slot;
    }
    // Puts the pen the context had between legs back, if a leg pen is selected.
    void Deselect(CDC& dc, CPen* kept) {
        if (m_selected < 0) return;
        dc.SelectObject(kept);
        m_selected = -1;
    }

private:
    static constexpr int kSlots = 16;
    CPen m_pens[kSlots];
    int m_width[kSlots] = {};
    COLORREF m_colour[kSlots] = {};
    int m_used = 0;
    int m_next = 0;
    int m_selected = -1;
};

}  // namespace

// ---- The draw entry --------------------------------------------------------------------------

void COrvexViewerCtrl::OnDraw(CDC* pdc, const CRect& rcBounds, const CRect& rcInvalid) {
    (void)rcInvalid;
    CFont font;  // declared first, so it is deleted after the context's state is restored
    CDCStateSaver saved(*pdc);

    // The mapping measures x from 0 and flips y about the bounds' middle, which puts the picture
    // inside the bounds only when they start at (0, 0); bounds anywhere else (a container drawing
    // the control on its page) become the same bounds at the origin of a shifted window.
    CRect bounds = rcBounds;
    if (bounds.left != 0 || bounds.top != 0) {
        pdc->OffsetWindowOrg(-bounds.left, -bounds.top);
        bounds.OffsetRect(-bounds.left, -bounds.top);
    }

    ComputeScale(bounds);
    font.CreatePointFont(kFontPointSize, kFaceName, pdc);
    if (font.GetSafeHandle() != nullptr) pdc->SelectObject(&font);

    if (m_pSimData->m_snapshots.empty()) {
        if (m_controlDetectionEnabled) {
            pdc->FillRect(&bounds, StockBrush(LTGRAY_BRUSH));
            int cx = 0, cy = 0;
            GetControlSize(&cx, &cy);
            pdc->TextOut(cx / 2 - kPlaceholderTextOffsetX, cy / 2, kPlaceholderText);
        } else {
            pdc->FillRect(&bounds, StockBrush(WHITE_BRUSH));
        }
        return;
    }

    if (pdc->GetDeviceCaps(TECHNOLOGY) != DT_RASDISPLAY) {
        pdc->FillRect(&bounds, StockBrush(WHITE_BRUSH));
        DrawScene(pdc, bounds);
        return;
    }

    if (m_bNotifyPending) {
        m_bNotifyPending = false;
        NotifyLinkedAscanControls();
    }

    if (!EnsureBackBuffer(pdc, bounds)) {
        // No memory for the back buffer: draw straight on, flicker rather than nothing.
        pdc->FillRect(&bounds, StockBrush(WHITE_BRUSH));
        DrawScene(pdc, bounds);
        return;
    }
    m_pOldBackBitmap = m_backDC.SelectObject(&m_backBitmap);
    if (m_pOldBackBitmap == nullptr) {
        pdc->FillRect(&bounds, StockBrush(WHITE_BRUSH));
        DrawScene(pdc, bounds);
        return;
    }
    // The picture is composed completely and copied in one block, so an animation never flickers.
    m_backDC.FillRect(&bounds, StockBrush(WHITE_BRUSH));
    DrawScene(&m_backDC, bounds);
    pdc->BitBlt(bounds.left, bounds.top, bounds.Width(), bounds.Height(), &m_backDC, 0, 0, SRCCOPY);
    m_backDC.SelectObject(m_pOldBackBitmap);
    m_pOldBackBitmap = nullptr;
}

void COrvexViewerCtrl::DrawScene(CDC* pdc, const CRect& bounds) {
    DrawRays(pdc, bounds);
    DrawProbeOutlines(pdc, bounds);
    DrawPartOutline(pdc, bounds);
    DrawExtraOutline(pdc, bounds);
    DrawLabels(pdc, bounds);
}

bool COrvexViewerCtrl::EnsureBackBuffer(CDC* pdc, const CRect& bounds) {
    const int width = bounds.Width();
    const int height = bounds.Height();
    // The placeholder buffer of construction has no context yet, so its size alone is not enough.
    if (m_backDC.GetSafeHdc() != nullptr && m_backBitmap.GetSafeHandle() != nullptr &&
        m_backBitmap.GetWidth() == width && m_backBitmap.GetHeight() == height)
        return true;
    m_backBitmap.DeleteObject();
    m_backDC.DeleteDC();
    if (!m_backBitmap.CreateBitmap(width, height, static_cast<UINT>(pdc->GetDeviceCaps(PLANES)),
                                   static_cast<UINT>(pdc->GetDeviceCaps(BITSPIXEL)), nullptr))
        return false;
    if (!m_backDC.CreateCompatibleDC(pdc)) {
        m_backBitmap.DeleteObject();
        return false;
    }
    return true;
}

// ---- Rays ------------------------------------------------------------------------------------

void COrvexViewerCtrl::DrawRays(CDC* pdc, const CRect& bounds) {
    // The rays of the first snapshot, whatever snapshot is current.
    if (m_pSimData->m_snapshots.empty()) return;
    const CSimulationData::stSnapshot& snapshot = m_pSimData->m_snapshots[0];

    SPulseWindow pulse;
    if (m_rayPlotType == kPulse) pulse = MakePulseWindow(m_rayEndTime, GetPulseDuration());

    CPen blackPen(PS_SOLID, 0, RGB(0, 0, 0));
    CPen* keptPen = pdc->SelectObject(&blackPen);
    if (keptPen == nullptr) return;  // a context that takes no pen draws no rays

    // Each leg is drawn with a pen of its own width and colour, and the context's pen is back in
    // place for single pixels. A data set has only a few such pens (one per wave mode and width),
    // so they are kept and selected only when a leg's pen differs from the one selected: every
    // line and pixel still sees exactly the pen it always saw, at a fraction of a million
    // create-select-delete rounds.
    CLegPens pens;
    const CViewProjection projection = MakeViewProjection();

    // The bundle count is data: never more than there are, never negative.
    const size_t bundleCount =
        std::min(snapshot.m_bundles.size(), static_cast<size_t>(std::max<int32_t>(snapshot.m_nBundles, 0)));
    for (size_t b = 0; b < bundleCount; ++b) {
        for (const CUTRay& leg : snapshot.m_bundles[b].m_rays) {
            if (leg.m_kind == CUTRay::kNotDrawn) continue;
            const SRaySegment segment =
                SelectRaySegment(m_rayPlotType, leg.m_startTime, leg.GetTimeAtEnd(), m_rayEndTime, pulse);
            if (!segment.Drawn()) continue;
            const CPoint3D s = SegmentPoint(leg, segment.start, segment.startTime, true);
            const CPoint3D e = SegmentPoint(leg, segment.end, segment.endTime, false);
            if (!s.IsValid() || !e.IsValid()) continue;

            int sx = 0, sy = 0, ex = 0, ey = 0;
            if (!projection.Project(s, sx, sy) || !projection.Project(e, ex, ey)) continue;
            sy = FlipY(bounds, sy);
            ey = FlipY(bounds, ey);

            if (sx == ex && sy == ey) {
                pens.Deselect(*pdc, keptPen);
                pdc->SetPixel(sx, sy, leg.m_colour);
                continue;
            }
            pens.Select(*pdc, std::clamp<int32_t>(leg.m_penWidth, 0, kMaxRayPenWidth), leg.m_colour);
            pdc->MoveTo(sx, sy);
            pdc->LineTo(ex, ey);
        }
    }
    // Also when no leg was drawn, so neither the black pen nor a leg pen is deleted while selected.
    pdc->SelectObject(keptPen);
}

// ---- Outlines --------------------------------------------------------------------------------

void COrvexViewerCtrl::DrawOutline(const CArrayOfArcs& arcs, CDC* pdc, const CRect& bounds) {
    const CfRect view = m_pSimData->m_viewRect;
    CfRect extent;
    arcs.DrawYFlipped(pdc, &bounds, view, extent, m_pSimData->m_viewFrame, 0, 0, nullptr, 1);
    m_extent.BiggestPart(extent);
}

void COrvexViewerCtrl::DrawPartOutline(CDC* pdc, const CRect& bounds) { DrawOutline(m_pSimData->m_outline, pdc, bounds); }

void COrvexViewerCtrl::DrawProbeOutlines(CDC* pdc, const CRect& bounds) {
    const auto& snapshots = m_pSimData->m_snapshots;
    if (snapshots.empty()) return;
    // The display snapshot is 1-based data; one outside the snapshots shows no probe.
    const int64_t index = static_cast<int64_t>(m_pSimData->m_displaySnapshot) - 1;
    if (index < 0 || index >= static_cast<int64_t>(snapshots.size())) return;
    const auto& items = snapshots[static_cast<size_t>(index)].m_outlineItems;
    if (items.empty()) return;
    DrawOutline(items[0].m_arcs, pdc, bounds);
    if (items.size() > 1) DrawOutline(items[1].m_arcs, pdc, bounds);
}

void COrvexViewerCtrl::DrawExtraOutline(CDC* pdc, const CRect& bounds) {
    if (m_pSimData->m_extraOutline.GetSize() < 1) return;
    DrawOutline(m_pSimData->m_extraOutline, pdc, bounds);
}

// ---- Labels ----------------------------------------------------------------------------------

void COrvexViewerCtrl::DrawLabels(CDC* pdc, const CRect& bounds) {
    const CVector3D& viewZ = m_pSimData->m_viewFrame.GetZAxis();
    for (const CSimulationData::stLabel& label : m_pSimData->m_labels) {
        // A label without text has no character width; it is left out.
        if (label.m_text.empty()) continue;
        const CVector3D normal = label.m_span1 ^ label.m_span2;
        const double facing = normal * viewZ;
        CPoint3D corners[4];
        if (facing > 0.0) {
            corners[0] = label.m_anchor;
            corners[1] = label.m_anchor + label.m_span1;
        } else {
            // Seen from its back the label is written from the other end, so it reads left to right.
            corners[0] = label.m_anchor + label.m_span1;
            corners[1] = label.m_anchor;
        }
        corners[2] = label.m_anchor + label.m_span2;
        corners[3] = label.m_anchor + label.m_span1 + label.m_span2;

        int x[4], y[4];
        bool visible = true;
        for (int i = 0; i < 4; ++i) {
            visible = ProjectPoint(corners[i], x[i], y[i]) && visible;
            y[i] = FlipY(bounds, y[i]);
        }
        if (!visible) continue;

        const int height = std::max(1, TruncateToInt(PixelDistance(x[0], y[0], x[3], y[3])));
        const int64_t length = static_cast<int64_t>(label.m_text.size());
        const int width =
            static_cast<int>(std::max<int64_t>(1, TruncateToInt(PixelDistance(x[0], y[0], x[1], y[1])) / length));
        const double angle =
            std::atan2(static_cast<double>(y[1]) - y[0], static_cast<double>(x[1]) - x[0]);
        const int escapement = TruncateToInt(angle * kRadiansToNegTenthsOfDegree);

        CFont font;
        if (!font.CreateFont(height, width, escapement, 0, kLabelFontWeight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, kLabelPitchAndFamily, nullptr))
            continue;
        CSelectObject selected(*pdc, font);
        pdc->TextOut(x[3], y[3], label.m_text);
    }
}
