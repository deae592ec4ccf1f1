// host.print from macros: the page printed as `orvex print` prints it, into the document's folder,
// with the paper chosen by name; refused names and failures are Lua errors that leave no file.
#include "HostTestSupport.h"
#include "platform/gdi/VectorRenderUtil.h"

#include <filesystem>

#include "host/HostDocument.h"
#include "host/MacroHost.h"
#include "host/Printing.h"

namespace {

// One viewer without data fills the page: with detection on it draws its light-grey placeholder,
// a known colour.
constexpr int kPageW = 200, kPageH = 100;
constexpr COLORREF kPlaceholder = RGB(192, 192, 192);

class PrintMacroTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        const std::string text = R"({"page": {"width": 200, "height": 100}, "controls": [
            {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "Empty", "rect": [0, 0, 200, 100],
             "properties": {"ControlDetectionEnabled": true}} ]})";
        std::string error;
        ASSERT_TRUE(m_doc.Open(WriteFile("doc.json", text), error)) << error;
        m_macros = std::make_unique<CMacroHost>(m_doc);
    }
    void TearDown() override {
        m_macros.reset();
        m_doc.Close();
        HostTest::TearDown();
    }
    std::string Run(const std::string& source) {
        std::string error;
        return m_macros->RunSource(source, "script t.lua", error) ? std::string() : error;
    }
    // Where page pixel (x, y) lands on a rendering of the printed sheet at dpi.
    static CPoint Printed(double x, double y, EPaperSize paper, int dpi) {
        const SPrintLayout l = LayOutPrintedPage(kPageW, kPageH, CPrinterDC::PageSize(paper, 600), 600);
        const double k = dpi / 600.0;
        return CPoint(static_cast<int>((l.origin.x + x * l.scale) * k), static_cast<int>((l.origin.y + y * l.scale) * k));
    }

    CHostDocument m_doc;
    std::unique_ptr<CMacroHost> m_macros;
};

}  // namespace

TEST_F(PrintMacroTest, PrintsPdfOrSvgOnTheNamedPaperInTheDocumentsFolder) {
    // Rows: call -> the file it writes, its paper and how to read it back.
    const struct {
        const char* script;
        const char* file;
        EPaperSize paper;
        bool pdf;
    } rows[] = {
        {R"(host.print("a4.pdf"))", "a4.pdf", EPaperSize::A4, true},                  // A4 by default
        {R"(host.print("letter.svg", "letter"))", "letter.svg", EPaperSize::Letter, false},
        {R"(host.print("upper.PDF", "a4"))", "upper.PDF", EPaperSize::A4, true},      // the extension in any case
    };
    constexpr int dpi = 60;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.script);
        ASSERT_EQ(Run(r.script), "");
        // Relative to the document's folder, as host.render writes.
        ASSERT_TRUE(std::filesystem::exists(PathOf(r.file)));
        CBitmap sheet;
        ASSERT_TRUE(r.pdf ? RenderPdf(PathOf(r.file), dpi, sheet) : RenderSvg(PathOf(r.file), dpi, sheet));
        const CSize paper = CPrinterDC::PageSize(r.paper, dpi);
        EXPECT_NEAR(sheet.GetWidth(), paper.cx, 1);
        EXPECT_NEAR(sheet.GetHeight(), paper.cy, 1);
        // The control drew itself where the page has it: grey inside (away from its name in the
        // middle), white paper around it.
        for (const CPoint inside : {Printed(6, 6, r.paper, dpi), Printed(194, 94, r.paper, dpi)})
            EXPECT_TRUE(Near(PixelAt(sheet, inside.x, inside.y), kPlaceholder, 30)) << std::hex << PixelAt(sheet, inside.x, inside.y);
        for (const CPoint outside : {Printed(100, -3, r.paper, dpi), Printed(203, 50, r.paper, dpi)})
            EXPECT_TRUE(Near(PixelAt(sheet, outside.x, outside.y), RGB(255, 255, 255), 30));
    }
}

TEST_F(PrintMacroTest, RefusalsAndFailuresAreLuaErrorsAndLeaveNoFile) {
    // Rows: call -> a part of its error; no file of that name (nor a partial one) is left.
    const struct {
        const char* script;
        const char* error;
        const char* file;
    } rows[] = {
        {R"(host.print("page.png"))", "host.print: the file name must end with .pdf or .svg", "page.png"},
        {R"(host.print("doc.json.bak"))", "must end with .pdf or .svg", "doc.json.bak"},
        {R"(host.print(".pdf"))", "must end with .pdf or .svg", ".pdf"},  // no name before the extension
        {R"(host.print("page.pdf", "a3"))", "invalid option 'a3'", "page.pdf"},
        {R"(host.print("page.pdf", 4))", "invalid option '4'", "page.pdf"},
        {R"(host.print())", "bad argument #1", ""},
        // The folder does not exist: the printer's own error, after the prefix.
        {R"(host.print("missing/page.pdf"))", "host.print: missing/page.pdf: ", "missing"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.script);
        const std::string error = Run(r.script);
        EXPECT_NE(error.find(r.error), std::string::npos) << error;
        if (*r.file) {
            EXPECT_FALSE(std::filesystem::exists(PathOf(r.file)));
        }
    }
    // pcall catches it like any Lua error, and the run goes on.
    EXPECT_EQ(Run(R"(local ok, e = pcall(host.print, "x.png") assert(not ok and e:find("host.print"), e))"), "");
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(m_folder)) files += e.path().filename() != "doc.json";
    EXPECT_EQ(files, 0);
}
