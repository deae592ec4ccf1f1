// The print-preview context: printer layout, screen output.
#include "platform/gdi/CPreviewDC.h"

#include "platform/base/Saturate.h"

#include <cstdlib>
#include <numeric>

using gdi::CDeviceContext;

namespace {

// floor(v * num / den + 1/2) in 64 bits, saturated to int32.
int32_t Scale(int64_t v, int64_t num, int64_t den) {
    const __int128 n2 = static_cast<__int128>(v) * num * 2 + den;
    const __int128 d2 = static_cast<__int128>(den) * 2;
    __int128 q = n2 / d2;
    if ((n2 % d2) != 0 && n2 < 0) --q;
    if (q > INT32_MAX) return INT32_MAX;
    if (q < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(q);
}

}  // namespace

CPreviewDC::~CPreviewDC() {
    ReleaseOutputDC();
    m_hAttribDC = nullptr;
}

void CPreviewDC::SetAttribDC(HDC printer) {
    CDC::SetAttribDC(printer);
    MirrorMapping();
}

void CPreviewDC::SetOutputDC(HDC screen) {
    ReleaseOutputDC();
    CDC::SetOutputDC(screen);
    CDeviceContext* out = Out();
    if (out == nullptr) return;
    m_hasSavedOutput = true;
    m_savedOutputState = out->m_state;
    m_savedOutputDepth = out->m_saved.size();
    if (m_hAttribDC != nullptr && m_hAttribDC != m_hDC) {
        // The screen draws with what the printer has selected, in the printer's colours and modes.
        const gdi::DcState& a = Attrib()->m_state;
        gdi::DcState& s = out->m_state;
        s.pen = a.pen;
        s.logPen = a.logPen;
        s.brush = a.brush;
        s.logBrush = a.logBrush;
        s.font = a.font;
        s.logFont = a.logFont;
        s.textColor = a.textColor;
        s.bkColor = a.bkColor;
        s.bkMode = a.bkMode;
        s.rop2 = a.rop2;
        s.textAlign = a.textAlign;
        s.penPos = a.penPos;
    }
    MirrorMapping();
}

void CPreviewDC::ReleaseOutputDC() {
    CDeviceContext* out = Out();
    if (out != nullptr && m_hasSavedOutput && out != Attrib()) {
        out->m_state = m_savedOutputState;
        if (out->m_saved.size() > m_savedOutputDepth) out->m_saved.resize(m_savedOutputDepth);
        out->UpdateAll();
    }
    m_hasSavedOutput = false;
    CDC::ReleaseOutputDC();
}

void CPreviewDC::SetScaleRatio(int numerator, int denominator) {
    if (numerator <= 0 || denominator <= 0) return;
    const int g = std::gcd(numerator, denominator);
    m_scaleNum = numerator / g;
    m_scaleDen = denominator / g;
    MirrorMapping();
}

void CPreviewDC::SetTopLeftOffset(CSize offset) {
    m_topLeft = offset;
    MirrorMapping();
}

void CPreviewDC::PrinterDPtoScreenDP(LPPOINT point) const {
    if (point == nullptr) return;
    point->x = Scale(point->x, m_scaleNum, m_scaleDen);
    point->y = Scale(point->y, m_scaleNum, m_scaleDen);
}

void CPreviewDC::MirrorMapping() {
    CDeviceContext* out = Out();
    const CDeviceContext* printer = m_hAttribDC != nullptr ? gdi::FromHdc(m_hAttribDC) : nullptr;
    if (out == nullptr || printer == nullptr || out == printer) return;
    const gdi::DcState& a = printer->m_state;
    gdi::DcState& s = out->m_state;
    // Window units per screen pixel = window units per dot x dots per pixel; the extents grow by
    // the ratio's terms and are halved together should they leave the int32 range.
    int64_t wx = static_cast<int64_t>(a.windowExt.cx) * m_scaleDen, wy = static_cast<int64_t>(a.windowExt.cy) * m_scaleDen;
    int64_t vx = static_cast<int64_t>(a.viewportExt.cx) * m_scaleNum, vy = static_cast<int64_t>(a.viewportExt.cy) * m_scaleNum;
    auto tooBig = [](int64_t v) { return std::llabs(v) > INT32_MAX; };
    while (tooBig(wx) || tooBig(vx)) {
        wx /= 2;
        vx /= 2;
    }
    while (tooBig(wy) || tooBig(vy)) {
        wy /= 2;
        vy /= 2;
    }
    s.mapMode = MM_ANISOTROPIC;
    s.windowOrg = a.windowOrg;
    s.windowExt = CSize(wx != 0 ? static_cast<int>(wx) : 1, wy != 0 ? static_cast<int>(wy) : 1);
    s.viewportExt = CSize(vx != 0 ? static_cast<int>(vx) : 1, vy != 0 ? static_cast<int>(vy) : 1);
    s.viewportOrg = CPoint(SaturatingAdd(Scale(a.viewportOrg.x, m_scaleNum, m_scaleDen), m_topLeft.cx),
                           SaturatingAdd(Scale(a.viewportOrg.y, m_scaleNum, m_scaleDen), m_topLeft.cy));
    out->UpdateTools();
}

int CPreviewDC::SetMapMode(int mapMode) {
    const int previous = CDC::SetMapMode(mapMode);
    MirrorMapping();
    return previous;
}

CPoint CPreviewDC::SetViewportOrg(int x, int y) {
    const CPoint previous = CDC::SetViewportOrg(x, y);
    MirrorMapping();
    return previous;
}

CSize CPreviewDC::SetViewportExt(int cx, int cy) {
    const CSize previous = CDC::SetViewportExt(cx, cy);
    MirrorMapping();
    return previous;
}

CPoint CPreviewDC::SetWindowOrg(int x, int y) {
    const CPoint previous = CDC::SetWindowOrg(x, y);
    MirrorMapping();
    return previous;
}

CSize CPreviewDC::SetWindowExt(int cx, int cy) {
    const CSize previous = CDC::SetWindowExt(cx, cy);
    MirrorMapping();
    return previous;
}

BOOL CPreviewDC::RestoreDC(int savedDC) {
    const BOOL ok = CDC::RestoreDC(savedDC);
    MirrorMapping();
    return ok;
}

int CPreviewDC::IntersectClipRect(int left, int top, int right, int bottom) {
    CDeviceContext* out = Out();
    if (out == nullptr) return RGN_ERROR;
    const CPoint a = out->ToDevice(left, top), b = out->ToDevice(right, bottom);
    CRect r(a.x, a.y, b.x, b.y);
    r.NormalizeRect();
    if (out->m_state.hasClip) {
        CRect both;
        if (!both.IntersectRect(&r, &out->m_state.clipRgn)) both.SetRectEmpty();
        r = both;
    }
    out->m_state.hasClip = true;
    out->m_state.clipRgn = r;
    out->UpdateTarget();
    return out->m_target.clip.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CPreviewDC::GetClipBox(LPRECT rect) const {
    const CDeviceContext* out = Out();
    if (out == nullptr || rect == nullptr) return RGN_ERROR;
    const CRect box = out->m_target.clip;
    if (box.IsRectEmpty()) {
        *rect = CRect();
        return NULLREGION;
    }
    const CPoint a = out->ToLogical(box.left, box.top), b = out->ToLogical(box.right, box.bottom);
    *rect = CRect(a.x, a.y, b.x, b.y);
    return SIMPLEREGION;
}

BOOL CPreviewDC::ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCTSTR text, UINT count, const int* dx) {
    CDeviceContext* out = Out();
    if (out == nullptr) return FALSE;
    const gdi::DcState before = out->m_state;
    if (rect != nullptr) {
        const CPoint a = out->ToDevice(rect->left, rect->top), b = out->ToDevice(rect->right, rect->bottom);
        CRect box(a.x, a.y, b.x, b.y);
        box.NormalizeRect();
        if (options & ETO_OPAQUE) gdi::FillDeviceRect(out->m_target, box, gdi::RopMasks{0, before.bkColor});
        if (options & ETO_CLIPPED) {
            CRect clip = box;
            if (before.hasClip && !clip.IntersectRect(&box, &before.clipRgn)) clip.SetRectEmpty();
            out->m_state.hasClip = true;
            out->m_state.clipRgn = clip;
            out->UpdateTarget();
        }
    }
    const BOOL ok = CDC::ExtTextOut(x, y, options & ~(ETO_OPAQUE | ETO_CLIPPED), nullptr, text, count, dx);
    const CPoint penPos = out->m_state.penPos;
    out->m_state.hasClip = before.hasClip;
    out->m_state.clipRgn = before.clipRgn;
    out->UpdateTarget();
    if (CDeviceContext* printer = Attrib(); printer != nullptr && printer != out) printer->m_state.penPos = penPos;
    return ok;
}
