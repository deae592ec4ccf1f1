// Random drawing calls on a small bitmap through a memory device context: lines with every pen
// style and raster operation, shapes, arcs, polylines, fills, block transfers, text, with random
// mapping modes, origins and a clip rectangle. Whatever the coordinates (int32 limits included),
// nothing crashes and no pixel outside the clip changes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"

namespace {

constexpr int kSide = 48;

// Reads the input as a stream of small numbers; past the end it gives zeros.
class CReader {
public:
    CReader(const uint8_t* bytes, size_t size) : m_bytes(bytes), m_size(size) {}
    bool AtEnd() const { return m_pos >= m_size; }
    uint8_t Byte() { return m_pos < m_size ? m_bytes[m_pos++] : 0; }
    // A coordinate: mostly near the bitmap, sometimes extreme.
    int Coord() {
        const uint8_t kind = Byte();
        if (kind < 200) return static_cast<int>(Byte()) - 100;
        if (kind < 230) return static_cast<int>(static_cast<int16_t>(Byte() << 8 | Byte()));
        int32_t v;
        const uint32_t u = static_cast<uint32_t>(Byte()) << 24 | Byte() << 16 | Byte() << 8 | Byte();
        std::memcpy(&v, &u, sizeof v);
        return v;
    }
    COLORREF Colour() { return RGB(Byte(), Byte(), Byte()); }

private:
    const uint8_t* m_bytes;
    size_t m_size;
    size_t m_pos = 0;
};

void Finding(const char* what) {
    std::fprintf(stderr, "fuzz finding: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    CReader in(bytes, size);
    CBitmap bitmap;
    if (!bitmap.CreateBitmap(kSide, kSide, 1, 32, nullptr)) Finding("cannot make the bitmap");
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr)) Finding("cannot make the context");
    CBitmap* previous = dc.SelectObject(&bitmap);
    const COLORREF background = in.Colour();
    dc.FillSolidRect(0, 0, kSide, kSide, background);

    // The clip, in device pixels, set before any mapping so it is known exactly.
    const int cl = in.Byte() % kSide, ct = in.Byte() % kSide;
    const int cr = cl + in.Byte() % (kSide - cl + 1), cb = ct + in.Byte() % (kSide - ct + 1);
    dc.IntersectClipRect(cl, ct, cr, cb);
    std::vector<uint32_t> before(bitmap.GetPixels(), bitmap.GetPixels() + kSide * kSide);

    CPen pens[3];
    CBrush brushes[2];
    CFont font;
    int ops = 0;
    while (!in.AtEnd() && ops++ < 64) {
        switch (in.Byte() % 20) {
        case 0: {
            CPen& pen = pens[in.Byte() % 3];
            dc.SelectStockObject(BLACK_PEN);  // a selected object is never deleted
            pen.DeleteObject();
            if (pen.CreatePen(in.Byte() % 8, in.Byte() % 12, in.Colour())) dc.SelectObject(&pen);
            break;
        }
        case 1: {
            CBrush& brush = brushes[in.Byte() % 2];
            dc.SelectStockObject(WHITE_BRUSH);
            brush.DeleteObject();
            if (brush.CreateSolidBrush(in.Colour())) dc.SelectObject(&brush);
            break;
        }
        case 2: dc.SetROP2(1 + in.Byte() % 16); break;
        case 3: dc.MoveTo(in.Coord(), in.Coord()); break;
        case 4: dc.LineTo(in.Coord(), in.Coord()); break;
        case 5: {
            POINT points[8];
            const int n = in.Byte() % 9;
            for (int i = 0; i < n; ++i) points[i] = {in.Coord(), in.Coord()};
            dc.Polyline(points, n);
            break;
        }
        case 6: dc.Rectangle(in.Coord(), in.Coord(), in.Coord(), in.Coord()); break;
        case 7: dc.Ellipse(in.Coord(), in.Coord(), in.Coord(), in.Coord()); break;
        case 8:
            dc.Arc(in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Coord(), in.Coord());
            break;
        case 9: dc.SetPixel(in.Coord(), in.Coord(), in.Colour()); break;
        case 10: {
            const CRect r(in.Coord(), in.Coord(), in.Coord(), in.Coord());
            dc.FillSolidRect(&r, in.Colour());
            break;
        }
        case 11: {
            static const DWORD kRops[] = {PATCOPY, BLACKNESS, SRCCOPY, NOTSRCCOPY};
            dc.PatBlt(in.Coord(), in.Coord(), in.Coord(), in.Coord(), kRops[in.Byte() % 4]);
            break;
        }
        case 12: dc.BitBlt(in.Coord(), in.Coord(), in.Coord(), in.Coord(), &dc, in.Coord(), in.Coord(), SRCCOPY); break;
        case 13: {
            char text[9] = {};
            const int n = in.Byte() % 9;
            for (int i = 0; i < n; ++i) text[i] = static_cast<char>(in.Byte());
            dc.TextOut(in.Coord(), in.Coord(), text, n);
            break;
        }
        case 14:
            dc.SelectStockObject(SYSTEM_FONT);
            font.DeleteObject();
            if (font.CreateFont(static_cast<int>(in.Byte()) - 64, 0, in.Coord(), 0, 400 * (in.Byte() % 3), 0, 0, 0, 0, 0,
                                0, 0, 0, "Arial"))
                dc.SelectObject(&font);
            break;
        case 15: dc.SetMapMode(1 + in.Byte() % 8); break;
        case 16: dc.SetViewportOrg(in.Coord(), in.Coord()); break;
        case 17: dc.SetWindowExt(in.Coord(), in.Coord()); dc.SetViewportExt(in.Coord(), in.Coord()); break;
        case 18: dc.SetBkMode(1 + in.Byte() % 2); dc.SetBkColor(in.Colour()); dc.SetTextColor(in.Colour()); break;
        case 19: {
            const int saved = dc.SaveDC();
            dc.SetWindowOrg(in.Coord(), in.Coord());
            dc.LineTo(in.Coord(), in.Coord());
            dc.RestoreDC(saved);
            break;
        }
        }
    }
    const uint32_t* after = bitmap.GetPixels();
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x)
            if ((x < cl || x >= cr || y < ct || y >= cb) && after[y * kSide + x] != before[y * kSide + x])
                Finding("a pixel outside the clip changed");
    dc.SelectStockObject(BLACK_PEN);
    dc.SelectStockObject(WHITE_BRUSH);
    dc.SelectStockObject(SYSTEM_FONT);
    dc.SelectObject(previous);
    return 0;
}
