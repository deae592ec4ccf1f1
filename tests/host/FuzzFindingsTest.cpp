// Inputs the fuzz harnesses found faults with (fuzz/corpus/<harness>/finding-*), replayed as
// tests. The faults were undefined behaviour that only the sanitizer run (make test-asan) reports;
// in the plain run these tests check that the page still draws.
#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "host/DocumentFile.h"
#include "host/HostDocument.h"
#include "host/MacroHost.h"

namespace {

class FuzzFindingsTest : public HostTest {};

}  // namespace

// fuzz_macro: the viewer's labels, after a spin and a tilt of a fitted front view, drawn as glyph
// outlines so far below the small control's clip that the first row to fill did not fit an int.
TEST_F(FuzzFindingsTest, LabelsFarOutsideASmallViewerDrawNothing) {
    const std::string text = R"({"page": {"width": 160, "height": 80}, "controls": [
        {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "OrvexViewer1", "rect": [0, 0, 80, 80],
         "properties": {"FileName": ")" ORVEX_SOURCE_DIR R"(/tests/data/valid-small.orvex", "RayPlotType": 2}}]})";
    SDocumentModel model;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ParseDocumentJson(text, model, error, warnings)) << error;
    CHostDocument document;
    ASSERT_TRUE(document.OpenModel(model, error)) << error;
    {
        CMacroHost macros(document);
        macros.SetPrintSink([](std::string_view) {});
        const char* script = R"(
            local viewer = OrvexViewer1
            viewer.RayPlotType = 0
            viewer:ViewFromFront()
            viewer:FitToWindow()
            for angle = 0, 165, 30 do
              viewer:Spin(15)
              viewer:FitToWindow()
            end
            viewer:Tilt(21)
            viewer:Spin(15))";
        EXPECT_TRUE(macros.RunSource(script, "script finding.lua", error)) << error;
        document.Pump(0);
        // The page is drawn and can be read.
        EXPECT_NE(document.Pixel(40, 40), CLR_INVALID);
        macros.Close();
    }
    document.Close();
}
