// Creation, object selection, saved states, mapping, modes and clipping of CDC.
#include "platform/gdi/CDC.h"

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/StockObjects.h"
#include "platform/base/Saturate.h"

#include <cassert>
#include <cmath>

using gdi::CDeviceContext;

namespace {

// The state a fresh context starts with: stock black pen, white brush, system font.
void InitialiseState(CDeviceContext& dc) {
    gdi::DcState& s = dc.m_state;
    s = gdi::DcState{};
    s.pen = static_cast<CPen*>(gdi::StockObject(BLACK_PEN));
    s.logPen = *s.pen->GetData();
    s.brush = static_cast<CBrush*>(gdi::StockObject(WHITE_BRUSH));
    s.logBrush = *s.brush->GetData();
    s.font = static_cast<CFont*>(gdi::StockObject(SYSTEM_FONT));
    s.logFont = *s.font->GetData();
    if (dc.m_memoryDC) {
        s.bitmap = gdi::StockBitmap();
        s.bitmapStore = s.bitmap->GetStore();
    }
    dc.UpdateAll();
}

}  // namespace

CDC::~CDC() {
    if (m_bOwnsDC) DeleteDC();
}

CDC* CDC::FromHandle(HDC h) {
    CDeviceContext* dc = gdi::FromHdc(h);
    return dc == nullptr ? nullptr : dc->m_owner;
}

gdi::CDeviceContext* CDC::Out() const { return gdi::FromHdc(m_hDC); }
gdi::CDeviceContext* CDC::Attrib() const { return gdi::FromHdc(m_hAttribDC != nullptr ? m_hAttribDC : m_hDC); }

BOOL CDC::CreateCompatibleDC(CDC* dc) {
    if (m_hDC != nullptr) return FALSE;
    auto* impl = new CDeviceContext(this, true);
    if (dc != nullptr && dc->Attrib() != nullptr) {
        const CDeviceContext* ref = dc->Attrib();
        impl->m_technology = ref->m_technology;
        impl->m_logPixelsX = ref->m_logPixelsX;
        impl->m_logPixelsY = ref->m_logPixelsY;
    }
    InitialiseState(*impl);
    m_hDC = m_hAttribDC = gdi::ToHdc(impl);
    m_bOwnsDC = true;
    return TRUE;
}

BOOL CDC::DeleteDC() {
    if (m_hDC == nullptr) return FALSE;
    CDeviceContext* impl = Out();
    const bool own = m_bOwnsDC;
    m_hDC = m_hAttribDC = nullptr;
    m_bOwnsDC = false;
    if (own) delete impl;
    return TRUE;
}

BOOL CDC::Attach(HDC h) {
    if (h == nullptr || m_hDC != nullptr) return FALSE;
    m_hDC = m_hAttribDC = h;
    m_bOwnsDC = true;
    gdi::FromHdc(h)->m_owner = this;
    return TRUE;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    m_hDC = m_hAttribDC = nullptr;
    m_bOwnsDC = false;
    return h;
}

void CDC::SetAttribDC(HDC h) { m_hAttribDC = h; }
void CDC::SetOutputDC(HDC h) { m_hDC = h; }
void CDC::ReleaseAttribDC() { m_hAttribDC = nullptr; }
void CDC::ReleaseOutputDC() { m_hDC = nullptr; }

void CDC::SetSurface(CBitmap* surface, CPoint dcOrg, const CRect& visRect) {
    if (m_hDC == nullptr) {
        auto* impl = new CDeviceContext(this, false);
        InitialiseState(*impl);
        m_hDC = m_hAttribDC = gdi::ToHdc(impl);
        m_bOwnsDC = true;
    }
    CDeviceContext* impl = Out();
    assert(!impl->m_memoryDC && "a memory context takes bitmaps through SelectObject");
    impl->m_surface = surface != nullptr ? surface->GetStore() : nullptr;
    impl->m_dcOrg = dcOrg;
    impl->m_visRect = visRect;
    impl->m_technology = DT_RASDISPLAY;
    impl->m_logPixelsX = impl->m_logPixelsY = 96;
    impl->UpdateAll();
}

void CDC::SetTechnology(int technology) {
    if (CDeviceContext* dc = Out()) dc->m_technology = technology;
}

void CDC::SetLogPixels(int x, int y) {
    CDeviceContext* dc = Out();
    if (dc == nullptr || x <= 0 || y <= 0) return;
    dc->m_logPixelsX = x;
    dc->m_logPixelsY = y;
    dc->ApplyMapModeExtents();
    dc->UpdateTools();
}

