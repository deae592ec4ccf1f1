// Recordings into Cairo: the vector form of every recorded call, PDF and SVG files.
#include "platform/gdi/CairoPlayback.h"

#include "platform/base/Saturate.h"
#include "platform/gdi/FontCache.h"
#include "platform/gdi/ShapeRaster.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <vector>

namespace gdi {

namespace {

constexpr uint32_t kPaper = 0x00FFFFFFu;

void SetColour(cairo_t* cr, uint32_t c) {
    cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
}

// The Cairo face of a FreeType face; made once and kept, as the FreeType faces are.
cairo_font_face_t* CairoFace(FT_Face face) {
    static std::map<FT_Face, cairo_font_face_t*>* faces = new std::map<FT_Face, cairo_font_face_t*>();
    auto it = faces->find(face);
    if (it != faces->end()) return it->second;
    cairo_font_face_t* made = cairo_ft_font_face_create_for_ft_face(face, FT_LOAD_NO_HINTING);
    if (cairo_font_face_status(made) != CAIRO_STATUS_SUCCESS) {
        cairo_font_face_destroy(made);
        made = nullptr;
    }
    faces->emplace(face, made);
    return made;
}

struct Vec {
    double x, y;
};

Vec Centre(CPoint p) { return Vec{p.x + 0.5, p.y + 0.5}; }

// Plays records one by one; the scratch context holds the recorded state for its mapping, pen
// and brush (the same working-out the raster context does).
class CCairoPlayer {
public:
    CCairoPlayer(const CRecording& recording, cairo_t* cr, double minWidth)
        : m_recording(recording), m_cr(cr), m_minWidth(std::max(minWidth, 1e-3)), m_dc(nullptr, false) {
        m_dc.m_logPixelsX = recording.m_dpiX;
        m_dc.m_logPixelsY = recording.m_dpiY;
    }

    // The FreeType faces text was drawn with (Cairo leaves its transform on them).
    const std::set<FT_Face>& UsedFaces() const { return m_faces; }

    void Play(const stRecord& r) {
        m_dc.m_state = m_recording.States()[r.state];
        m_dc.UpdateTools();
        cairo_save(m_cr);
        const DcState& s = m_dc.m_state;
        if (s.hasClip) {
            cairo_rectangle(m_cr, s.clipRgn.left, s.clipRgn.top, s.clipRgn.Width(), s.clipRgn.Height());
            cairo_clip(m_cr);
        }
        const std::vector<POINT>& p = r.points;
        switch (r.kind) {
        case ERecordKind::LineTo:
            if (p.size() == 2) StrokePath({D(p[0]), D(p[1])});
            break;
        case ERecordKind::Polyline: {
            std::vector<CPoint> path;
            for (const POINT& q : p) path.push_back(D(q));
            StrokePath(path);
            break;
        }
        case ERecordKind::Arc:
            if (p.size() == 4) Arc(p);
            break;
        case ERecordKind::Ellipse:
            if (p.size() == 2) Ellipse(Box(p[0], p[1]));
            break;
        case ERecordKind::Rectangle:
            if (p.size() == 2) Rectangle(Box(p[0], p[1]));
            break;
        case ERecordKind::SetPixel:
            if (p.size() == 1) FillBox(CRect(D(p[0]), CSize(1, 1)), r.colour);
            break;
        case ERecordKind::FillRect:
            FillBox(Box(POINT{r.rect.left, r.rect.top}, POINT{r.rect.right, r.rect.bottom}), r.colour);
            break;
        case ERecordKind::PatBlt:
            if (p.size() == 2) PatBlt(r);
            break;
        case ERecordKind::BitBlt:
            if (p.size() == 2) Block(r);
            break;
        case ERecordKind::ExtTextOut:
            if (p.size() == 2) Text(r);
            break;
        }
        cairo_restore(m_cr);
    }

private:
    CPoint D(POINT p) const { return m_dc.ToDevice(p.x, p.y); }

    CRect Box(POINT a, POINT b) const {
        CRect r(D(a), CSize(0, 0));
        const CPoint e = D(b);
        r.right = e.x;
        r.bottom = e.y;
        r.NormalizeRect();
        return r;
    }

