#pragma once
// Faces found through fontconfig, opened with FreeType, realised at a device size, and a cache
// of rendered glyphs. Everything here is in device pixels.
#include "platform/gdi/DeviceContext.h"

#include <cstdint>
#include <string>
#include <vector>

struct FT_FaceRec_;

namespace gdi {

struct FontFace;

// A LOGFONT realised for one device scale.
struct RealizedFont {
    const FontFace* face = nullptr;  // null when no face could be found: text measures, draws nothing
    double emPx = 0;                 // pixels per em
    double xScale = 1;               // horizontal stretch from lfWidth
    double angle = 0;                // baseline direction on the device, radians, counter-clockwise as seen
    bool mono = false;               // DRAFT / NONANTIALIASED: no grey levels
    int ascent = 0, descent = 0, internalLeading = 0, externalLeading = 0;
    int aveCharWidth = 0, maxCharWidth = 0;
    LONG weight = FW_NORMAL;
    bool italic = false, underline = false, strikeOut = false;
    BYTE pitchAndFamily = 0;
    BYTE charSet = 0;
    double underlinePos = 0, underlineThickness = 1;  // below the baseline, pixels
    double strikePos = 0, strikeThickness = 1;        // above the baseline, pixels
    std::string family;                               // the face's family name
};

// Realises lf for a mapping with the given signed scales (device pixels per logical unit).
RealizedFont RealizeFont(const LOGFONT& lf, double scaleX, double scaleY);

// The advance of a character (a byte of the ANSI code page) in whole device pixels.
int CharAdvance(const RealizedFont& font, unsigned char ch);

// A rendered glyph: coverage 0..255, top-left at (origin.x + left, origin.y - top).
struct GlyphBitmap {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;
};

// Whether glyphs of this font are drawn as clipped outlines instead of cached bitmaps
// (huge sizes: a label zoomed a thousandfold).
bool UsesOutlines(const RealizedFont& font);

// The cached bitmap of a character (null when it has no ink or cannot be rendered).
const GlyphBitmap* GetGlyphBitmap(const RealizedFont& font, unsigned char ch);

// The outline of a character as closed contours in device coordinates, the pen at origin.
void GetGlyphOutline(const RealizedFont& font, unsigned char ch, DPoint origin,
                     std::vector<std::vector<DPoint>>& contours);

// For output that draws glyphs itself (vector files): the FreeType face a realised font draws
// with (null without one; it lives as long as the program) and the glyph of a character of the
// ANSI code page in it.
FT_FaceRec_* GetFreeTypeFace(const RealizedFont& font);
unsigned GetGlyphIndex(const RealizedFont& font, unsigned char ch);

// Empties the glyph cache (tests measure its bound).
void ClearGlyphCache();
// Bytes held by the glyph cache.
size_t GlyphCacheBytes();

}  // namespace gdi