int CDC::GetDeviceCaps(int index) const {
    const CDeviceContext* dc = Attrib();
    if (dc == nullptr) return 0;
    const CSize size = dc->SurfaceSize();
    switch (index) {
    case DRIVERVERSION: return 0x400;
    case TECHNOLOGY: return dc->m_technology;
    case HORZRES: return size.cx;
    case VERTRES: return size.cy;
    case HORZSIZE: return static_cast<int>(std::lround(size.cx * 25.4 / dc->m_logPixelsX));
    case VERTSIZE: return static_cast<int>(std::lround(size.cy * 25.4 / dc->m_logPixelsY));
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case RASTERCAPS: return RC_BITBLT | RC_BITMAP64;
    case LOGPIXELSX: return dc->m_logPixelsX;
    case LOGPIXELSY: return dc->m_logPixelsY;
    case PHYSICALWIDTH: return size.cx;
    case PHYSICALHEIGHT: return size.cy;
    default: return 0;
    }
}

// --- Objects ---------------------------------------------------------------------------------

CPen* CDC::SelectObject(CPen* pen) {
    CDeviceContext* dc = Out();
    const LOGPEN* data = pen != nullptr ? pen->GetData() : nullptr;
    if (dc == nullptr || data == nullptr) return nullptr;
    CPen* previous = dc->m_state.pen;
    dc->m_state.pen = pen;
    dc->m_state.logPen = *data;
    dc->UpdateTools();
    return previous;
}

CBrush* CDC::SelectObject(CBrush* brush) {
    CDeviceContext* dc = Out();
    const LOGBRUSH* data = brush != nullptr ? brush->GetData() : nullptr;
    if (dc == nullptr || data == nullptr) return nullptr;
    CBrush* previous = dc->m_state.brush;
    dc->m_state.brush = brush;
    dc->m_state.logBrush = *data;
    dc->UpdateTools();
    return previous;
}

CFont* CDC::SelectObject(CFont* font) {
    CDeviceContext* dc = Out();
    const LOGFONT* data = font != nullptr ? font->GetData() : nullptr;
    if (dc == nullptr || data == nullptr) return nullptr;
    CFont* previous = dc->m_state.font;
    dc->m_state.font = font;
    dc->m_state.logFont = *data;
    if (m_hAttribDC != nullptr && m_hAttribDC != m_hDC) {
        Attrib()->m_state.font = font;
        Attrib()->m_state.logFont = *data;
    }
    return previous;
}

CBitmap* CDC::SelectObject(CBitmap* bitmap) {
    CDeviceContext* dc = Out();
    if (dc == nullptr || !dc->m_memoryDC || bitmap == nullptr) return nullptr;
    std::shared_ptr<gdi::PixelStore> store = bitmap->GetStore();
    if (store == nullptr) return nullptr;
    CBitmap* previous = dc->m_state.bitmap;
    dc->m_state.bitmap = bitmap;
    dc->m_state.bitmapStore = std::move(store);
    dc->UpdateTarget();
    return previous;
}

int CDC::SelectObject(CRgn* region) { return SelectClipRgn(region); }

CGdiObject* CDC::SelectObject(CGdiObject* object) {
    if (object == nullptr) return nullptr;
    switch (object->GetObjectType()) {
    case OBJ_PEN: return SelectObject(static_cast<CPen*>(object));
    case OBJ_BRUSH: return SelectObject(static_cast<CBrush*>(object));
    case OBJ_FONT: return SelectObject(static_cast<CFont*>(object));
    case OBJ_BITMAP: return SelectObject(static_cast<CBitmap*>(object));
    case OBJ_REGION: SelectClipRgn(static_cast<CRgn*>(object)); return nullptr;
    default: return nullptr;
    }
}

HGDIOBJ CDC::SelectObject(HGDIOBJ object) {
    CGdiObject* previous = SelectObject(CGdiObject::FromHandle(object));
    return previous == nullptr ? nullptr : previous->m_hObject;
}

CGdiObject* CDC::SelectStockObject(int index) {
    CGdiObject* stock = gdi::StockObject(index);
    return stock == nullptr ? nullptr : SelectObject(stock);
}

CPen* CDC::GetCurrentPen() const { return Out() ? Out()->m_state.pen : nullptr; }
CBrush* CDC::GetCurrentBrush() const { return Out() ? Out()->m_state.brush : nullptr; }
CFont* CDC::GetCurrentFont() const { return Out() ? Out()->m_state.font : nullptr; }
CBitmap* CDC::GetCurrentBitmap() const { return Out() ? Out()->m_state.bitmap : nullptr; }

// --- Saved states ----------------------------------------------------------------------------

int CDC::SaveDC() {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return 0;
    if (m_hAttribDC != nullptr && m_hAttribDC != m_hDC) Attrib()->m_saved.push_back(Attrib()->m_state);
    dc->m_saved.push_back(dc->m_state);
    return static_cast<int>(dc->m_saved.size());
}

