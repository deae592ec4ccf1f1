// The real viewer and the A-scan control side by side in a document: the A-scan control finds the
// viewer by name at its first draw, a new file in the viewer makes it refresh the A-scan, and the
// plotted window follows the viewer's data.
#include "TestScratch.h"
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "AscanTestSupport.h"
#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
#include "ids/OrvexViewerIds.h"
#include "lineplot/LinePlotWnd.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"
#include "platform/com/PropertyBag.h"
#include "viewer/OrvexViewerCtrl.h"

namespace {

// One snapshot whose A-scan has `count` samples of 0.5 from dataStart on.
struct AscanShape {
    double windowStart, windowLength, interval, dataStart, yMax, yMin;
    int count;
    const char* label;
};

std::string WriteDataFile(const std::string& name, const AscanShape& shape) {
    CSimulationData data;
    CSimulationData::stSnapshot snapshot;
    snapshot.m_windowStart = shape.windowStart;
    snapshot.m_windowLength = shape.windowLength;
    snapshot.m_yMax = shape.yMax;
    snapshot.m_yMin = shape.yMin;
    snapshot.m_sampleInterval = shape.interval;
    snapshot.m_windowSampleInterval = shape.interval;
    snapshot.m_dataStart = shape.dataStart;
    snapshot.m_xLabel = shape.label;
    snapshot.m_samples.assign(static_cast<size_t>(shape.count), 0.5f);
    snapshot.m_nSamples = shape.count;
    data.m_snapshots.push_back(snapshot);
    const std::string path = (TestScratchDir() / name).string();
    std::string error;
    EXPECT_TRUE(SaveOrvexFile(path, data, error)) << error;
    return path;
}

class LinkedControlsTest : public AscanTest {
protected:
    void SetUp() override {
        AscanTest::SetUp();
        m_fileA = WriteDataFile("ascan_linked_a.orvex", {1.0, 2.0, 0.01, 1.5, 1.0, -1.0, 100, "Time (us)"});
        m_fileB = WriteDataFile("ascan_linked_b.orvex", {2.0, 4.0, 0.02, 3.0, 0.5, -0.5, 150, "t (us)"});
    }
    void TearDown() override {
        m_document->Close();
        if (m_pViewer) m_pViewer->Release();
        AscanTest::TearDown();
    }
    // The real viewer, sited, loaded with a file and activated at the left of the page.
    COrvexViewerCtrl* AddRealViewer(const std::string& name, const std::string& file) {
        m_pViewer = new COrvexViewerCtrl;
        m_document->AddControl(m_pViewer->GetControllingUnknown(), name,
                               {IID_DOrvexViewer, IID_DOrvexViewerEvents});
        CComPtr<CPropertyBag> bag = CPropertyBag::Create();
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringFrom(file);
        bag->Set("FileName", v);
        VariantClear(&v);
        m_pViewer->Load(bag.get());
        m_pViewer->ActivateInPlace(m_page.get(), CRect(0, 0, 300, 250));
        return m_pViewer;
    }
    COrvexAscanViewerCtrl* AddLinkedAscan(const std::string& viewerName) {
        CComPtr<CPropertyBag> bag = CPropertyBag::Create();
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringFrom(viewerName);
        bag->Set("OrvexViewerName", v);
        VariantClear(&v);
        return AddAscan("OrvexAscanViewer1", CRect(300, 0, 800, 200), bag.get());
    }
    static std::pair<float, float> XRange(COrvexAscanViewerCtrl* c) {
        float low = 0, high = 0;
        c->GetPlot()->GetXRange(&low, &high);
        return {low, high};
    }

