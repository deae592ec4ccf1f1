// Metafile and printer contexts: every drawing call is kept with the state it ran under.
#include "platform/gdi/CRecordingDC.h"

#include "platform/base/Saturate.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/DeviceContext.h"

#include <algorithm>
#include <cstring>

using gdi::CDeviceContext;
using gdi::ERecordKind;
using gdi::stRecord;

namespace {

// The largest BitBlt source kept in a recording (pixels); a larger copy records what fits.
constexpr long long kMaxRecordedBlockPixels = 1LL << 26;

stRecord MakeRecord(ERecordKind kind, std::vector<POINT> points) {
    stRecord r;
    r.kind = kind;
    r.points = std::move(points);
    return r;
}

}  // namespace

BOOL CRecordingDC::CreateRecordingDC(int technology, CSize size, int dpiX, int dpiY) {
    if (m_hDC != nullptr || size.cx <= 0 || size.cy <= 0 || dpiX <= 0 || dpiY <= 0) return FALSE;
    SetSurface(nullptr, CPoint(0, 0), CRect(0, 0, size.cx, size.cy));
    // A surface of the page's size without pixels: the device caps report the page, and nothing
    // can ever be drawn into it, so only the recording sees the calls.
    auto page = std::make_shared<gdi::PixelStore>();
    page->width = size.cx;
    page->height = size.cy;
    Out()->m_surface = std::move(page);
    SetTechnology(technology);
    SetLogPixels(dpiX, dpiY);
    Out()->UpdateAll();
    m_recording.Clear();
    m_recording.m_page = size;
    m_recording.m_dpiX = dpiX;
    m_recording.m_dpiY = dpiY;
    m_recording.m_technology = technology;
    return TRUE;
}

BOOL CRecordingDC::IsPrinting() const { return GetDeviceCaps(TECHNOLOGY) == DT_RASPRINTER ? TRUE : FALSE; }

void CRecordingDC::Record(stRecord record) {
    const CDeviceContext* dc = Out();
    if (dc == nullptr) return;
    m_recording.Add(std::move(record), dc->m_state);
}

CRect CRecordingDC::VisibleDeviceRect() const {
    const CDeviceContext* dc = Out();
    if (dc == nullptr) return CRect();
    CRect visible(CPoint(0, 0), dc->SurfaceSize());
    if (dc->m_state.hasClip) {
        CRect both;
        if (!both.IntersectRect(&visible, &dc->m_state.clipRgn)) both.SetRectEmpty();
        visible = both;
    }
    return visible;
}

BOOL CRecordingDC::LineTo(int x, int y) {
    const CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    Record(MakeRecord(ERecordKind::LineTo, {dc->m_state.penPos, POINT{x, y}}));
    return CDC::LineTo(x, y);  // moves the pen position
}

BOOL CRecordingDC::Polyline(const POINT* points, int count) {
    if (Out() == nullptr || points == nullptr || count < 2) return FALSE;
    Record(MakeRecord(ERecordKind::Polyline, std::vector<POINT>(points, points + count)));
    return TRUE;
}

BOOL CRecordingDC::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    if (Out() == nullptr) return FALSE;
    Record(MakeRecord(ERecordKind::Arc, {POINT{x1, y1}, POINT{x2, y2}, POINT{x3, y3}, POINT{x4, y4}}));
    return TRUE;
}

BOOL CRecordingDC::Ellipse(int x1, int y1, int x2, int y2) {
    if (Out() == nullptr) return FALSE;
    Record(MakeRecord(ERecordKind::Ellipse, {POINT{x1, y1}, POINT{x2, y2}}));
    return TRUE;
}

BOOL CRecordingDC::Rectangle(int x1, int y1, int x2, int y2) {
    if (Out() == nullptr) return FALSE;
    Record(MakeRecord(ERecordKind::Rectangle, {POINT{x1, y1}, POINT{x2, y2}}));
    return TRUE;
}

COLORREF CRecordingDC::SetPixel(int x, int y, COLORREF colour) {
    const CDeviceContext* dc = Out();
    if (dc == nullptr) return CLR_INVALID;
    const CPoint d = dc->ToDevice(x, y);
    if (!VisibleDeviceRect().PtInRect(d)) return CLR_INVALID;
    stRecord r = MakeRecord(ERecordKind::SetPixel, {POINT{x, y}});
    r.colour = colour & 0x00FFFFFFu;
    Record(std::move(r));
    return colour & 0x00FFFFFFu;
}

void CRecordingDC::FillRect(LPCRECT rect, CBrush* brush) {
    const LOGBRUSH* b = brush != nullptr ? brush->GetData() : nullptr;
    if (Out() == nullptr || rect == nullptr || b == nullptr || b->lbStyle == BS_NULL) return;
    stRecord r = MakeRecord(ERecordKind::FillRect, {});
    r.rect = *rect;
    r.colour = b->lbColor & 0x00FFFFFFu;
    Record(std::move(r));
}

