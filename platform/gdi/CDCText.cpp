// Text output and measuring of CDC.
#include "platform/gdi/CDC.h"

#include "platform/base/Saturate.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/FontCache.h"
#include "platform/gdi/PolygonFill.h"

#include <cmath>
#include <cstring>
#include <vector>

using gdi::CDeviceContext;
using gdi::DPoint;
using gdi::RealizedFont;

namespace {

RealizedFont Realize(const CDeviceContext& dc) {
    return gdi::RealizeFont(dc.m_state.logFont, dc.ScaleX(), dc.ScaleY());
}

// Device pixels to logical units along one axis (magnitudes).
LONG ToLogicalLength(double device, double scale) {
    return TruncateToInt(std::floor(std::fabs(device / scale) + 0.5));
}

uint32_t Blend(uint32_t dst, uint32_t src, unsigned a) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const unsigned d = (dst >> shift) & 0xFF, s = (src >> shift) & 0xFF;
        out |= ((d * (255 - a) + s * a + 127) / 255) << shift;
    }
    return out;
}

// Draws one cached glyph with its top-left relative to the pen position (rounded to a pixel).
void DrawGlyphBitmap(const gdi::RasterTarget& t, const gdi::GlyphBitmap& g, long long penX, long long penY,
                     uint32_t colour) {
    const long long x0 = penX + g.left, y0 = penY - g.top;
    for (int row = 0; row < g.height; ++row) {
        const long long y = y0 + row;
        if (y < t.clip.top || y >= t.clip.bottom) continue;
        const uint8_t* cov = g.coverage.data() + static_cast<size_t>(row) * g.width;
        for (int col = 0; col < g.width; ++col) {
            const long long x = x0 + col;
            const unsigned a = cov[col];
            if (a == 0 || x < t.clip.left || x >= t.clip.right) continue;
            uint32_t* p = t.At(static_cast<int>(x), static_cast<int>(y));
            *p = a == 255 ? colour : Blend(*p, colour, a);
        }
    }
}

std::vector<DPoint> Box(DPoint o, DPoint dir, DPoint down, double u0, double u1, double v0, double v1) {
    auto at = [&](double u, double v) { return DPoint{o.x + u * dir.x + v * down.x, o.y + u * dir.y + v * down.y}; };
    return {at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1)};
}

}  // namespace

BOOL CDC::TextOut(int x, int y, LPCTSTR text, int count) {
    return ExtTextOut(x, y, 0, nullptr, text, count < 0 ? 0u : static_cast<UINT>(count), nullptr);
}

BOOL CDC::TextOut(int x, int y, const std::string& text) {
    return TextOut(x, y, text.data(), static_cast<int>(text.size()));
}

BOOL CDC::ExtTextOut(int x, int y, UINT options, LPCRECT rect, LPCTSTR text, UINT count, const int* dx) {
    CDeviceContext* dc = Out();
    if (dc == nullptr) return FALSE;
    if (text == nullptr) count = 0;
    const gdi::DcState& st = dc->m_state;
    const RealizedFont font = Realize(*dc);
    gdi::RasterTarget t = dc->m_target;

    CRect deviceRect;
    if (rect != nullptr) {
        deviceRect = *rect;
        LPtoDP(&deviceRect);
        deviceRect.NormalizeRect();
        if (options & ETO_OPAQUE) gdi::FillDeviceRect(t, deviceRect, gdi::RopMasks{0, st.bkColor});
        if (options & ETO_CLIPPED) {
            CRect c;
            if (!c.IntersectRect(&t.clip, &deviceRect)) c.SetRectEmpty();
            t.clip = c;
        }
    }
    if (count == 0) return TRUE;

    // Advances in device pixels; given advances are logical units along the baseline.
    std::vector<double> advances(count);
    double width = 0;
    for (UINT i = 0; i < count; ++i) {
        advances[i] = dx != nullptr ? dx[i] * std::fabs(dc->ScaleX())
                                    : gdi::CharAdvance(font, static_cast<unsigned char>(text[i]));
        width += advances[i];
    }

    const bool updateCP = (st.textAlign & TA_UPDATECP) != 0;
    const POINT ref = updateCP ? static_cast<POINT>(st.penPos) : POINT{x, y};
    const CPoint p = dc->ToDevice(ref.x, ref.y);
    const double c = std::cos(font.angle), s = std::sin(font.angle);
    const DPoint dir{c, -s}, down{s, c};

    double u0 = 0;
    switch (st.textAlign & TA_CENTER) {
    case TA_CENTER: u0 = -std::floor(width / 2); break;
    case TA_RIGHT: u0 = -width; break;
    default: break;
    }
    double v0 = font.ascent;
    if ((st.textAlign & TA_BASELINE) == TA_BASELINE) v0 = 0;
    else if (st.textAlign & TA_BOTTOM) v0 = -font.descent;
    const DPoint origin{p.x + u0 * dir.x + v0 * down.x, p.y + u0 * dir.y + v0 * down.y};

    if (st.bkMode == OPAQUE && !t.IsEmpty()) {
        gdi::FillContours(t, {Box(origin, dir, down, 0, width, -font.ascent, font.descent)},
                          gdi::RopMasks{0, st.bkColor});
    }

    const uint32_t colour = st.textColor & 0x00FFFFFFu;
    const gdi::RopMasks textMasks{0, colour};
    const bool outlines = gdi::UsesOutlines(font);
    // A glyph's ink lies within this distance of its pen position (generous: italics, accents).
    const double reach = font.emPx * std::max(1.0, font.xScale) * 2 + 2;
    std::vector<std::vector<DPoint>> contours;
    double pen = 0;
    for (UINT i = 0; i < count && !t.IsEmpty(); ++i) {
        const DPoint at{origin.x + pen * dir.x, origin.y + pen * dir.y};
        pen += advances[i];
        if (at.x + reach < t.clip.left || at.x - reach > t.clip.right || at.y + reach < t.clip.top ||
            at.y - reach > t.clip.bottom)
            continue;
        const auto ch = static_cast<unsigned char>(text[i]);
        if (outlines) {
            gdi::GetGlyphOutline(font, ch, at, contours);
            gdi::FillContours(t, contours, textMasks);
        } else if (const gdi::GlyphBitmap* g = gdi::GetGlyphBitmap(font, ch)) {
            DrawGlyphBitmap(t, *g, TruncateToInt64(std::floor(at.x + 0.5)), TruncateToInt64(std::floor(at.y + 0.5)),
                            colour);
        }
    }
    if (font.underline) {
        const double v = std::floor(font.underlinePos + 0.5);
        gdi::FillContours(t, {Box(origin, dir, down, 0, width, v, v + font.underlineThickness)}, textMasks);
    }
    if (font.strikeOut) {
        const double v = -std::floor(font.strikePos + 0.5);
        gdi::FillContours(t, {Box(origin, dir, down, 0, width, v, v + font.strikeThickness)}, textMasks);
    }
    if (updateCP) {
        // The current position moves along the baseline by the text's width.
        const DPoint end{p.x + width * dir.x, p.y + width * dir.y};
        const CPoint l = dc->ToLogical(TruncateToInt(std::floor(end.x + 0.5)), TruncateToInt(std::floor(end.y + 0.5)));
        dc->m_state.penPos = l;
    }
    return TRUE;
}

