#pragma once
// A logical font: the LOGFONT request, held inline. The face is found and rasterised by the
// context that draws with it, at that context's mapping.
#include "platform/gdi/GdiTypes.h"

class CDC;

class CFont : public CGdiObject {
public:
    CFont() : CGdiObject(OBJ_FONT) {}
    ~CFont() override;

    operator HFONT() const { return reinterpret_cast<HFONT>(m_hObject); }

    BOOL CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                    BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                    BYTE quality, BYTE pitchAndFamily, LPCTSTR faceName);
    BOOL CreateFontIndirect(const LOGFONT* logFont);
    // A font of pointSize tenths of a point for the context (the screen when null): the height
    // becomes -|LOGPIXELSY * pointSize / 720| device pixels, converted to the context's logical units.
    BOOL CreatePointFont(int pointSize, LPCTSTR faceName, CDC* dc = nullptr);
    BOOL CreatePointFontIndirect(const LOGFONT* logFont, CDC* dc = nullptr);
    int GetLogFont(LOGFONT* logFont) const;

    static CFont* FromHandle(HFONT h) { return static_cast<CFont*>(CGdiObject::FromHandle(h)); }

    // The request of the font this object refers to; null without one.
    const LOGFONT* GetData() const;

private:
    LOGFONT m_logFont{};
};
