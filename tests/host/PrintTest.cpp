// Printing documents: the page laid onto paper, each control drawn through its draw entry into
// the printer, PDF and SVG files checked on what pdftoppm and rsvg-convert render.
#include "HostTestSupport.h"
#include "platform/gdi/VectorRenderUtil.h"

#include "geometry/OrvexFile.h"
#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "host/Printing.h"
#include "simulation/Generator.h"

#include <cmath>
#include <filesystem>

namespace {

// A viewer with data beside its linked A-scan control, and a viewer without data, which shows its
// light-grey placeholder: a known colour at a known place.
constexpr int kPageW = 400, kPageH = 200;
constexpr double kPlaceholderLeft = 300, kPlaceholderTop = 100, kPlaceholderRight = 400, kPlaceholderBottom = 200;

class PrintTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        stSimulationOptions options;
        options.m_rays = 8;
        options.m_snapshots = 2;
        options.m_samples = 512;
        CSimulationData data;
        GenerateSimulation(options, data);
        std::string error;
        ASSERT_TRUE(SaveOrvexFile(PathOf("s.orvex"), data, error)) << error;
        const std::string text = R"({"page": {"width": 400, "height": 200}, "controls": [
            {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "OrvexViewer1", "rect": [0, 0, 200, 200],
             "properties": {"FileName": "s.orvex"}},
            {"progid": "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1", "name": "Ascan1", "rect": [200, 0, 200, 100],
             "properties": {"OrvexViewerName": "OrvexViewer1"}},
            {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "Empty", "rect": [300, 100, 100, 100],
             "properties": {"ControlDetectionEnabled": true}} ]})";
        ASSERT_TRUE(m_doc.Open(WriteFile("doc.json", text), error)) << error;
        CComPtr<IDispatch> viewer = m_doc.GetExtendedControl("OrvexViewer1");
        ASSERT_TRUE(CallMethodByName(viewer.get(), "FitToWindow", {}, error)) << error;
        m_doc.Pump(0);
    }
    void TearDown() override {
        m_doc.Close();
        HostTest::TearDown();
    }

    // The pixel of a rendering at renderDpi where page pixel (x, y) was printed (A4, 600 dpi).
    static CPoint Printed(double x, double y, int renderDpi) {
        const SPrintLayout l = LayOutPrintedPage(kPageW, kPageH, CPrinterDC::PageSize(EPaperSize::A4, 600), 600);
        const double k = renderDpi / 600.0;
        return CPoint(static_cast<int>((l.origin.x + x * l.scale) * k), static_cast<int>((l.origin.y + y * l.scale) * k));
    }

    CHostDocument m_doc;
};

// Ink (not white) pixels within a rendered area.
int CountInk(const CBitmap& b, CPoint topLeft, CPoint bottomRight) {
    int n = 0;
    for (int y = topLeft.y; y < bottomRight.y; ++y)
        for (int x = topLeft.x; x < bottomRight.x; ++x) n += Lightness(PixelAt(b, x, y)) < 700;
    return n;
}

}  // namespace

TEST(PrintLayoutTest, ThePageIsScaledToFitInsideTheMarginsAndCentred) {
    const CSize a4 = CPrinterDC::PageSize(EPaperSize::A4, 600), letter = CPrinterDC::PageSize(EPaperSize::Letter, 600);
    const struct {
        int w, h;
        CSize paper;
        double scale;
        CPoint origin;
    } rows[] = {
        // Wide page on A4: the width decides, (4961 - 600) / 400; centred down the sheet.
        {400, 200, a4, 10.9025, CPoint(300, 2418)},
        // Tall page: the height decides, (7016 - 600) / 1000.
        {100, 1000, a4, 6.416, CPoint(2160, 300)},
        // Letter, the demo page: (5100 - 600) / 1100.
        {1100, 560, letter, 4500.0 / 1100, CPoint(300, 2155)},
    };
    for (const auto& r : rows) {
        const SPrintLayout l = LayOutPrintedPage(r.w, r.h, r.paper, 600);
        EXPECT_NEAR(l.scale, r.scale, 1e-9) << r.w << "x" << r.h;
        EXPECT_EQ(l.origin, r.origin) << r.w << "x" << r.h;
    }
    EXPECT_EQ(LayOutPrintedPage(0, 10, a4, 600).scale, 0);        // no page
    EXPECT_EQ(LayOutPrintedPage(10, 10, CSize(500, 500), 600).scale, 0);  // all margin
}