CSize CDC::GetTextExtent(LPCTSTR text, int count) const {
    const CDeviceContext* dc = Attrib();
    if (dc == nullptr) return CSize();
    const RealizedFont font = Realize(*dc);
    double width = 0;
    for (int i = 0; text != nullptr && i < count; ++i) width += gdi::CharAdvance(font, static_cast<unsigned char>(text[i]));
    return CSize(ToLogicalLength(width, dc->ScaleX()), ToLogicalLength(font.ascent + font.descent, dc->ScaleY()));
}

CSize CDC::GetTextExtent(const std::string& text) const {
    return GetTextExtent(text.data(), static_cast<int>(text.size()));
}

CSize CDC::GetOutputTextExtent(LPCTSTR text, int count) const {
    const CDeviceContext* dc = Out();
    if (dc == nullptr) return CSize();
    const RealizedFont font = Realize(*dc);
    double width = 0;
    for (int i = 0; text != nullptr && i < count; ++i) width += gdi::CharAdvance(font, static_cast<unsigned char>(text[i]));
    return CSize(ToLogicalLength(width, dc->ScaleX()), ToLogicalLength(font.ascent + font.descent, dc->ScaleY()));
}

CSize CDC::GetOutputTextExtent(const std::string& text) const {
    return GetOutputTextExtent(text.data(), static_cast<int>(text.size()));
}

namespace {

BOOL FillMetrics(const CDeviceContext* dc, LPTEXTMETRIC tm) {
    if (dc == nullptr || tm == nullptr) return FALSE;
    const RealizedFont f = Realize(*dc);
    const double sx = dc->ScaleX(), sy = dc->ScaleY();
    *tm = TEXTMETRIC{};
    tm->tmAscent = ToLogicalLength(f.ascent, sy);
    tm->tmDescent = ToLogicalLength(f.descent, sy);
    tm->tmHeight = ToLogicalLength(f.ascent + f.descent, sy);
    tm->tmInternalLeading = ToLogicalLength(f.internalLeading, sy);
    tm->tmExternalLeading = ToLogicalLength(f.externalLeading, sy);
    tm->tmAveCharWidth = ToLogicalLength(f.aveCharWidth, sx);
    tm->tmMaxCharWidth = ToLogicalLength(f.maxCharWidth, sx);
    tm->tmWeight = f.weight;
    tm->tmDigitizedAspectX = dc->m_logPixelsX;
    tm->tmDigitizedAspectY = dc->m_logPixelsY;
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = static_cast<char>(0xFF);
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = f.italic ? 0xFF : 0;
    tm->tmUnderlined = f.underline ? 0xFF : 0;
    tm->tmStruckOut = f.strikeOut ? 0xFF : 0;
    tm->tmPitchAndFamily = f.pitchAndFamily;
    tm->tmCharSet = f.charSet;
    return TRUE;
}

}  // namespace

BOOL CDC::GetTextMetrics(LPTEXTMETRIC metrics) const { return FillMetrics(Attrib(), metrics); }

BOOL CDC::GetOutputTextMetrics(LPTEXTMETRIC metrics) const { return FillMetrics(Out(), metrics); }

int CDC::GetTextFace(int count, LPTSTR faceName) const {
    const CDeviceContext* dc = Attrib();
    if (dc == nullptr) return 0;
    const LOGFONT& lf = dc->m_state.logFont;
    std::string name = lf.lfFaceName[0] != '\0' ? std::string(lf.lfFaceName) : Realize(*dc).family;
    if (faceName != nullptr && count > 0) {
        std::strncpy(faceName, name.c_str(), static_cast<size_t>(count - 1));
        faceName[count - 1] = '\0';
    }
    return static_cast<int>(name.size());
}

BOOL GetTextExtentPoint32(HDC dc, LPCSTR text, int count, SIZE* size) {
    CDC* cdc = CDC::FromHandle(dc);
    if (cdc == nullptr || size == nullptr) return FALSE;
    *size = cdc->GetTextExtent(text, count);
    return TRUE;
}