    std::string m_fileA, m_fileB;
    COrvexViewerCtrl* m_pViewer = nullptr;
};

TEST_F(LinkedControlsTest, FirstPaintLinksAndPlotsTheViewersAscan) {
    AddRealViewer("OrvexViewer1", m_fileA);
    COrvexAscanViewerCtrl* ascan = AddLinkedAscan("OrvexViewer1");
    Paint();
    ASSERT_NE(ascan->PeekLinkedViewer(), nullptr);
    CLinePlotWnd* plot = ascan->GetPlot();
    ASSERT_NE(plot, nullptr);
    ASSERT_EQ(plot->m_lines.size(), 1u);
    // The array starts at time 0: 150 zeros before the samples at 1.5, the window ends at 3.0.
    const CLinePlotWnd::stLineData& line = plot->m_lines[0];
    EXPECT_EQ(line.nCount, 300);
    EXPECT_FLOAT_EQ(line.pFloatData[149], 0.0f);
    EXPECT_FLOAT_EQ(line.pFloatData[150], 0.5f);
    EXPECT_FLOAT_EQ(line.pFloatData[249], 0.5f);
    EXPECT_FLOAT_EQ(plot->m_fXScale, 0.01f);
    EXPECT_EQ(plot->m_strXLabel, "Time (us)");
    const auto x = XRange(ascan);
    EXPECT_NEAR(x.first, 1.0f, 1e-4f);
    EXPECT_NEAR(x.second, 3.0f, 1e-4f);
    EXPECT_EQ(ascan->GetLinkedFileName(), m_fileA);
    // The page, for a look: the viewer at the left, the A-scan at the right.
    const CBitmap* page = m_manager.GetSurface(m_page->m_hWnd);
    ASSERT_NE(page, nullptr);
    EXPECT_TRUE(SaveBitmapPng(*page, std::string(ORVEX_BINARY_DIR) + "/ascan_linked_document.png"));
}

TEST_F(LinkedControlsTest, ANewFileInTheViewerRefreshesTheAscan) {
    COrvexViewerCtrl* viewer = AddRealViewer("OrvexViewer1", m_fileA);
    COrvexAscanViewerCtrl* ascan = AddLinkedAscan("OrvexViewer1");
    Paint();
    ascan->ZoomInX();

    // The same file again: the viewer notifies, the A-scan keeps its zoom.
    viewer->SetFileName(m_fileA);
    Paint();
    auto x = XRange(ascan);
    EXPECT_NEAR(x.first, 1.2f, 1e-4f);
    EXPECT_NEAR(x.second, 2.8f, 1e-4f);

    // Another file: rebuilt from the new display window, with the new label and resolution.
    viewer->SetFileName(m_fileB);
    Paint();
    ASSERT_NE(ascan->GetPlot(), nullptr);
    x = XRange(ascan);
    EXPECT_NEAR(x.first, 2.0f, 1e-4f);
    EXPECT_NEAR(x.second, 6.0f, 1e-4f);
    float low = 0, high = 0;
    ascan->GetPlot()->GetYRange(&low, &high);
    EXPECT_NEAR(low, -0.5f, 1e-4f);
    EXPECT_NEAR(high, 0.5f, 1e-4f);
    EXPECT_EQ(ascan->GetPlot()->m_strXLabel, "t (us)");
    EXPECT_FLOAT_EQ(ascan->GetPlot()->m_fXScale, 0.02f);
    EXPECT_EQ(ascan->GetLinkedFileName(), m_fileB);
}

TEST_F(LinkedControlsTest, AnAscanLinkedToAnotherViewerIsLeftAlone) {
    COrvexViewerCtrl* viewer = AddRealViewer("OrvexViewer1", m_fileA);
    COrvexAscanViewerCtrl* ascan = AddLinkedAscan("SomeOtherViewer");
    Paint();
    EXPECT_EQ(ascan->PeekLinkedViewer(), nullptr);
    EXPECT_EQ(ascan->GetPlot(), nullptr);
    viewer->SetFileName(m_fileB);
    Paint();
    EXPECT_EQ(ascan->GetPlot(), nullptr);
}

TEST_F(LinkedControlsTest, SteppingTheSnapshotNeedsAnUpdate) {
    // The viewer's snapshot only reaches the A-scan through UpdateAscanData.
    COrvexViewerCtrl* viewer = AddRealViewer("OrvexViewer1", m_fileA);
    COrvexAscanViewerCtrl* ascan = AddLinkedAscan("OrvexViewer1");
    Paint();
    viewer->SetCurrentSnapShot(5);  // no such snapshot: the viewer has no A-scan to give
    Paint();
    ASSERT_NE(ascan->GetPlot(), nullptr);
    EXPECT_EQ(ascan->GetPlot()->m_lines.size(), 1u);
    EXPECT_FALSE(ascan->UpdateAscanData());
    ASSERT_NE(ascan->GetPlot(), nullptr);
    EXPECT_TRUE(ascan->GetPlot()->m_lines.empty());
    viewer->SetCurrentSnapShot(0);
    EXPECT_TRUE(ascan->UpdateAscanData());
    EXPECT_EQ(ascan->GetPlot()->m_lines.size(), 1u);
}

}  // namespace
