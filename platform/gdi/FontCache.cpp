#include "platform/gdi/FontCache.h"

#include "platform/base/Saturate.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace gdi {

struct FontFace {
    FT_Face ft = nullptr;
    // The same file opened for measuring: advances come from the full (classic bytecode) hinting
    // at the size, as the platform's rasteriser widens and narrows its glyphs.
    FT_Face hinted = nullptr;
    // Hinted advances by (x ppem << 32 | y ppem), -1 where not measured yet.
    std::unordered_map<uint64_t, std::array<int32_t, 256>> advances;
    std::string family;
    double unitsPerEm = 2048;
    double winAscent = 0, winDescent = 0;  // design units
    double lineGap = 0;
    double avgWidth = 0, maxAdvance = 0;
    double underlinePos = 0, underlineThickness = 0;
    double strikePos = 0, strikeThickness = 0;
    bool fixedPitch = false;
};

namespace {

constexpr double kOutlineThreshold = 400.0;   // pixels per em beyond which glyphs are outlines
constexpr size_t kGlyphCacheLimit = 32u << 20;

std::mutex& Lock() {
    static std::mutex m;
    return m;
}

// ANSI code page bytes to Unicode (the 0x80..0x9F block differs from Latin-1).
uint32_t AnsiToUnicode(unsigned char c) {
    static const uint16_t k80[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                     0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    if (c >= 0x80 && c < 0xA0) return k80[c - 0x80];
    return c;
}

std::string Lower(const char* s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return r;
}

// The family to ask fontconfig for: the platform's classic faces go to their metric-compatible
// Liberation faces; an empty name is chosen by the pitch and family bits.
std::string FamilyFor(const LOGFONT& lf) {
    const std::string name = Lower(lf.lfFaceName);
    if (name == "times new roman" || name == "times" || name == "ms serif") return "Liberation Serif";
    if (name == "arial" || name == "helvetica" || name == "ms sans serif" || name == "microsoft sans serif" ||
        name == "ms shell dlg" || name == "ms shell dlg 2" || name == "system" || name == "tahoma")
        return "Liberation Sans";
    if (name == "courier new" || name == "courier" || name == "fixedsys" || name == "terminal")
        return "Liberation Mono";
    if (!name.empty()) return lf.lfFaceName;
    const int family = lf.lfPitchAndFamily & 0xF0;
    if ((lf.lfPitchAndFamily & 0x03) == FIXED_PITCH || family == FF_MODERN) return "Liberation Mono";
    if (family == FF_ROMAN) return "Liberation Serif";
    return "Liberation Sans";
}

class CFaceTable {
public:
    ~CFaceTable() = delete;  // lives for the whole run (static teardown order is not ours)

    static CFaceTable& Instance() {
        static CFaceTable* table = new CFaceTable();
        return *table;
    }

    const FontFace* Find(const std::string& family, bool bold, bool italic) {
        const std::string key = family + (bold ? "|b" : "|r") + (italic ? "i" : "");
        auto it = m_faces.find(key);
        if (it != m_faces.end()) return it->second.get();
        std::unique_ptr<FontFace> face = Open(family, bold, italic);
        const FontFace* result = face.get();
        m_faces.emplace(key, std::move(face));
        return result;
    }

private:
    CFaceTable() {
        if (FT_Init_FreeType(&m_library) != 0) m_library = nullptr;
        // Measuring uses a library of its own running the classic (v35) interpreter, whose
        // horizontal hinting moves advances; the drawing library keeps its glyph rendering.
        if (FT_Init_FreeType(&m_measureLibrary) == 0) {
            FT_UInt version = TT_INTERPRETER_VERSION_35;
            FT_Property_Set(m_measureLibrary, "truetype", "interpreter-version", &version);
        } else {
            m_measureLibrary = nullptr;
        }
        // fontconfig keeps parts of its configuration only it can free; hand them back at exit so
        // leak checkers see a clean run.
        if (FcInit()) std::atexit(FcFini);
    }

    std::unique_ptr<FontFace> Open(const std::string& family, bool bold, bool italic) {
        if (m_library == nullptr) return nullptr;
        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        if (match == nullptr) return nullptr;
        FcChar8* file = nullptr;
        int index = 0;
        FcChar8* matchedFamily = nullptr;
        std::unique_ptr<FontFace> face;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
            FT_Face ft = nullptr;
            if (FT_New_Face(m_library, reinterpret_cast<const char*>(file), index, &ft) == 0) {
                face = std::make_unique<FontFace>();
                face->ft = ft;
                if (FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch)
                    face->family = reinterpret_cast<const char*>(matchedFamily);
                FT_Select_Charmap(ft, FT_ENCODING_UNICODE);
                ReadMetrics(*face);
                if (m_measureLibrary != nullptr &&
                    FT_New_Face(m_measureLibrary, reinterpret_cast<const char*>(file), index, &face->hinted) != 0)
                    face->hinted = nullptr;
            }
        }
        FcPatternDestroy(match);
        return face;
    }

    static void ReadMetrics(FontFace& f) {
        FT_Face ft = f.ft;
        f.unitsPerEm = ft->units_per_EM > 0 ? ft->units_per_EM : 2048;
        f.maxAdvance = ft->max_advance_width;
        f.underlinePos = -ft->underline_position;
        f.underlineThickness = ft->underline_thickness;
        f.fixedPitch = FT_IS_FIXED_WIDTH(ft);
        const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(ft, FT_SFNT_OS2));
        const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(ft, FT_SFNT_HHEA));
        if (os2 != nullptr && os2->version != 0xFFFF) {
            f.winAscent = os2->usWinAscent;
            f.winDescent = os2->usWinDescent;
            f.avgWidth = os2->xAvgCharWidth;
            f.strikePos = os2->yStrikeoutPosition;
            f.strikeThickness = os2->yStrikeoutSize;
        } else {
            f.winAscent = ft->ascender;
            f.winDescent = -ft->descender;
            f.avgWidth = ft->max_advance_width / 2.0;
            f.strikePos = f.unitsPerEm * 0.25;
            f.strikeThickness = f.underlineThickness;
        }
        if (hhea != nullptr) {
            const double hheaHeight = hhea->Ascender - hhea->Descender + hhea->Line_Gap;
            f.lineGap = std::max(0.0, hheaHeight - (f.winAscent + f.winDescent));
        }
        if (f.winAscent + f.winDescent <= 0) {
            f.winAscent = f.unitsPerEm * 0.9;
            f.winDescent = f.unitsPerEm * 0.2;
        }
    }

    FT_Library m_library = nullptr;
    FT_Library m_measureLibrary = nullptr;
    std::map<std::string, std::unique_ptr<FontFace>> m_faces;
};

