#include "platform/gdi/CFont.h"

#include "platform/gdi/CDC.h"

#include <cstdlib>
#include <cstring>

CFont::~CFont() { DeleteObject(); }

BOOL CFont::CreateFont(int height, int width, int escapement, int orientation, int weight, BYTE italic,
                       BYTE underline, BYTE strikeOut, BYTE charSet, BYTE outPrecision, BYTE clipPrecision,
                       BYTE quality, BYTE pitchAndFamily, LPCTSTR faceName) {
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = italic;
    lf.lfUnderline = underline;
    lf.lfStrikeOut = strikeOut;
    lf.lfCharSet = charSet;
    lf.lfOutPrecision = outPrecision;
    lf.lfClipPrecision = clipPrecision;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = pitchAndFamily;
    if (faceName != nullptr) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreateFontIndirect(&lf);
}

BOOL CFont::CreateFontIndirect(const LOGFONT* logFont) {
    if (logFont == nullptr || m_hObject != nullptr) return FALSE;
    m_logFont = *logFont;
    m_logFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    AttachSelf();
    return TRUE;
}

BOOL CFont::CreatePointFont(int pointSize, LPCTSTR faceName, CDC* dc) {
    LOGFONT lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = pointSize;
    if (faceName != nullptr) std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
    return CreatePointFontIndirect(&lf, dc);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* logFont, CDC* dc) {
    if (logFont == nullptr) return FALSE;
    LOGFONT lf = *logFont;
    // Tenths of a point to device pixels (integer division, as the framework does), then to the
    // context's logical units, measured from the logical origin.
    const int dpi = dc != nullptr ? dc->GetDeviceCaps(LOGPIXELSY) : 96;
    POINT pt{0, static_cast<LONG>(static_cast<long long>(dpi) * lf.lfHeight / 720)};
    POINT org{0, 0};
    if (dc != nullptr) {
        dc->DPtoLP(&pt);
        dc->DPtoLP(&org);
    }
    lf.lfHeight = -std::abs(pt.y - org.y);
    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONT* logFont) const {
    const LOGFONT* d = GetData();
    if (d == nullptr || logFont == nullptr) return 0;
    *logFont = *d;
    return sizeof(LOGFONT);
}

const LOGFONT* CFont::GetData() const {
    const CFont* o = static_cast<const CFont*>(DataObject(OBJ_FONT));
    return o == nullptr ? nullptr : &o->m_logFont;
}
