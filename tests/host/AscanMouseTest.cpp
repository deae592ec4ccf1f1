// End to end through the real controls: a macro drags the measuring box over the A-scan control's
// plot with host.mouse. The box and its diagonal are drawn by inversion while the button is down
// and must leave the picture exactly as it was when the button comes up.
#include <filesystem>

#include "HostTestSupport.h"
#include "ascan/OrvexAscanViewerCtrl.h"
#include "geometry/OrvexFile.h"
#include "host/HostDocument.h"
#include "host/MacroHost.h"
#include "lineplot/LinePlotWnd.h"
#include "simulation/Generator.h"

namespace {

class AscanMouseTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        stSimulationOptions options;
        options.m_rays = 6;
        options.m_snapshots = 4;
        options.m_samples = 900;
        CSimulationData data;
        GenerateSimulation(options, data);
        std::string error;
        ASSERT_TRUE(SaveOrvexFile(PathOf("a.orvex"), data, error)) << error;
        // The A-scan control covers x 300..700, y 0..150 of the page.
        const std::string doc = R"({"page": {"width": 700, "height": 240}, "controls": [
            {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "V", "rect": [0, 0, 300, 240],
             "properties": {"FileName": "a.orvex"}},
            {"progid": "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1", "name": "A", "rect": [300, 0, 400, 150],
             "properties": {"OrvexViewerName": "V"}}]})";
        ASSERT_TRUE(m_doc.Open(WriteFile("doc.json", doc), error)) << error;
        m_macros = std::make_unique<CMacroHost>(m_doc);
    }
    void TearDown() override {
        m_macros.reset();
        m_doc.Close();
        HostTest::TearDown();
    }

    CHostDocument m_doc;
    std::unique_ptr<CMacroHost> m_macros;
};

TEST_F(AscanMouseTest, MacroDragsTheMeasuringBoxAndReleaseRestoresThePicture) {
    // The drag runs from page (400, 40) to (500, 80). Points looked at, each before, during and
    // after: on the box's top edge, on its diagonal, inside the box off the diagonal, and outside
    // the box. Both ends lie in the plot rectangle, so the box is not clamped.
    const char* macro = R"(
        host.pump(0)
        local points = {
            edge = {450, 40},     -- top edge
            diagonal = {450, 60}, -- the line from corner to corner
            inside = {420, 70},   -- inside, off the diagonal
            outside = {550, 100}, -- beyond the box
        }
        local function look()
            local seen = {}
            for name, p in pairs(points) do seen[name] = host.pixel(p[1], p[2]) end
            return seen
        end
        host.mouse('move', 400, 40) host.pump(0)
        local before = look()
        host.render('before.png')
        host.mouse('down', 400, 40) host.pump(0)
        host.mouse('move', 500, 80) host.pump(0)
        local during = look()
        host.render('during.png')
        assert(during.edge ~= before.edge, 'the box edge is drawn')
        assert(during.diagonal ~= before.diagonal, 'the diagonal is drawn')
        assert(during.inside == before.inside, 'the box is not filled')
        assert(during.outside == before.outside, 'nothing is drawn outside the box')
        host.mouse('up', 500, 80) host.pump(0)
        local after = look()
        host.render('after.png')
        for name, colour in pairs(before) do
            assert(after[name] == colour, name .. ' is as it was before the drag')
        end
    )";
    auto* ascan = static_cast<COrvexAscanViewerCtrl*>(m_doc.GetControl("A"));
    ASSERT_NE(ascan, nullptr);
    std::string error;
    EXPECT_TRUE(m_macros->RunSource(macro, "script drag.lua", error)) << error;
    ASSERT_NE(ascan->GetPlot(), nullptr);
    // The measuring box only measures: the view is what the link built.
    float low = 0, high = 0;
    ascan->GetPlot()->GetXRange(&low, &high);
    EXPECT_FLOAT_EQ(low, ascan->GetAscanXMin());
    EXPECT_FLOAT_EQ(high, ascan->GetAscanXMax());
    // Relative names land in the document's folder.
    EXPECT_TRUE(std::filesystem::exists(PathOf("during.png")));
}

}  // namespace