struct GlyphKey {
    const FontFace* face;
    unsigned glyph;
    int64_t em64;      // pixels per em in 1/64
    int64_t x1024;     // stretch in 1/1024
    int64_t angleMil;  // angle in millionths of a radian
    bool mono;
    bool operator==(const GlyphKey& o) const {
        return face == o.face && glyph == o.glyph && em64 == o.em64 && x1024 == o.x1024 && angleMil == o.angleMil &&
               mono == o.mono;
    }
};

struct GlyphKeyHash {
    size_t operator()(const GlyphKey& k) const {
        size_t h = std::hash<const void*>()(k.face);
        auto mix = [&h](uint64_t v) { h ^= std::hash<uint64_t>()(v) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2); };
        mix(k.glyph);
        mix(static_cast<uint64_t>(k.em64));
        mix(static_cast<uint64_t>(k.x1024));
        mix(static_cast<uint64_t>(k.angleMil));
        mix(k.mono);
        return h;
    }
};

struct GlyphCache {
    std::unordered_map<GlyphKey, std::unique_ptr<GlyphBitmap>, GlyphKeyHash> map;
    size_t bytes = 0;
};

GlyphCache& Glyphs() {
    static GlyphCache* cache = new GlyphCache();
    return *cache;
}

unsigned GlyphIndex(const FontFace* face, unsigned char ch) {
    return FT_Get_Char_Index(face->ft, AnsiToUnicode(ch));
}

long Round(double v) { return static_cast<long>(TruncateToInt(std::floor(v + 0.5))); }

// A metric in whole pixels, capped so that sums of two metrics stay within int.
int Metric(double v) { return static_cast<int>(std::clamp(std::floor(v + 0.5), -1e9, 1e9)); }

}  // namespace