TEST_F(PrintTest, EachControlDrawsIntoThePrinterAtItsPlace) {
    CPrinterDC printer;
    ASSERT_TRUE(printer.CreatePrinterDC(EPaperSize::A4));
    std::string error;
    ASSERT_TRUE(PrintDocumentPage(m_doc, printer, error)) << error;
    // The printer's mapping is as it was.
    EXPECT_EQ(printer.GetMapMode(), MM_TEXT);
    EXPECT_EQ(printer.GetViewportOrg(), CPoint(0, 0));
    CRect clip;
    printer.GetClipBox(&clip);
    EXPECT_EQ(clip, CRect(0, 0, 4961, 7016));

    // Every recorded call ran under an anisotropic page-to-dots mapping with the viewport origin at
    // a control's place, clipped to that place.
    const gdi::CRecording& rec = printer.GetRecording();
    ASSERT_GT(rec.Records().size(), 50u);
    const SPrintLayout l = LayOutPrintedPage(kPageW, kPageH, CSize(4961, 7016), 600);
    std::set<std::pair<LONG, LONG>> origins;
    for (const gdi::stRecord& r : rec.Records()) {
        const gdi::DcState& s = rec.States()[r.state];
        EXPECT_EQ(s.mapMode, MM_ANISOTROPIC);
        EXPECT_TRUE(s.hasClip);
        origins.insert({s.viewportOrg.x, s.viewportOrg.y});
    }
    const std::set<std::pair<LONG, LONG>> expected = {
        {l.origin.x, l.origin.y},
        {l.origin.x + std::lround(200 * l.scale), l.origin.y},
        {l.origin.x + std::lround(300 * l.scale), l.origin.y + std::lround(100 * l.scale)}};
    EXPECT_EQ(origins, expected);
}

TEST_F(PrintTest, PdfAndSvgShowTheControlsWhereThePageHasThem) {
    for (const char* name : {"page.pdf", "page.svg"}) {
        const bool pdf = std::string(name).ends_with(".pdf");
        std::string error;
        ASSERT_TRUE(PrintDocument(m_doc, PathOf(name), EPaperSize::A4, error)) << error;
        EXPECT_FALSE(std::filesystem::exists(PathOf(name) + ".part" + (pdf ? ".pdf" : ".svg")));
        CBitmap page;
        constexpr int dpi = 60;
        ASSERT_TRUE(pdf ? RenderPdf(PathOf(name), dpi, page) : RenderSvg(PathOf(name), dpi, page));
        EXPECT_NEAR(page.GetWidth(), 496, 1) << name;  // A4 at 60 dpi
        // Rows: page point -> the colour printed there.
        const struct {
            double x, y;
            COLORREF colour;
            const char* what;
        } known[] = {
            {kPlaceholderLeft + 8, kPlaceholderTop + 8, RGB(192, 192, 192), "placeholder's top-left"},
            {kPlaceholderRight - 8, kPlaceholderBottom - 8, RGB(192, 192, 192), "placeholder's bottom-right"},
            {kPlaceholderLeft - 2, kPlaceholderTop + 8, RGB(255, 255, 255), "left of the placeholder"},
            {kPlaceholderLeft + 8, kPlaceholderBottom + 3, RGB(255, 255, 255), "below the page"},
        };
        for (const auto& k : known) {
            const CPoint p = Printed(k.x, k.y, dpi);
            EXPECT_TRUE(Near(PixelAt(page, p.x, p.y), k.colour, 30))
                << name << ": " << k.what << " " << std::hex << PixelAt(page, p.x, p.y);
        }
        // The viewer's rays and outlines, and the A-scan's axes and trace, are on the page.
        EXPECT_GT(CountInk(page, Printed(0, 0, dpi), Printed(200, 200, dpi)), 300) << name;
        EXPECT_GT(CountInk(page, Printed(200, 0, dpi), Printed(400, 100, dpi)), 300) << name;
    }
}

