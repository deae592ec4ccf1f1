// PDF and SVG output of recordings, checked on what pdftoppm and rsvg-convert render.
#include "GdiTestUtil.h"
#include "VectorRenderUtil.h"

#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CMetaFileDC.h"
#include "platform/gdi/CPrinterDC.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/gdi/CairoPlayback.h"

#include <fstream>
#include <iterator>

namespace {

constexpr int kWidth = 200, kHeight = 150;
// Where the scene's text is written (a quarter turn: it reads bottom to top above the point).
constexpr int kTextX = 70, kTextY = 145;

void DrawVectorScene(CDC& dc) {
    dc.FillSolidRect(CRect(10, 10, 60, 40), RGB(255, 0, 0));
    CPen wide(PS_SOLID, 6, RGB(0, 0, 255)), dotted(PS_DOT, 0, RGB(0, 0, 0));
    {
        CSelectObject p(dc, wide);
        dc.MoveTo(80, 20);
        dc.LineTo(180, 20);
    }
    {
        CSelectObject p(dc, dotted);
        dc.SetBkMode(TRANSPARENT);
        dc.MoveTo(10, 50);
        dc.LineTo(100, 50);
    }
    CBrush green;
    green.CreateSolidBrush(RGB(0, 160, 0));
    {
        CSelectObject b(dc, green);
        dc.SelectStockObject(NULL_PEN);
        dc.Ellipse(110, 60, 170, 120);
        dc.SelectStockObject(BLACK_PEN);
    }
    CFont turned;
    turned.CreateFont(24, 0, 900, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Times New Roman");
    {
        CSelectObject f(dc, turned);
        dc.TextOut(kTextX, kTextY, "Hi");
    }
    {
        CDCStateSaver saved(dc);
        dc.IntersectClipRect(10, 70, 50, 100);
        dc.FillSolidRect(CRect(0, 60, 100, 130), RGB(0, 0, 0));
    }
    {
        CDCStateSaver saved(dc);
        dc.SetMapMode(MM_LOENGLISH);  // 0.96 pixel per unit, y up
        dc.FillSolidRect(CRect(180, -130, 200, -150), RGB(0, 0, 255));
    }
}

struct stKnownPixel {
    int x, y;
    COLORREF colour;
    const char* what;
};

const stKnownPixel kKnownPixels[] = {
    {35, 25, RGB(255, 0, 0), "inside the red fill"},
    {62, 25, RGB(255, 255, 255), "right of the red fill"},
    {130, 20, RGB(0, 0, 255), "on the wide line's centre"},
    {130, 22, RGB(0, 0, 255), "within the wide line's half width"},
    {130, 26, RGB(255, 255, 255), "beyond the wide line's half width"},
    {181, 20, RGB(0, 0, 255), "in the wide line's round cap"},
    {11, 50, RGB(0, 0, 0), "in the first dot"},
    {14, 50, RGB(255, 255, 255), "in the first gap"},
    {17, 50, RGB(0, 0, 0), "in the second dot"},
    {140, 90, RGB(0, 160, 0), "in the ellipse"},
    {113, 63, RGB(255, 255, 255), "outside the ellipse's corner"},
    {30, 85, RGB(0, 0, 0), "black fill inside the clip"},
    {5, 85, RGB(255, 255, 255), "black fill left of the clip"},
    {30, 105, RGB(255, 255, 255), "black fill below the clip"},
    {182, 134, RGB(0, 0, 255), "the fill under MM_LOENGLISH (180, -130) -> (173, 125)"},
    {170, 134, RGB(255, 255, 255), "left of it"},
};

std::string WriteScene(const std::string& name, bool pdf) {
    CMetaFileDC metafile;
    EXPECT_TRUE(metafile.Create(kWidth, kHeight));
    DrawVectorScene(metafile);
    const std::string path = VectorTestFolder("vector") + "/" + name;
    std::string error;
    const bool ok = pdf ? gdi::WriteRecordingPdf(metafile.GetRecording(), path, &error)
                        : gdi::WriteRecordingSvg(metafile.GetRecording(), path, &error);
    EXPECT_TRUE(ok) << error;
    return path;
}

class VectorOutputTest : public ::testing::TestWithParam<bool> {};

}  // namespace

TEST_P(VectorOutputTest, RendersTheKnownPixelsOfTheScene) {
    const bool pdf = GetParam();
    const std::string path = WriteScene(pdf ? "scene.pdf" : "scene.svg", pdf);
    CBitmap rendered;
    ASSERT_TRUE(pdf ? RenderPdf(path, 96, rendered) : RenderSvg(path, 96, rendered));
    ASSERT_EQ(rendered.GetWidth(), kWidth);  // 96 dpi both ways: one device pixel, one rendered pixel
    ASSERT_EQ(rendered.GetHeight(), kHeight);

    // The same recording on a raster: the reference for the vector file.
    TestCanvas raster(kWidth, kHeight);
    CMetaFileDC metafile;
    ASSERT_TRUE(metafile.Create(kWidth, kHeight));
    DrawVectorScene(metafile);
    gdi::PlayRecording(metafile.GetRecording(), raster.dc);

    for (const stKnownPixel& k : kKnownPixels) {
        EXPECT_TRUE(Near(PixelAt(rendered, k.x, k.y), k.colour, 40))
            << k.what << " at " << k.x << "," << k.y << ": " << std::hex << PixelAt(rendered, k.x, k.y);
        EXPECT_EQ(raster.At(k.x, k.y), k.colour) << "raster: " << k.what;
    }

    // The quarter-turned text: its ink lies above the point and to its right, as on the raster,
    // taller than wide, within a pixel or two of the raster's.
    const CRect area(kTextX - 5, 60, 110, kTextY + 5);
    const CRect vector = DarkBox(rendered, area), expected = DarkBox(raster.bitmap, area);
    ASSERT_FALSE(expected.IsRectEmpty());
    EXPECT_GT(vector.Height(), vector.Width() * 2 / 3);
    EXPECT_NEAR(vector.left, expected.left, 2);
    EXPECT_NEAR(vector.right, expected.right, 2);
    EXPECT_NEAR(vector.top, expected.top, 2);
    EXPECT_NEAR(vector.bottom, expected.bottom, 2);
}

INSTANTIATE_TEST_SUITE_P(PdfAndSvg, VectorOutputTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Pdf" : "Svg"; });

TEST(VectorFileTest, TextIsEmbeddedInTheResolvedFace) {
    const std::string path = WriteScene("face.pdf", true);
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // "Times New Roman" is drawn with its metric-compatible face, embedded as a font.
    EXPECT_NE(bytes.find("LiberationSerif"), std::string::npos);
}

TEST(VectorFileTest, APrinterPageHasThePaperSize) {
    CPrinterDC printer;
    ASSERT_TRUE(printer.CreatePrinterDC(EPaperSize::A4));
    printer.FillSolidRect(CRect(600, 600, 1200, 1200), RGB(0, 0, 0));  // one inch square, one inch in
    const std::string path = VectorTestFolder("vector") + "/a4.pdf";
    ASSERT_TRUE(gdi::WriteRecordingPdf(printer.GetRecording(), path));
    CBitmap rendered;
    ASSERT_TRUE(RenderPdf(path, 50, rendered));
    EXPECT_NEAR(rendered.GetWidth(), 413, 1);   // 210 mm at 50 dpi
    EXPECT_NEAR(rendered.GetHeight(), 585, 1);  // 297 mm
    EXPECT_EQ(PixelAt(rendered, 75, 75), RGB(0, 0, 0));
    EXPECT_EQ(PixelAt(rendered, 45, 75), RGB(255, 255, 255));
}

TEST(VectorFileTest, AnUnwritablePathFailsWithAReason) {
    CMetaFileDC metafile;
    ASSERT_TRUE(metafile.Create(10, 10));
    std::string error;
    EXPECT_FALSE(gdi::WriteRecordingPdf(metafile.GetRecording(), "/nonexistent-folder/x.pdf", &error));
    EXPECT_FALSE(error.empty());
    gdi::CRecording none;  // no page
    EXPECT_FALSE(gdi::WriteRecordingSvg(none, VectorTestFolder("vector") + "/none.svg", &error));
}
