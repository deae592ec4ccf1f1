#pragma once
// The drawing context, with the platform's names and semantics.
//
// A CDC wraps a context handle (m_hDC, where output goes) and an attribute handle (m_hAttribDC,
// which answers queries: metrics, device caps, conversions); for the contexts made here both are
// the same. The context draws into a 32-bit surface: the bitmap selected into a memory context,
// or the surface given by SetSurface (a window's part of its top-level surface).
//
// Drawing and state calls are virtual so that a recording context can stand in for a raster one.
#include "platform/gdi/GdiTypes.h"

#include <string>

class CBitmap;
class CBrush;
class CFont;
class CPen;
class CRgn;
namespace gdi { class CDeviceContext; }

class CDC {
public:
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;

    CDC() = default;
    // Deletes the context this object created or attached.
    virtual ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    // The CDC that owns a handle (null for null).
    static CDC* FromHandle(HDC h);

    // --- Creation ----------------------------------------------------------------------------
    // A memory context with the technology and resolution of dc (a screen when null); it holds
    // a 1x1 stock bitmap that draws nothing until a bitmap is selected.
    virtual BOOL CreateCompatibleDC(CDC* dc);
    virtual BOOL DeleteDC();
    BOOL Attach(HDC h);
    HDC Detach();
    void SetAttribDC(HDC h);
    void SetOutputDC(HDC h);
    void ReleaseAttribDC();
    void ReleaseOutputDC();

    // Makes this a context on a surface (created here when this CDC has none yet): device (0, 0)
    // is surface pixel dcOrg, and nothing is ever drawn outside visRect (surface pixels), whatever
    // clip region is selected. Device caps: DT_RASDISPLAY, 96 LOGPIXELS, HORZRES/VERTRES the
    // surface size. Calling it again moves the context to the new surface and rectangle.
    void SetSurface(CBitmap* surface, CPoint dcOrg, const CRect& visRect);
    // Sets what GetDeviceCaps(TECHNOLOGY) reports (DT_RASDISPLAY by default).
    void SetTechnology(int technology);
    // Sets GetDeviceCaps(LOGPIXELSX / LOGPIXELSY) (96 by default).
    void SetLogPixels(int x, int y);
    // TECHNOLOGY, LOGPIXELSX/Y, PLANES (1), BITSPIXEL (32), HORZRES/VERTRES (surface size),
    // HORZSIZE/VERTSIZE (millimetres), NUMCOLORS (-1), RASTERCAPS; 0 for anything else.
    int GetDeviceCaps(int index) const;
    // TRUE for printer contexts; the raster contexts made here are never printing.
    virtual BOOL IsPrinting() const { return FALSE; }

    // --- Objects -----------------------------------------------------------------------------
    // Each returns the object that was selected before (null on failure). The context copies what
    // it draws with at selection and works out its raster routine then.
    virtual CPen* SelectObject(CPen* pen);
    virtual CBrush* SelectObject(CBrush* brush);
    virtual CFont* SelectObject(CFont* font);
    // Only memory contexts take bitmaps; the surface of a SetSurface context is fixed.
    virtual CBitmap* SelectObject(CBitmap* bitmap);
    // Selects a copy of the region as clip region; returns the region type, RGN_ERROR on failure.
    virtual int SelectObject(CRgn* region);
    CGdiObject* SelectObject(CGdiObject* object);
    HGDIOBJ SelectObject(HGDIOBJ object);
    virtual CGdiObject* SelectStockObject(int index);
    CPen* GetCurrentPen() const;
    CBrush* GetCurrentBrush() const;
    CFont* GetCurrentFont() const;
    CBitmap* GetCurrentBitmap() const;

    // --- State -------------------------------------------------------------------------------
    // Pushes a copy of the whole state; returns the new depth (1 for the first save), 0 on failure.
    virtual int SaveDC();
    // Returns to the state saved at depth n (> 0), or n saves back (< 0); FALSE when there is none.
    virtual BOOL RestoreDC(int savedDC);

    // --- Mapping -----------------------------------------------------------------------------
    int GetMapMode() const;
    // MM_TEXT, MM_LOMETRIC, MM_HIMETRIC, MM_LOENGLISH, MM_HIENGLISH, MM_TWIPS, MM_ANISOTROPIC;
    // returns the previous mode, 0 for an unsupported one (MM_ISOTROPIC).
    virtual int SetMapMode(int mapMode);
    CPoint GetViewportOrg() const;
    virtual CPoint SetViewportOrg(int x, int y);
    CPoint SetViewportOrg(POINT p) { return SetViewportOrg(p.x, p.y); }
    virtual CPoint OffsetViewportOrg(int dx, int dy);
    CSize GetViewportExt() const;
    // Only in MM_ANISOTROPIC; a zero component is refused. Returns the previous extent.
    virtual CSize SetViewportExt(int cx, int cy);
    CSize SetViewportExt(SIZE s) { return SetViewportExt(s.cx, s.cy); }
    CPoint GetWindowOrg() const;
    virtual CPoint SetWindowOrg(int x, int y);
    CPoint SetWindowOrg(POINT p) { return SetWindowOrg(p.x, p.y); }
    virtual CPoint OffsetWindowOrg(int dx, int dy);
    CSize GetWindowExt() const;
    virtual CSize SetWindowExt(int cx, int cy);
    CSize SetWindowExt(SIZE s) { return SetWindowExt(s.cx, s.cy); }
    // Logical to device: rounds halves toward +infinity; saturates at the int32 limits.
    void LPtoDP(LPPOINT points, int count = 1) const;
    void LPtoDP(LPRECT rect) const;
    void LPtoDP(SIZE* size) const;
    void DPtoLP(LPPOINT points, int count = 1) const;
    void DPtoLP(LPRECT rect) const;
    void DPtoLP(SIZE* size) const;

