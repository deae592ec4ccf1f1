#include <gtest/gtest.h>

#include "PlotTestSupport.h"

TEST(PlotModelTest, ConstructionDefaults) {
    CLinePlotWnd plot;
    EXPECT_EQ(plot.m_nMarginLeft, 55);
    EXPECT_EQ(plot.m_nMarginTop, 20);
    EXPECT_EQ(plot.m_nMarginRight, 10);
    EXPECT_EQ(plot.m_nMarginBottom, 55);
    EXPECT_EQ(plot.m_nDataIndexMin, 0);
    EXPECT_EQ(plot.m_nDataIndexMax, 1);
    EXPECT_EQ(plot.m_fYDataMin, 0.0f);
    EXPECT_EQ(plot.m_fYDataSpan, 255.0f);
    EXPECT_EQ(plot.m_nXAxisPos, 4);
    EXPECT_EQ(plot.m_nYAxisPos, 1);
    EXPECT_EQ(plot.m_nDblClickGateId, -1);
    EXPECT_EQ(plot.m_pPointBuffer, nullptr);
}

TEST(PlotModelTest, DataIndexRange) {
    CLinePlotWnd plot;
    plot.UpdateDataIndexRange();  // no data at all
    EXPECT_EQ(plot.m_nDataIndexMin, 0);
    EXPECT_EQ(plot.m_nDataIndexMax, 0);
    plot.AddLine(0, 512, RGB(0, 128, 0), 0, 0, 1, nullptr);
    EXPECT_EQ(plot.m_nDataIndexMin, 0);
    EXPECT_EQ(plot.m_nDataIndexMax, 512);  // the count, not the last index
    EXPECT_EQ(plot.m_nLongestLine, 512);
    EXPECT_EQ(plot.m_nPointBufferSize, 512);
}

TEST(PlotModelTest, AddLineKeepsTheFirstLineOfAnId) {
    CLinePlotWnd plot;
    std::vector<float> a(10, 1.0f), b(20, 2.0f);
    EXPECT_EQ(plot.AddLine(7, 10, 0, 0, 0, 1, a.data()), 1);
    EXPECT_EQ(plot.AddLine(7, 20, 0, 0, 0, 1, b.data()), 1);  // same id: neither replaced nor appended
    ASSERT_EQ(plot.m_lines.size(), 1u);
    EXPECT_EQ(plot.m_lines[0].pFloatData, a.data());
    EXPECT_EQ(plot.m_lines[0].bExternal, 1);
    EXPECT_EQ(plot.AddLine(8, 20, 0, 0, 0, 1, nullptr), 2);
    EXPECT_EQ(plot.m_lines[1].bExternal, 0);
    EXPECT_NE(plot.m_lines[1].pFloatData, nullptr);
    EXPECT_EQ(plot.m_nPointBufferSize, 20);
}

TEST(PlotModelTest, CallerBuffersSurviveRemovalAndDestruction) {
    // Freeing a caller's (here: stack) buffer would crash or trip the sanitizer.
    float samples[64] = {};
    samples[63] = 5.0f;
    {
        CLinePlotWnd plot;
        plot.AddLine(0, 64, 0, 0, 0, 1, samples);
        plot.AddLine(1, 32, 0, 0, 0, 1, nullptr);
        plot.RemoveAllLines();
        EXPECT_TRUE(plot.m_lines.empty());
        EXPECT_EQ(plot.m_nPointBufferSize, 0);
        plot.AddLine(0, 64, 0, 0, 0, 1, samples);
    }
    EXPECT_EQ(samples[63], 5.0f);
}

TEST(PlotModelTest, NegativeCountIsAnEmptyTrace) {
    CLinePlotWnd plot;
    plot.AddLine(0, -5, 0, 0, 0, 1, nullptr);
    EXPECT_EQ(plot.m_lines[0].nCount, 0);
    EXPECT_EQ(plot.m_nPointBufferSize, 0);
}

TEST(PlotModelTest, AxisSetUp) {
    CLinePlotWnd plot;
    struct Row { float scale; float stored; } rows[] = {
        {0.0f, 1.0f},    // a zero y scale would divide by zero everywhere
        {-2.0f, -2.0f},  // a negative one is a valid flip
    };
    for (const Row& r : rows) {
        plot.SetYAxis(0.5f, r.scale, -1.0f, 2.0f, "Amplitude");
        EXPECT_EQ(plot.m_fYScale, r.stored);
    }
    EXPECT_EQ(plot.m_fYOffset, 0.5f);
    EXPECT_EQ(plot.m_fYViewStart, -1.0f);
    EXPECT_EQ(plot.m_fYDataMin, -1.0f);
    EXPECT_EQ(plot.m_fYDataSpan, 2.0f);
    EXPECT_EQ(plot.m_rememberedRange[2], -1.0f);
    EXPECT_EQ(plot.m_strYLabel, "Amplitude");
    plot.SetXAxis(1.0f, 0.0f, "Time (us)");  // a zero x scale is the caller's to avoid; kept
    EXPECT_EQ(plot.m_fXScale, 0.0f);
    EXPECT_EQ(plot.m_strXLabel, "Time (us)");
}

TEST(PlotModelTest, PlotRectangleIsFrameLessMargins) {
    CLinePlotWnd plot;
    SetStandardFrame(plot);
    EXPECT_EQ(plot.GetPlotRect(), CRect(55, 20, 455, 120));
    CRect frame;
    plot.GetFrameRect(&frame);
    EXPECT_EQ(frame, CRect(0, 0, 465, 175));
}

TEST(PlotModelTest, CloneOwnsItsSamples) {
    std::vector<float> samples = DampedSine(100);
    CLinePlotWnd plot;
    plot.AddLine(3, 100, RGB(1, 2, 3), 0, 0, 1, samples.data());
    plot.SetXAxis(0.0f, 0.5f, "x");
    CVantorPersistentObject* copy = nullptr;
    ASSERT_TRUE(plot.Clone(&copy));
    auto* target = dynamic_cast<CLinePlotWnd*>(copy);
    ASSERT_NE(target, nullptr);
    ASSERT_EQ(target->m_lines.size(), 1u);
    EXPECT_EQ(target->m_lines[0].bExternal, 0);
    EXPECT_NE(target->m_lines[0].pFloatData, samples.data());
    EXPECT_EQ(target->m_lines[0].pFloatData[50], samples[50]);
    EXPECT_EQ(target->m_fXScale, 0.5f);
    EXPECT_EQ(target->m_nPointBufferSize, 100);
    EXPECT_EQ(target->m_bKeepRangeOnResize, 0);
    copy->Destroy();
}

TEST(PlotModelTest, CloneSettingsHandsOverThePointBuffer) {
    CLinePlotWnd plot;
    plot.AddLine(0, 50, 0, 0, 0, 1, nullptr);
    POINT* buffer = plot.m_pPointBuffer;
    CVantorPersistentObject* copy = nullptr;
    ASSERT_TRUE(plot.CloneSettings(&copy));
    auto* target = dynamic_cast<CLinePlotWnd*>(copy);
    EXPECT_EQ(target->m_pPointBuffer, buffer);
    EXPECT_TRUE(target->m_lines.empty());
    EXPECT_EQ(plot.m_pPointBuffer, nullptr);
    plot.UpdatePointBuffer();  // the source allocates again
    EXPECT_NE(plot.m_pPointBuffer, nullptr);
    copy->Destroy();
}
