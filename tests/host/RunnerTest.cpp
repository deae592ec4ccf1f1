// The headless runner: the virtual clock, the page surface, queued mouse input and trace lines.
#include "HostTestSupport.h"
#include "host/HostDocument.h"
#include "platform/afx/DebugOutput.h"

namespace {

class RunnerTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        std::string error;
        const std::string text = std::string(R"({"page": {"width": 200, "height": 100}, "controls": [
            {"progid": ")") + kLogCtrlProgID + R"(", "name": "Ticker", "rect": [10, 20, 50, 30],
             "properties": {"Flag": true, "Colour": 255}},
            {"progid": ")" + kLogCtrlProgID + R"(", "name": "Over", "rect": [40, 20, 50, 30],
             "properties": {"Colour": 65280}} ]})";
        ASSERT_TRUE(m_doc.Open(WriteFile("d.json", text), error)) << error;
        m_ticker = static_cast<CLogCtrl*>(m_doc.GetControl("Ticker"));
        m_over = static_cast<CLogCtrl*>(m_doc.GetControl("Over"));
    }
    void TearDown() override {
        m_doc.Close();
        HostTest::TearDown();
    }
    CHostDocument m_doc;
    CLogCtrl* m_ticker = nullptr;
    CLogCtrl* m_over = nullptr;
};

TEST_F(RunnerTest, OpeningPaintsThePageAndLaterSiblingsOnTop) {
    struct {
        int x, y;
        COLORREF expected;
    } probes[] = {
        {0, 0, RGB(255, 255, 255)},    // the page
        {10, 20, RGB(255, 0, 0)},      // Ticker's top-left corner
        {39, 49, RGB(255, 0, 0)},      // Ticker, left of the overlap
        {40, 20, RGB(0, 255, 0)},      // the overlap: Over comes later in the document
        {89, 49, RGB(0, 255, 0)},      // Over's bottom-right corner
        {90, 50, RGB(255, 255, 255)},  // just outside both
        {-1, 0, CLR_INVALID},          // off the page
        {200, 0, CLR_INVALID},
    };
    for (const auto& p : probes) EXPECT_EQ(m_doc.Pixel(p.x, p.y), p.expected) << p.x << "," << p.y;
}

TEST_F(RunnerTest, PumpRunsTimersOnTheVirtualClock) {
    // The stored Flag started a 100 ms timer when the window was created.
    EXPECT_EQ(m_ticker->m_ticks, 0);
    m_doc.Pump(0);
    EXPECT_EQ(m_ticker->m_ticks, 0);  // no time passes
    m_doc.Pump(99);
    EXPECT_EQ(m_ticker->m_ticks, 0);
    m_doc.Pump(1);
    EXPECT_EQ(m_ticker->m_ticks, 1);  // the first tick is one period after the timer was set
    m_doc.Pump(350);
    EXPECT_EQ(m_ticker->m_ticks, 4);
    EXPECT_EQ(m_doc.GetTime(), 450u);
    EXPECT_EQ(m_over->m_ticks, 0);
    // Each OutputDebugStringA call is one trace line without its newline.
    EXPECT_EQ(m_doc.Trace(), (std::vector<std::string>{"tick 1", "tick 2", "tick 3", "tick 4"}));
}

TEST_F(RunnerTest, MouseInputWaitsForThePumpAndCarriesTheButtonState) {
    EXPECT_TRUE(m_doc.Mouse("down", 15, 25));
    EXPECT_EQ(m_ticker->m_lastClick, CPoint(-1, -1));  // queued, not delivered yet
    m_doc.Pump(0);
    EXPECT_EQ(m_ticker->m_lastClick, CPoint(5, 5));  // in the control's client coordinates
    EXPECT_TRUE(m_doc.Mouse("move", 60, 30));
    m_doc.Pump(0);
    // A move with the left button down reaches the window under the point (Over, on top) with MK_LBUTTON.
    EXPECT_EQ(m_over->m_lastClick, CPoint(20, 10));
    EXPECT_TRUE(m_over->m_lastClickFlags & MK_LBUTTON);
    EXPECT_TRUE(m_doc.Mouse("up", 60, 30));
    EXPECT_FALSE(m_doc.Mouse("wiggle", 0, 0));
}

TEST_F(RunnerTest, RenderWritesThePagePicture) {
    std::string error;
    ASSERT_TRUE(m_doc.Render(PathOf("page.png"), error)) << error;
    EXPECT_GT(std::filesystem::file_size(PathOf("page.png")), 0u);
    EXPECT_FALSE(m_doc.Render(PathOf("no/such/folder/page.png"), error));
    EXPECT_NE(error.find("cannot write"), std::string::npos);
}

TEST_F(RunnerTest, TraceIsPassedOnToTheSinkThatWasThere) {
    std::vector<std::string> outer;
    m_doc.Close();
    {
        CDebugOutputCapture capture;
        CHostDocument doc;
        std::string error;
        ASSERT_TRUE(doc.Open(WriteFile("e.json", R"({"page": {"width": 10, "height": 10}})"), error));
        OutputDebugStringA("one\n");
        OutputDebugStringA("two without newline");
        EXPECT_EQ(doc.Trace(), (std::vector<std::string>{"one", "two without newline"}));
        doc.Close();
        OutputDebugStringA("after\n");
        outer = capture.GetLines();
    }
    EXPECT_EQ(outer, (std::vector<std::string>{"one", "two without newline", "after"}));
}

}  // namespace