BOOL CDC::RestoreDC(int savedDC) {
    auto restore = [savedDC](CDeviceContext* dc) -> BOOL {
        const int depth = static_cast<int>(dc->m_saved.size());
        const int target = savedDC < 0 ? depth + savedDC + 1 : savedDC;
        if (savedDC == 0 || target < 1 || target > depth) return FALSE;
        dc->m_state = dc->m_saved[static_cast<size_t>(target - 1)];
        dc->m_saved.resize(static_cast<size_t>(target - 1));
        dc->UpdateAll();
        return TRUE;
    };
    CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    if (m_hAttribDC != nullptr && m_hAttribDC != m_hDC) restore(Attrib());
    return restore(dc);
}

// --- Mapping ---------------------------------------------------------------------------------

namespace {

// Applies a change to the output context and, when it is a separate one, the attribute context.
template <typename F>
void ForBoth(CDeviceContext* out, CDeviceContext* attrib, F f) {
    if (out != nullptr) {
        f(*out);
        out->UpdateTools();
    }
    if (attrib != nullptr && attrib != out) {
        f(*attrib);
        attrib->UpdateTools();
    }
}

}  // namespace

int CDC::GetMapMode() const { return Attrib() ? Attrib()->m_state.mapMode : 0; }

int CDC::SetMapMode(int mapMode) {
    CDeviceContext* dc = Out();
    if (dc == nullptr || mapMode < MM_TEXT || mapMode > MM_ANISOTROPIC || mapMode == MM_ISOTROPIC) return 0;
    const int previous = Attrib()->m_state.mapMode;
    ForBoth(dc, Attrib(), [mapMode](CDeviceContext& c) {
        c.m_state.mapMode = mapMode;
        c.ApplyMapModeExtents();
    });
    return previous;
}

CPoint CDC::GetViewportOrg() const { return Attrib() ? Attrib()->m_state.viewportOrg : CPoint(); }

CPoint CDC::SetViewportOrg(int x, int y) {
    const CPoint previous = GetViewportOrg();
    ForBoth(Out(), Attrib(), [x, y](CDeviceContext& c) { c.m_state.viewportOrg = CPoint(x, y); });
    return previous;
}

CPoint CDC::OffsetViewportOrg(int dx, int dy) {
    const CPoint p = GetViewportOrg();
    return SetViewportOrg(SaturatingAdd(p.x, dx), SaturatingAdd(p.y, dy));
}

CSize CDC::GetViewportExt() const { return Attrib() ? Attrib()->m_state.viewportExt : CSize(); }

CSize CDC::SetViewportExt(int cx, int cy) {
    const CSize previous = GetViewportExt();
    if (cx == 0 || cy == 0 || GetMapMode() != MM_ANISOTROPIC) return previous;
    ForBoth(Out(), Attrib(), [cx, cy](CDeviceContext& c) { c.m_state.viewportExt = CSize(cx, cy); });
    return previous;
}

CPoint CDC::GetWindowOrg() const { return Attrib() ? Attrib()->m_state.windowOrg : CPoint(); }

CPoint CDC::SetWindowOrg(int x, int y) {
    const CPoint previous = GetWindowOrg();
    ForBoth(Out(), Attrib(), [x, y](CDeviceContext& c) { c.m_state.windowOrg = CPoint(x, y); });
    return previous;
}

CPoint CDC::OffsetWindowOrg(int dx, int dy) {
    const CPoint p = GetWindowOrg();
    return SetWindowOrg(SaturatingAdd(p.x, dx), SaturatingAdd(p.y, dy));
}

CSize CDC::GetWindowExt() const { return Attrib() ? Attrib()->m_state.windowExt : CSize(); }

CSize CDC::SetWindowExt(int cx, int cy) {
    const CSize previous = GetWindowExt();
    if (cx == 0 || cy == 0 || GetMapMode() != MM_ANISOTROPIC) return previous;
    ForBoth(Out(), Attrib(), [cx, cy](CDeviceContext& c) { c.m_state.windowExt = CSize(cx, cy); });
    return previous;
}

void CDC::LPtoDP(LPPOINT points, int count) const {
    const CDeviceContext* dc = Attrib();
    if (dc == nullptr || points == nullptr) return;
    for (int i = 0; i < count; ++i) points[i] = dc->ToDevice(points[i].x, points[i].y);
}