RealizedFont RealizeFont(const LOGFONT& lf, double scaleX, double scaleY) {
    RealizedFont rf;
    rf.weight = lf.lfWeight == 0 ? FW_NORMAL : lf.lfWeight;
    rf.italic = lf.lfItalic != 0;
    rf.underline = lf.lfUnderline != 0;
    rf.strikeOut = lf.lfStrikeOut != 0;
    rf.charSet = lf.lfCharSet;
    rf.mono = lf.lfQuality == DRAFT_QUALITY || lf.lfQuality == NONANTIALIASED_QUALITY;
    {
        std::lock_guard<std::mutex> g(Lock());
        rf.face = CFaceTable::Instance().Find(FamilyFor(lf), rf.weight >= FW_SEMIBOLD, rf.italic);
    }
    const double sy = std::fabs(scaleY), sx = std::fabs(scaleX);
    double upem = 2048, asc = 1854, desc = 434, avg = 1000, maxAdv = 2000, gap = 0;
    if (rf.face != nullptr) {
        upem = rf.face->unitsPerEm;
        asc = rf.face->winAscent;
        desc = rf.face->winDescent;
        avg = rf.face->avgWidth;
        maxAdv = rf.face->maxAdvance;
        gap = rf.face->lineGap;
        rf.family = rf.face->family;
        rf.pitchAndFamily = static_cast<BYTE>((rf.face->fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR |
                                              TMPF_TRUETYPE | (lf.lfPitchAndFamily & 0xF0));
    }
    // Negative heights ask for the em, positive ones for the whole cell (ascent + descent).
    const double h = std::fabs(static_cast<double>(lf.lfHeight)) * sy;
    if (lf.lfHeight < 0) {
        rf.emPx = h;
    } else if (lf.lfHeight > 0) {
        rf.emPx = h * upem / (asc + desc);
    } else {
        rf.emPx = 16.0 * upem / (asc + desc);
    }
    // Faces are realised at whole pixels per em, as hinting needs: a 16-pixel cell of the sans
    // face is a 14-pixel em (14.32 exactly), ascent 13 and descent 3.
    rf.emPx = std::floor(rf.emPx + 0.5);
    const double scale = rf.emPx / upem;
    rf.ascent = Metric(asc * scale);
    rf.descent = Metric(desc * scale);
    rf.internalLeading = std::max(0, rf.ascent + rf.descent - Metric(rf.emPx));
    rf.externalLeading = Metric(gap * scale);
    const double naturalAvg = avg * scale;
    if (lf.lfWidth != 0 && naturalAvg > 0) {
        rf.xScale = std::fabs(static_cast<double>(lf.lfWidth)) * sx / naturalAvg;
    }
    rf.aveCharWidth = Metric(naturalAvg * rf.xScale);
    rf.maxCharWidth = Metric(maxAdv * scale * rf.xScale);
    if (rf.face != nullptr) {
        rf.underlinePos = rf.face->underlinePos * scale;
        rf.underlineThickness = std::max(1.0, std::floor(rf.face->underlineThickness * scale + 0.5));
        rf.strikePos = rf.face->strikePos * scale;
        rf.strikeThickness = std::max(1.0, std::floor(rf.face->strikeThickness * scale + 0.5));
    }
    // The escapement turns the baseline in logical space, from +x toward -y; a mapping that flips
    // an axis mirrors that turn on the device (the glyphs themselves are never mirrored).
    const double e = static_cast<double>(lf.lfEscapement) * M_PI / 1800.0;
    const double dx = std::cos(e) * (scaleX < 0 ? -1 : 1);
    const double dy = -std::sin(e) * (scaleY < 0 ? -1 : 1);
    rf.angle = std::atan2(-dy, dx);
    return rf;
}

int CharAdvance(const RealizedFont& font, unsigned char ch) {
    if (font.face == nullptr) return static_cast<int>(Round(font.emPx * 0.5 * font.xScale));
    std::lock_guard<std::mutex> g(Lock());
    auto* face = const_cast<FontFace*>(font.face);
    const unsigned gi = GlyphIndex(face, ch);
    const double xppem = std::floor(font.emPx * font.xScale + 0.5);
    // The hinted advance at the size (a stretched font hints at its own x size); huge sizes,
    // drawn as outlines, gain nothing from hinting and take the design advance.
    if (face->hinted != nullptr && font.emPx >= 1 && xppem >= 1 && font.emPx <= kOutlineThreshold &&
        xppem <= kOutlineThreshold) {
        const uint64_t key = (static_cast<uint64_t>(xppem) << 32) | static_cast<uint64_t>(font.emPx);
        auto it = face->advances.find(key);
        if (it == face->advances.end()) {
            if (face->advances.size() >= 256) face->advances.clear();
            it = face->advances.emplace(key, std::array<int32_t, 256>{}).first;
            it->second.fill(-1);
        }
        int32_t& cached = it->second[ch];
        if (cached < 0 && FT_Set_Pixel_Sizes(face->hinted, static_cast<FT_UInt>(xppem),
                                             static_cast<FT_UInt>(font.emPx)) == 0 &&
            FT_Load_Glyph(face->hinted, gi, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0) {
            cached = static_cast<int32_t>((face->hinted->glyph->advance.x + 32) >> 6);
        }
        if (cached >= 0) return cached;
    }
    FT_Fixed advance = 0;
    if (FT_Get_Advance(face->ft, gi, FT_LOAD_NO_SCALE, &advance) != 0) return 0;
    return static_cast<int>(Round(static_cast<double>(advance) * font.emPx / face->unitsPerEm * font.xScale));
}

bool UsesOutlines(const RealizedFont& font) {
    return font.emPx * std::max(1.0, font.xScale) > kOutlineThreshold;
}

const GlyphBitmap* GetGlyphBitmap(const RealizedFont& font, unsigned char ch) {
    if (font.face == nullptr || font.emPx < 1.0 || UsesOutlines(font)) return nullptr;
    std::lock_guard<std::mutex> g(Lock());
    GlyphCache& cache = Glyphs();
    const unsigned gi = GlyphIndex(font.face, ch);
    const GlyphKey key{font.face, gi, static_cast<int64_t>(std::llround(font.emPx * 64)),
                       static_cast<int64_t>(std::llround(font.xScale * 1024)),
                       static_cast<int64_t>(std::llround(font.angle * 1e6)), font.mono};
    auto it = cache.map.find(key);
    if (it != cache.map.end()) return it->second.get();
    if (cache.bytes > kGlyphCacheLimit) {
        cache.map.clear();
        cache.bytes = 0;
    }
    FT_Face ft = font.face->ft;
    auto glyph = std::make_unique<GlyphBitmap>();
    const FT_F26Dot6 size = static_cast<FT_F26Dot6>(std::llround(font.emPx * 64));
    if (FT_Set_Char_Size(ft, 0, size, 72, 72) == 0) {
        FT_Matrix m;
        const double c = std::cos(font.angle), s = std::sin(font.angle);
        // Stretch along the baseline, then turn (FreeType's y axis points up).
        m.xx = static_cast<FT_Fixed>(std::llround(c * font.xScale * 65536));
        m.xy = static_cast<FT_Fixed>(std::llround(-s * 65536));
        m.yx = static_cast<FT_Fixed>(std::llround(s * font.xScale * 65536));
        m.yy = static_cast<FT_Fixed>(std::llround(c * 65536));
        FT_Vector delta{0, 0};
        FT_Set_Transform(ft, &m, &delta);
        const bool plain = font.angle == 0 && font.xScale == 1.0;
        FT_Int32 flags = FT_LOAD_NO_BITMAP;
        if (font.mono) flags |= plain ? FT_LOAD_TARGET_MONO : (FT_LOAD_NO_HINTING | FT_LOAD_MONOCHROME);
        else flags |= plain ? FT_LOAD_TARGET_LIGHT : FT_LOAD_NO_HINTING;
        if (FT_Load_Glyph(ft, gi, flags) == 0 &&
            FT_Render_Glyph(ft->glyph, font.mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) == 0) {
            const FT_Bitmap& b = ft->glyph->bitmap;
            glyph->left = ft->glyph->bitmap_left;
            glyph->top = ft->glyph->bitmap_top;
            glyph->width = static_cast<int>(b.width);
            glyph->height = static_cast<int>(b.rows);
            glyph->coverage.resize(static_cast<size_t>(glyph->width) * glyph->height);
            for (int y = 0; y < glyph->height; ++y) {
                const unsigned char* row = b.buffer + static_cast<ptrdiff_t>(y) * b.pitch;
                for (int x = 0; x < glyph->width; ++x) {
                    uint8_t v;
                    if (b.pixel_mode == FT_PIXEL_MODE_MONO) v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
                    else v = row[x];
                    glyph->coverage[static_cast<size_t>(y) * glyph->width + x] = v;
                }
            }
        }
        FT_Set_Transform(ft, nullptr, nullptr);
    }
    cache.bytes += glyph->coverage.size() + sizeof(GlyphBitmap) + 64;
    const GlyphBitmap* result = glyph.get();
    cache.map.emplace(key, std::move(glyph));
    return result;
}

namespace {

// Collects an outline in design units, flattening curves into a bounded number of segments.
struct OutlineSink {
    std::vector<std::vector<DPoint>>* contours;
    double unitsToPx;  // for choosing the number of segments
    DPoint last;
};

DPoint ToD(const FT_Vector* v) { return DPoint{static_cast<double>(v->x), static_cast<double>(v->y)}; }

int Segments(const OutlineSink& s, DPoint a, DPoint b, DPoint c) {
    const double len = (std::hypot(b.x - a.x, b.y - a.y) + std::hypot(c.x - b.x, c.y - b.y)) * s.unitsToPx;
    return static_cast<int>(std::clamp(std::sqrt(len / 2.0), 1.0, 64.0));
}

int MoveToCb(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    s->contours->emplace_back();
    s->last = ToD(to);
    s->contours->back().push_back(s->last);
    return 0;
}

int LineToCb(const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    s->last = ToD(to);
    s->contours->back().push_back(s->last);
    return 0;
}

int ConicToCb(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    const DPoint a = s->last, b = ToD(control), c = ToD(to);
    const int n = Segments(*s, a, b, c);
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1 - t;
        s->contours->back().push_back(
            DPoint{u * u * a.x + 2 * u * t * b.x + t * t * c.x, u * u * a.y + 2 * u * t * b.y + t * t * c.y});
    }
    s->last = c;
    return 0;
}

int CubicToCb(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    auto* s = static_cast<OutlineSink*>(user);
    const DPoint a = s->last, b = ToD(c1), c = ToD(c2), d = ToD(to);
    const int n = Segments(*s, a, b, d);
    for (int i = 1; i <= n; ++i) {
        const double t = static_cast<double>(i) / n, u = 1 - t;
        s->contours->back().push_back(
            DPoint{u * u * u * a.x + 3 * u * u * t * b.x + 3 * u * t * t * c.x + t * t * t * d.x,
                   u * u * u * a.y + 3 * u * u * t * b.y + 3 * u * t * t * c.y + t * t * t * d.y});
    }
    s->last = d;
    return 0;
}

}  // namespace

void GetGlyphOutline(const RealizedFont& font, unsigned char ch, DPoint origin,
                     std::vector<std::vector<DPoint>>& contours) {
    contours.clear();
    if (font.face == nullptr) return;
    std::lock_guard<std::mutex> g(Lock());
    FT_Face ft = font.face->ft;
    const unsigned gi = GlyphIndex(font.face, ch);
    if (FT_Load_Glyph(ft, gi, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return;
    if (ft->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return;
    const double scale = font.emPx / font.face->unitsPerEm;
    OutlineSink sink{&contours, scale * std::max(1.0, font.xScale), DPoint{}};
    FT_Outline_Funcs funcs{MoveToCb, LineToCb, ConicToCb, CubicToCb, 0, 0};
    FT_Outline_Decompose(&ft->glyph->outline, &funcs, &sink);
    // Design units (y up) to the device: along the baseline and down the glyph.
    const double c = std::cos(font.angle), s = std::sin(font.angle);
    const DPoint dir{c, -s}, down{s, c};
    for (auto& contour : contours) {
        for (DPoint& p : contour) {
            const double u = p.x * scale * font.xScale, v = -p.y * scale;
            p = DPoint{origin.x + u * dir.x + v * down.x, origin.y + u * dir.y + v * down.y};
        }
    }
}

FT_FaceRec_* GetFreeTypeFace(const RealizedFont& font) { return font.face != nullptr ? font.face->ft : nullptr; }

unsigned GetGlyphIndex(const RealizedFont& font, unsigned char ch) {
    return font.face != nullptr ? GlyphIndex(font.face, ch) : 0;
}

void ClearGlyphCache() {
    std::lock_guard<std::mutex> g(Lock());
    Glyphs().map.clear();
    Glyphs().bytes = 0;
}

size_t GlyphCacheBytes() {
    std::lock_guard<std::mutex> g(Lock());
    return Glyphs().bytes;
}

}  // namespace gdi