    void FillBox(const CRect& box, uint32_t colour) {
        if (box.IsRectEmpty()) return;
        cairo_rectangle(m_cr, box.left, box.top, box.Width(), box.Height());
        SetColour(m_cr, colour);
        cairo_fill(m_cr);
    }

    double ThinWidth() const { return std::max(1.0, m_minWidth); }

    // A one-pixel segment list: from the first pixel's near edge to just before the last pixel,
    // so the last point is left out as on the raster.
    void AddThinSegment(CPoint a, CPoint b) {
        const Vec c0 = Centre(a), c1 = Centre(b);
        const double dx = c1.x - c0.x, dy = c1.y - c0.y, len = std::hypot(dx, dy);
        const double ux = dx / len * 0.5, uy = dy / len * 0.5;
        cairo_move_to(m_cr, c0.x - ux, c0.y - uy);
        cairo_line_to(m_cr, c1.x - ux, c1.y - uy);
    }

    // Strokes a path with the selected pen.
    void StrokePath(std::vector<CPoint> path) {
        if (m_dc.m_penNull) return;
        path.erase(std::unique(path.begin(), path.end()), path.end());
        if (path.size() < 2) return;
        if (m_dc.m_penDeviceWidth > 1) {
            const double shift = (m_dc.m_penDeviceWidth % 2 == 0) ? -0.5 : 0.0;
            cairo_move_to(m_cr, path[0].x + 0.5 + shift, path[0].y + 0.5 + shift);
            for (size_t i = 1; i < path.size(); ++i) cairo_line_to(m_cr, path[i].x + 0.5 + shift, path[i].y + 0.5 + shift);
            StrokeWide();
            return;
        }
        cairo_set_line_width(m_cr, ThinWidth());
        cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_ROUND);
        const LineStyle& style = m_dc.m_penLine;
        if (style.dash == nullptr) {
            // One path, so the joins between segments are drawn as joins.
            const Vec c0 = Centre(path[0]), c1 = Centre(path[1]);
            const double len = std::hypot(c1.x - c0.x, c1.y - c0.y);
            cairo_move_to(m_cr, c0.x - (c1.x - c0.x) / len * 0.5, c0.y - (c1.y - c0.y) / len * 0.5);
            for (size_t i = 1; i + 1 < path.size(); ++i) {
                const Vec c = Centre(path[i]);
                cairo_line_to(m_cr, c.x, c.y);
            }
            const Vec e0 = Centre(path[path.size() - 2]), e1 = Centre(path.back());
            const double elen = std::hypot(e1.x - e0.x, e1.y - e0.y);
            cairo_line_to(m_cr, e1.x - (e1.x - e0.x) / elen * 0.5, e1.y - (e1.y - e0.y) / elen * 0.5);
            SetColour(m_cr, style.on.Apply(kPaper));
            cairo_stroke(m_cr);
            return;
        }
        // Dash runs count the pixels of a segment (its major-axis steps), and carry across vertices.
        const DashPattern& d = *style.dash;
        double phase = 0;
        for (size_t i = 1; i < path.size(); ++i) {
            const CPoint a = path[i - 1], b = path[i];
            const double steps = std::max(std::abs(static_cast<double>(b.x) - a.x), std::abs(static_cast<double>(b.y) - a.y));
            const double factor = std::hypot(static_cast<double>(b.x) - a.x, static_cast<double>(b.y) - a.y) / steps;
            AddThinSegment(a, b);
            if (style.paintOff) {
                cairo_set_dash(m_cr, nullptr, 0, 0);
                SetColour(m_cr, style.off.Apply(kPaper));
                cairo_stroke_preserve(m_cr);
            }
            double runs[6];
            for (int k = 0; k < d.count; ++k) runs[k] = d.runs[k] * factor;
            cairo_set_dash(m_cr, runs, d.count, std::fmod(phase, d.total) * factor);
            SetColour(m_cr, style.on.Apply(kPaper));
            cairo_stroke(m_cr);
            phase += steps;
        }
    }