TEST_F(PrintTest, AnOutputThatIsNeitherPdfNorSvgOrCannotBeWrittenFails) {
    std::string error;
    EXPECT_FALSE(PrintDocument(m_doc, PathOf("page.png"), EPaperSize::A4, error));
    EXPECT_NE(error.find(".pdf or .svg"), std::string::npos);
    EXPECT_FALSE(PrintDocument(m_doc, PathOf("missing/page.pdf"), EPaperSize::Letter, error));
    EXPECT_FALSE(std::filesystem::exists(PathOf("missing")));
}

// Landscape turns the sheet; --fit drops the margins; one control alone is a figure of its own size
// holding only that control.
TEST_F(PrintTest, LandscapeFitAndOneControlAsAFigure) {
    constexpr int dpi = 60;
    std::string error;
    SPrintOptions landscape;
    landscape.orientation = EPaperOrientation::Landscape;
    ASSERT_TRUE(PrintDocument(m_doc, PathOf("wide.pdf"), landscape, error)) << error;
    CBitmap wide;
    ASSERT_TRUE(RenderPdf(PathOf("wide.pdf"), dpi, wide));
    EXPECT_NEAR(wide.GetWidth(), 702, 1);  // 297 mm at 60 dpi
    EXPECT_NEAR(wide.GetHeight(), 496, 1);

    // A 2:1 page on landscape A4: the width inside the margins decides without --fit, the sheet's
    // width with it.
    const CSize sheet = CPrinterDC::PageSize(EPaperSize::A4, 600, EPaperOrientation::Landscape);
    EXPECT_EQ(sheet, CSize(7016, 4961));
    EXPECT_NEAR(LayOutPrintedPage(kPageW, kPageH, sheet, 600).scale, (7016 - 600) / 400.0, 1e-9);
    EXPECT_NEAR(LayOutPrintedPage(kPageW, kPageH, sheet, 600, 0.0).scale, 7016 / 400.0, 1e-9);
    SPrintOptions fitted = landscape;
    fitted.fit = true;
    ASSERT_TRUE(PrintDocument(m_doc, PathOf("fitted.pdf"), fitted, error)) << error;
    CBitmap full;
    ASSERT_TRUE(RenderPdf(PathOf("fitted.pdf"), dpi, full));
    // Fitted, the placeholder's bottom-right corner reaches the sheet's right edge.
    EXPECT_TRUE(Near(PixelAt(full, full.GetWidth() - 3, full.GetHeight() / 2 + 40), RGB(192, 192, 192), 30));
    EXPECT_TRUE(Near(PixelAt(wide, wide.GetWidth() - 3, wide.GetHeight() / 2 + 40), RGB(255, 255, 255), 30));

    // The placeholder control alone: the sheet is its rectangle, all of it light grey.
    for (const char* name : {"figure.pdf", "figure.svg"}) {
        SPrintOptions figure;
        figure.control = "Empty";
        ASSERT_TRUE(PrintDocument(m_doc, PathOf(name), figure, error)) << error;
        CBitmap page;
        const bool pdf = std::string(name).ends_with(".pdf");
        ASSERT_TRUE(pdf ? RenderPdf(PathOf(name), dpi, page) : RenderSvg(PathOf(name), dpi, page));
        // 100 page pixels at A4's scale within the margins (10.9025 dots each), at 60 of 600 dpi.
        EXPECT_NEAR(page.GetWidth(), 109, 1) << name;
        EXPECT_NEAR(page.GetHeight(), 109, 1) << name;
        for (CPoint p : {CPoint(4, 4), CPoint(page.GetWidth() - 5, page.GetHeight() - 5)})
            EXPECT_TRUE(Near(PixelAt(page, p.x, p.y), RGB(192, 192, 192), 30)) << name << std::hex << PixelAt(page, p.x, p.y);
    }
    SPrintOptions missing;
    missing.control = "Nope";
    EXPECT_FALSE(PrintDocument(m_doc, PathOf("none.pdf"), missing, error));
    EXPECT_EQ(error, "the page has no control named \"Nope\"");
    EXPECT_FALSE(std::filesystem::exists(PathOf("none.pdf")));
}