// A RECT is not two POINTs to the compiler: converting through a cast pointer let an optimised
// caller (IntersectClipRect) keep the second corner unconverted.
void CDC::LPtoDP(LPRECT rect) const {
    if (rect == nullptr) return;
    POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    LPtoDP(corners, 2);
    *rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void CDC::LPtoDP(SIZE* size) const {
    if (size == nullptr) return;
    POINT p[2] = {{0, 0}, {size->cx, size->cy}};
    LPtoDP(p, 2);
    size->cx = std::abs(p[1].x - p[0].x);
    size->cy = std::abs(p[1].y - p[0].y);
}

void CDC::DPtoLP(LPPOINT points, int count) const {
    const CDeviceContext* dc = Attrib();
    if (dc == nullptr || points == nullptr) return;
    for (int i = 0; i < count; ++i) points[i] = dc->ToLogical(points[i].x, points[i].y);
}

void CDC::DPtoLP(LPRECT rect) const {
    if (rect == nullptr) return;
    POINT corners[2] = {{rect->left, rect->top}, {rect->right, rect->bottom}};
    DPtoLP(corners, 2);
    *rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

void CDC::DPtoLP(SIZE* size) const {
    if (size == nullptr) return;
    POINT p[2] = {{0, 0}, {size->cx, size->cy}};
    DPtoLP(p, 2);
    size->cx = std::abs(p[1].x - p[0].x);
    size->cy = std::abs(p[1].y - p[0].y);
}

// --- Colours and modes -----------------------------------------------------------------------

COLORREF CDC::GetBkColor() const { return Attrib() ? Attrib()->m_state.bkColor : CLR_INVALID; }

COLORREF CDC::SetBkColor(COLORREF colour) {
    const COLORREF previous = GetBkColor();
    ForBoth(Out(), Attrib(), [colour](CDeviceContext& c) { c.m_state.bkColor = colour & 0x00FFFFFFu; });
    return previous;
}

COLORREF CDC::GetTextColor() const { return Attrib() ? Attrib()->m_state.textColor : CLR_INVALID; }

COLORREF CDC::SetTextColor(COLORREF colour) {
    const COLORREF previous = GetTextColor();
    ForBoth(Out(), Attrib(), [colour](CDeviceContext& c) { c.m_state.textColor = colour & 0x00FFFFFFu; });
    return previous;
}

int CDC::GetBkMode() const { return Attrib() ? Attrib()->m_state.bkMode : 0; }

int CDC::SetBkMode(int mode) {
    if (mode != OPAQUE && mode != TRANSPARENT) return 0;
    const int previous = GetBkMode();
    ForBoth(Out(), Attrib(), [mode](CDeviceContext& c) { c.m_state.bkMode = mode; });
    return previous;
}

int CDC::GetROP2() const { return Attrib() ? Attrib()->m_state.rop2 : 0; }

int CDC::SetROP2(int drawMode) {
    if (drawMode < R2_BLACK || drawMode > R2_WHITE) return 0;
    const int previous = GetROP2();
    ForBoth(Out(), Attrib(), [drawMode](CDeviceContext& c) { c.m_state.rop2 = drawMode; });
    return previous;
}

UINT CDC::GetTextAlign() const { return Attrib() ? Attrib()->m_state.textAlign : 0; }

UINT CDC::SetTextAlign(UINT flags) {
    const UINT previous = GetTextAlign();
    ForBoth(Out(), Attrib(), [flags](CDeviceContext& c) { c.m_state.textAlign = flags & TA_MASK; });
    return previous;
}

// --- Clipping --------------------------------------------------------------------------------

int CDC::SelectClipRgn(CRgn* region) {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return RGN_ERROR;
    if (region == nullptr) {
        dc->m_state.hasClip = false;
    } else {
        const CRect* r = region->GetData();
        if (r == nullptr) return RGN_ERROR;
        dc->m_state.hasClip = true;
        dc->m_state.clipRgn = *r;
    }
    dc->UpdateTarget();
    return dc->m_target.clip.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::IntersectClipRect(int left, int top, int right, int bottom) {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return RGN_ERROR;
    CRect r(left, top, right, bottom);
    LPtoDP(&r);
    r.NormalizeRect();
    if (dc->m_state.hasClip) {
        CRect both;
        if (!both.IntersectRect(&r, &dc->m_state.clipRgn)) both.SetRectEmpty();
        r = both;
    }
    dc->m_state.hasClip = true;
    dc->m_state.clipRgn = r;
    dc->UpdateTarget();
    return dc->m_target.clip.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CDC::GetClipBox(LPRECT rect) const {
    const CDeviceContext* dc = Out();
    if (dc == nullptr || rect == nullptr) return RGN_ERROR;
    CRect box = dc->m_target.clip;
    if (box.IsRectEmpty()) {
        *rect = CRect();
        return NULLREGION;
    }
    DPtoLP(&box);
    *rect = box;
    return SIMPLEREGION;
}

BOOL CDC::PtVisible(int x, int y) const {
    const CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    const CPoint d = dc->ToDevice(x, y);
    return dc->m_target.Contains(d.x, d.y);
}