    void StrokeWide() {
        cairo_set_line_width(m_cr, m_dc.m_penDeviceWidth);
        cairo_set_line_cap(m_cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_ROUND);
        SetColour(m_cr, m_dc.m_penMasks.Apply(kPaper));
        cairo_stroke(m_cr);
    }

    // Strokes the current path as an outline with the pen (one pixel or wide), keeping the path.
    void StrokeOutline() {
        if (m_dc.m_penDeviceWidth > 1) {
            StrokeWide();
            return;
        }
        cairo_set_line_width(m_cr, ThinWidth());
        cairo_set_line_join(m_cr, CAIRO_LINE_JOIN_MITER);
        const LineStyle& style = m_dc.m_penLine;
        if (style.dash != nullptr) {
            if (style.paintOff) {
                SetColour(m_cr, style.off.Apply(kPaper));
                cairo_stroke_preserve(m_cr);
            }
            double runs[6];
            for (int k = 0; k < style.dash->count; ++k) runs[k] = style.dash->runs[k];
            cairo_set_dash(m_cr, runs, style.dash->count, 0);
        }
        SetColour(m_cr, style.on.Apply(kPaper));
        cairo_stroke(m_cr);
    }

    void FillCurrent(bool preserve) {
        SetColour(m_cr, m_dc.m_brushMasks.Apply(kPaper));
        if (preserve) cairo_fill_preserve(m_cr);
        else cairo_fill(m_cr);
    }

    void Rectangle(const CRect& box) {
        if (box.IsRectEmpty()) return;
        if (m_dc.m_penNull) {
            // Without an outline the brush covers one pixel less to the right and bottom.
            if (!m_dc.m_brushNull) FillBox(CRect(box.left, box.top, box.right - 1, box.bottom - 1), m_dc.m_brushMasks.Apply(kPaper));
            return;
        }
        if (box.Width() == 1 && box.Height() == 1) return;  // a one-pixel box has no outline to draw
        const double shift = m_dc.m_penDeviceWidth > 1 && m_dc.m_penDeviceWidth % 2 == 0 ? -0.5 : 0.0;
        const double l = box.left + 0.5 + shift, t = box.top + 0.5 + shift;
        const double w = box.Width() - 1.0, h = box.Height() - 1.0;
        if (w <= 0 || h <= 0) {
            FillBox(box, m_dc.m_penLine.on.Apply(kPaper));
            return;
        }
        cairo_rectangle(m_cr, l, t, w, h);
        if (!m_dc.m_brushNull) FillCurrent(true);
        StrokeOutline();
    }