    // --- Colours and modes -------------------------------------------------------------------
    COLORREF GetBkColor() const;
    virtual COLORREF SetBkColor(COLORREF colour);
    COLORREF GetTextColor() const;
    virtual COLORREF SetTextColor(COLORREF colour);
    int GetBkMode() const;
    virtual int SetBkMode(int mode);
    int GetROP2() const;
    // One of R2_BLACK..R2_WHITE; returns the previous code, 0 for an invalid one.
    virtual int SetROP2(int drawMode);
    UINT GetTextAlign() const;
    virtual UINT SetTextAlign(UINT flags);

    // --- Clipping ----------------------------------------------------------------------------
    // A copy of the region (device coordinates) becomes the clip region; null removes it.
    virtual int SelectClipRgn(CRgn* region);
    // Narrows the clip region to a logical rectangle.
    virtual int IntersectClipRect(int left, int top, int right, int bottom);
    int IntersectClipRect(LPCRECT rect) { return IntersectClipRect(rect->left, rect->top, rect->right, rect->bottom); }
    // The visible part (clip region within the visible rectangle) in logical coordinates.
    virtual int GetClipBox(LPRECT rect) const;
    // Whether a logical point lies in the visible part.
    BOOL PtVisible(int x, int y) const;

    // --- Lines and shapes --------------------------------------------------------------------
    CPoint GetCurrentPosition() const;
    virtual CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    // Draws up to but not including (x, y) and moves the current position there.
    virtual BOOL LineTo(int x, int y);
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    // count - 1 segments; each shared vertex drawn once, the last point left out; the dash phase
    // carries along. The current position is neither used nor moved.
    virtual BOOL Polyline(const POINT* points, int count);
    // The outline of the ellipse in the box, counter-clockwise (as seen) from the ray through
    // start to the ray through end; start equal to end draws the whole ellipse.
    virtual BOOL Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    BOOL Arc(LPCRECT rect, POINT start, POINT end);
    virtual BOOL Ellipse(int x1, int y1, int x2, int y2);
    BOOL Ellipse(LPCRECT rect) { return Ellipse(rect->left, rect->top, rect->right, rect->bottom); }
    virtual BOOL Rectangle(int x1, int y1, int x2, int y2);
    BOOL Rectangle(LPCRECT rect) { return Rectangle(rect->left, rect->top, rect->right, rect->bottom); }

    // --- Pixels and fills --------------------------------------------------------------------
    // Returns the colour set, CLR_INVALID when the point is outside the visible part.
    virtual COLORREF SetPixel(int x, int y, COLORREF colour);
    COLORREF SetPixel(POINT p, COLORREF colour) { return SetPixel(p.x, p.y, colour); }
    // CLR_INVALID outside the visible part.
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT p) const { return GetPixel(p.x, p.y); }
    // Fills left..right-1, top..bottom-1 with the brush; no outline, no raster operation.
    virtual void FillRect(LPCRECT rect, CBrush* brush);
    // Fills with a colour and, as the framework does, leaves it as the background colour.
    virtual void FillSolidRect(LPCRECT rect, COLORREF colour);
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF colour);
    // Any ternary raster operation over the selected brush and the destination.
    virtual BOOL PatBlt(int x, int y, int width, int height, DWORD rop);
    // Any ternary raster operation over source, brush and destination; sizes in device pixels as
    // given by this context's mapping.
    virtual BOOL BitBlt(int x, int y, int width, int height, CDC* srcDC, int xSrc, int ySrc, DWORD rop);

    // --- Text --------------------------------------------------------------------------------
    virtual BOOL TextOut(int x, int y, LPCTSTR text, int count);
    BOOL TextOut(int x, int y, const std::string& text);
    // Text with an optional opaque or clipping rectangle (ETO_OPAQUE, ETO_CLIPPED) and optional
    // advances (logical units per character).
    virtual BOOL ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCTSTR text, UINT count,
                            const int* dx);
    // Width (sum of the characters' advances) and cell height, in logical units.
    CSize GetTextExtent(LPCTSTR text, int count) const;
    CSize GetTextExtent(const std::string& text) const;
    CSize GetOutputTextExtent(LPCTSTR text, int count) const;
    CSize GetOutputTextExtent(const std::string& text) const;
    BOOL GetTextMetrics(LPTEXTMETRIC metrics) const;
    BOOL GetOutputTextMetrics(LPTEXTMETRIC metrics) const;
    // The name of the face the selected font resolved to; returns its length.
    int GetTextFace(int count, LPTSTR faceName) const;

protected:
    gdi::CDeviceContext* Out() const;
    gdi::CDeviceContext* Attrib() const;

private:
    bool m_bOwnsDC = false;
};

// The platform's free text measuring function (logical units of the context).
BOOL GetTextExtentPoint32(HDC dc, LPCSTR text, int count, SIZE* size);