void CRecordingDC::FillSolidRect(LPCRECT rect, COLORREF colour) {
    if (Out() == nullptr || rect == nullptr) return;
    SetBkColor(colour);
    stRecord r = MakeRecord(ERecordKind::FillRect, {});
    r.rect = *rect;
    r.colour = colour & 0x00FFFFFFu;
    Record(std::move(r));
}

BOOL CRecordingDC::PatBlt(int x, int y, int width, int height, DWORD rop) {
    if (Out() == nullptr || gdi::Rop3UsesSource(gdi::Rop3Index(rop))) return FALSE;
    stRecord r = MakeRecord(ERecordKind::PatBlt, {POINT{x, y}, POINT{width, height}});
    r.rop = rop;
    Record(std::move(r));
    return TRUE;
}

BOOL CRecordingDC::BitBlt(int x, int y, int width, int height, CDC* srcDC, int xSrc, int ySrc, DWORD rop) {
    const CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    if (!gdi::Rop3UsesSource(gdi::Rop3Index(rop))) return PatBlt(x, y, width, height, rop);
    const CDeviceContext* src = srcDC != nullptr ? gdi::FromHdc(srcDC->GetSafeHdc()) : nullptr;
    if (src == nullptr) return FALSE;
    // The block in this context's device pixels, and the source pixels under it now.
    const CPoint a = dc->ToDevice(x, y);
    const CPoint b = dc->ToDevice(SaturatingAdd(x, width), SaturatingAdd(y, height));
    CRect box(a.x, a.y, b.x, b.y);
    box.NormalizeRect();
    const gdi::RasterTarget& s = src->m_target;
    if (box.IsRectEmpty() || s.pixels == nullptr) return TRUE;
    const long long w = static_cast<long long>(box.right) - box.left;
    long long h = static_cast<long long>(box.bottom) - box.top;
    if (w > kMaxRecordedBlockPixels) return TRUE;
    h = std::min(h, kMaxRecordedBlockPixels / w);
    const CPoint srcOrg = src->ToDevice(xSrc, ySrc);
    const CRect srcVisible = src->VisibleDeviceRect();
    stRecord r = MakeRecord(ERecordKind::BitBlt, {POINT{x, y}, POINT{width, height}});
    r.rop = rop;
    r.imageWidth = static_cast<int>(w);
    r.imageHeight = static_cast<int>(h);
    r.image.assign(static_cast<size_t>(w * h), gdi::kNoSourcePixel);
    bool any = false;
    for (long long row = 0; row < h; ++row) {
        const long long sy = srcOrg.y + row;
        if (sy < srcVisible.top || sy >= srcVisible.bottom) continue;
        for (long long col = 0; col < w; ++col) {
            const long long sx = srcOrg.x + col;
            if (sx < srcVisible.left || sx >= srcVisible.right) continue;
            r.image[static_cast<size_t>(row * w + col)] = *s.At(static_cast<int>(sx), static_cast<int>(sy)) & 0x00FFFFFFu;
            any = true;
        }
    }
    if (any) Record(std::move(r));
    return TRUE;
}

BOOL CRecordingDC::ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCTSTR text, UINT count, const int* dx) {
    const CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    if (text == nullptr) count = 0;
    stRecord r = MakeRecord(ERecordKind::ExtTextOut, {POINT{x, y}, dc->m_state.penPos});
    r.options = options;
    if (rect != nullptr) {
        r.hasRect = true;
        r.rect = *rect;
    }
    r.text.assign(text != nullptr ? text : "", count);
    if (dx != nullptr) r.dx.assign(dx, dx + count);
    if (count > 0 || rect != nullptr) Record(std::move(r));
    // The base draws nothing here (there are no pixels) but moves the pen position for TA_UPDATECP.
    return CDC::ExtTextOut(x, y, options, rect, text, count, dx);
}

int CRecordingDC::SelectClipRgn(CRgn* region) {
    const int result = CDC::SelectClipRgn(region);
    if (result == RGN_ERROR) return result;
    return VisibleDeviceRect().IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CRecordingDC::IntersectClipRect(int left, int top, int right, int bottom) {
    const int result = CDC::IntersectClipRect(left, top, right, bottom);
    if (result == RGN_ERROR) return result;
    return VisibleDeviceRect().IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CRecordingDC::GetClipBox(LPRECT rect) const {
    if (Out() == nullptr || rect == nullptr) return RGN_ERROR;
    CRect box = VisibleDeviceRect();
    if (box.IsRectEmpty()) {
        *rect = CRect();
        return NULLREGION;
    }
    DPtoLP(&box);
    *rect = box;
    return SIMPLEREGION;
}