    void EllipsePath(const CEllipseRows& rows, double grow, double shift) {
        const double a = rows.SemiX() + grow, b = rows.SemiY() + grow;
        if (a <= 0 || b <= 0) return;
        cairo_save(m_cr);
        cairo_translate(m_cr, rows.CentreX() + 0.5 + shift, rows.CentreY() + 0.5 + shift);
        cairo_scale(m_cr, a, b);
        cairo_new_sub_path(m_cr);
        cairo_arc(m_cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_close_path(m_cr);
        cairo_restore(m_cr);
    }

    void Ellipse(CRect box) {
        if (box.IsRectEmpty()) return;
        if (m_dc.m_penNull) {
            // Unlike a rectangle's, a null-pen ellipse's brush covers the whole box.
            if (m_dc.m_brushNull) return;
            EllipsePath(CEllipseRows(box), 0.5, 0);
            FillCurrent(false);
            return;
        }
        if (box.Width() == 1 && box.Height() == 1) return;  // a one-pixel box has no outline to draw
        const CEllipseRows rows(box);
        const double shift = m_dc.m_penDeviceWidth > 1 && m_dc.m_penDeviceWidth % 2 == 0 ? -0.5 : 0.0;
        EllipsePath(rows, 0, shift);
        if (!m_dc.m_brushNull) FillCurrent(true);
        StrokeOutline();
    }

    void Arc(const std::vector<POINT>& p) {
        const CRect box = Box(p[0], p[1]);
        if (box.IsRectEmpty() || m_dc.m_penNull) return;
        const CEllipseRows rows(box);
        const CPoint s = D(p[2]), e = D(p[3]);
        // Angles of the rays as seen (counter-clockwise on a y-down device), then the ellipse's
        // parameter at each, as the raster arc works them out.
        // The rays start at the box's integer centre; each is taken to where it meets the ellipse.
        const double ox = box.left + box.Width() / 2, oy = box.top + box.Height() / 2;
        auto angle = [&](CPoint q) {
            double a = std::atan2(-(q.y - oy), q.x - ox);
            return a < 0 ? a + 2 * M_PI : a;
        };
        const double a0 = angle(s);
        double sweep = angle(e) - a0;
        while (sweep <= 1e-12) sweep += 2 * M_PI;
        const double sa = std::max(rows.SemiX(), 1e-9), sb = std::max(rows.SemiY(), 1e-9);
        auto param = [&](double t) {
            const double dx = std::cos(t), dy = -std::sin(t);
            const double px = (ox - rows.CentreX()) / sa, py = (oy - rows.CentreY()) / sb;
            const double qa = dx * dx / (sa * sa) + dy * dy / (sb * sb), qb = 2 * (px * dx / sa + py * dy / sb);
            const double qc = px * px + py * py - 1;
            const double k = (-qb + std::sqrt(std::max(0.0, qb * qb - 4 * qa * qc))) / (2 * qa);
            return std::atan2(-(py + k * dy / sb), px + k * dx / sa);
        };
        const double p0 = param(a0);
        double psweep = param(a0 + sweep) - p0;
        while (psweep <= 1e-12) psweep += 2 * M_PI;
        if (sweep >= 2 * M_PI - 1e-12) psweep = 2 * M_PI;
        const double shift = m_dc.m_penDeviceWidth > 1 && m_dc.m_penDeviceWidth % 2 == 0 ? -0.5 : 0.0;
        cairo_save(m_cr);
        cairo_translate(m_cr, rows.CentreX() + 0.5 + shift, rows.CentreY() + 0.5 + shift);
        cairo_scale(m_cr, sa, sb);
        // Counter-clockwise as seen on a y-down device is the negative direction in Cairo.
        cairo_arc_negative(m_cr, 0, 0, 1, -p0, -p0 - psweep);
        cairo_restore(m_cr);
        StrokeOutline();
    }

    void PatBlt(const stRecord& r) {
        const uint8_t rop = Rop3Index(r.rop);
        const LOGBRUSH& b = m_dc.m_state.logBrush;
        if (Rop3UsesPattern(rop) && b.lbStyle == BS_NULL) return;
        const uint32_t pattern = b.lbColor & 0x00FFFFFFu;
        // An operation that leaves the paper as it is draws nothing.
        if (ApplyRop3(rop, pattern, 0, 0) == 0 && ApplyRop3(rop, pattern, 0, kPaper) == kPaper) return;
        const POINT end{SaturatingAdd(r.points[0].x, r.points[1].x), SaturatingAdd(r.points[0].y, r.points[1].y)};
        FillBox(Box(r.points[0], end), ApplyRop3(rop, pattern, 0, kPaper));
    }

    void Block(const stRecord& r) {
        if (r.imageWidth <= 0 || r.imageHeight <= 0) return;
        const POINT end{SaturatingAdd(r.points[0].x, r.points[1].x), SaturatingAdd(r.points[0].y, r.points[1].y)};
        const CRect box = Box(r.points[0], end);
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, r.imageWidth, r.imageHeight);
        if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
            cairo_surface_destroy(image);
            return;
        }
        cairo_surface_flush(image);
        unsigned char* data = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        const uint8_t rop = Rop3Index(r.rop);
        const uint32_t pattern = m_dc.m_state.logBrush.lbColor & 0x00FFFFFFu;
        for (int y = 0; y < r.imageHeight; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
            for (int x = 0; x < r.imageWidth; ++x) {
                const uint32_t src = r.image[static_cast<size_t>(y) * r.imageWidth + x];
                if (src == kNoSourcePixel) {
                    row[x] = 0;
                    continue;
                }
                const uint32_t c = rop == 0xCC ? src : ApplyRop3(rop, pattern, src, kPaper);
                row[x] = 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
            }
        }
        cairo_surface_mark_dirty(image);
        cairo_set_source_surface(m_cr, image, box.left, box.top);
        cairo_pattern_set_filter(cairo_get_source(m_cr), CAIRO_FILTER_NEAREST);
        cairo_rectangle(m_cr, box.left, box.top, r.imageWidth, r.imageHeight);
        cairo_fill(m_cr);
        cairo_surface_destroy(image);
    }

    // A quadrilateral in the text's own frame: along the baseline u0..u1, across it v0..v1.
    void TextBox(Vec o, Vec dir, Vec down, double u0, double u1, double v0, double v1) {
        auto at = [&](double u, double v) { return Vec{o.x + u * dir.x + v * down.x, o.y + u * dir.y + v * down.y}; };
        const Vec a = at(u0, v0), b = at(u1, v0), c = at(u1, v1), d = at(u0, v1);
        cairo_move_to(m_cr, a.x, a.y);
        cairo_line_to(m_cr, b.x, b.y);
        cairo_line_to(m_cr, c.x, c.y);
        cairo_line_to(m_cr, d.x, d.y);
        cairo_close_path(m_cr);
        cairo_fill(m_cr);
    }

    // The raster text layout (alignment in the text's rotated frame, advances rounded per
    // character) with the glyphs as outlines of the same face.
    void Text(const stRecord& r) {
        const DcState& st = m_dc.m_state;
        const RealizedFont font = RealizeFont(st.logFont, m_dc.ScaleX(), m_dc.ScaleY());
        if (r.hasRect) {
            const CRect box = Box(POINT{r.rect.left, r.rect.top}, POINT{r.rect.right, r.rect.bottom});
            if (r.options & ETO_OPAQUE) FillBox(box, st.bkColor);
            if (r.options & ETO_CLIPPED) {
                cairo_rectangle(m_cr, box.left, box.top, box.Width(), box.Height());
                cairo_clip(m_cr);
            }
        }
        const size_t count = r.text.size();
        if (count == 0) return;
        std::vector<double> advances(count);
        double width = 0;
        for (size_t i = 0; i < count; ++i) {
            advances[i] = !r.dx.empty() ? r.dx[i] * std::fabs(m_dc.ScaleX())
                                        : CharAdvance(font, static_cast<unsigned char>(r.text[i]));
            width += advances[i];
        }
        const bool updateCP = (st.textAlign & TA_UPDATECP) != 0;
        const CPoint p = D(updateCP ? r.points[1] : r.points[0]);
        const double c = std::cos(font.angle), s = std::sin(font.angle);
        const Vec dir{c, -s}, down{s, c};
        double u0 = 0;
        switch (st.textAlign & TA_CENTER) {
        case TA_CENTER: u0 = -std::floor(width / 2); break;
        case TA_RIGHT: u0 = -width; break;
        default: break;
        }
        double v0 = font.ascent;
        if ((st.textAlign & TA_BASELINE) == TA_BASELINE) v0 = 0;
        else if (st.textAlign & TA_BOTTOM) v0 = -font.descent;
        const Vec origin{p.x + u0 * dir.x + v0 * down.x, p.y + u0 * dir.y + v0 * down.y};

        if (st.bkMode == OPAQUE) {
            SetColour(m_cr, st.bkColor);
            TextBox(origin, dir, down, 0, width, -font.ascent, font.descent);
        }
        FT_Face ft = GetFreeTypeFace(font);
        cairo_font_face_t* face = ft != nullptr ? CairoFace(ft) : nullptr;
        SetColour(m_cr, st.textColor & 0x00FFFFFFu);
        if (face != nullptr && font.emPx > 0) {
            m_faces.insert(ft);
            cairo_set_font_face(m_cr, face);
            cairo_matrix_t m;
            // The glyphs are stretched along their own axes first, then turned with the baseline.
            cairo_matrix_init_rotate(&m, -font.angle);
            cairo_matrix_scale(&m, font.emPx * font.xScale, font.emPx);
            cairo_set_font_matrix(m_cr, &m);
            cairo_font_options_t* options = cairo_font_options_create();
            cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
            cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
            cairo_set_font_options(m_cr, options);
            cairo_font_options_destroy(options);
            // The raster puts cached glyphs at whole pixels; outlines of huge glyphs are exact.
            const bool snap = !UsesOutlines(font);
            std::vector<cairo_glyph_t> glyphs;
            glyphs.reserve(count);
            double pen = 0;
            for (size_t i = 0; i < count; ++i) {
                double x = origin.x + pen * dir.x, y = origin.y + pen * dir.y;
                pen += advances[i];
                if (snap) {
                    x = std::floor(x + 0.5);
                    y = std::floor(y + 0.5);
                }
                const unsigned index = GetGlyphIndex(font, static_cast<unsigned char>(r.text[i]));
                if (index != 0) glyphs.push_back(cairo_glyph_t{index, x, y});
            }
            if (!glyphs.empty()) cairo_show_glyphs(m_cr, glyphs.data(), static_cast<int>(glyphs.size()));
        }
        if (font.underline) {
            const double v = std::floor(font.underlinePos + 0.5);
            TextBox(origin, dir, down, 0, width, v, v + font.underlineThickness);
        }
        if (font.strikeOut) {
            const double v = -std::floor(font.strikePos + 0.5);
            TextBox(origin, dir, down, 0, width, v, v + font.strikeThickness);
        }
    }

    const CRecording& m_recording;
    cairo_t* m_cr;
    double m_minWidth;
    CDeviceContext m_dc;
    std::set<FT_Face> m_faces;
};

void PlayInto(const CRecording& recording, cairo_t* cr, double minWidth, std::set<FT_Face>* faces) {
    CCairoPlayer player(recording, cr, minWidth);
    for (const stRecord& r : recording.Records()) player.Play(r);
    if (faces != nullptr) *faces = player.UsedFaces();
}

enum class EVectorFormat { Pdf, Svg };

bool WriteVector(const CRecording& recording, const std::string& path, EVectorFormat format, std::string* error) {
    auto fail = [&](const std::string& why) {
        if (error != nullptr) *error = why;
        return false;
    };
    if (recording.m_page.cx <= 0 || recording.m_page.cy <= 0 || recording.m_dpiX <= 0 || recording.m_dpiY <= 0)
        return fail("the recording has no page");
    const double sx = 72.0 / recording.m_dpiX, sy = 72.0 / recording.m_dpiY;
    const double widthPt = recording.m_page.cx * sx, heightPt = recording.m_page.cy * sy;
    cairo_surface_t* surface = format == EVectorFormat::Pdf
                                   ? cairo_pdf_surface_create(path.c_str(), widthPt, heightPt)
                                   : cairo_svg_surface_create(path.c_str(), widthPt, heightPt);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        const std::string why = cairo_status_to_string(cairo_surface_status(surface));
        cairo_surface_destroy(surface);
        return fail(why);
    }
    if (format == EVectorFormat::Svg) cairo_svg_surface_set_document_unit(surface, CAIRO_SVG_UNIT_PT);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, sx, sy);
    std::set<FT_Face> faces;
    PlayInto(recording, cr, kMinCosmeticPenPt / sx, &faces);
    cairo_show_page(cr);
    cairo_status_t status = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_finish(surface);
    if (status == CAIRO_STATUS_SUCCESS) status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    // Cairo leaves its own transform on the faces; the raster text sets none for outlines.
    for (FT_Face f : faces) FT_Set_Transform(f, nullptr, nullptr);
    if (status != CAIRO_STATUS_SUCCESS) {
        std::remove(path.c_str());
        return fail(cairo_status_to_string(status));
    }
    return true;
}

}  // namespace

void PlayRecordingCairo(const CRecording& recording, _cairo* cr, double minCosmeticWidth) {
    std::set<FT_Face> faces;
    PlayInto(recording, cr, minCosmeticWidth, &faces);
    for (FT_Face f : faces) FT_Set_Transform(f, nullptr, nullptr);
}

bool WriteRecordingPdf(const CRecording& recording, const std::string& path, std::string* error) {
    return WriteVector(recording, path, EVectorFormat::Pdf, error);
}

bool WriteRecordingSvg(const CRecording& recording, const std::string& path, std::string* error) {
    return WriteVector(recording, path, EVectorFormat::Svg, error);
}

}  // namespace gdi
