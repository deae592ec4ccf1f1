// The viewer and the A-scan control together in real documents: the A-scan control finds its
// viewer by container name through the host's container and extended controls, follows the
// viewer's file, keeps a saved zoom, and scripts drive both through their dispatch interfaces.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "HostTestSupport.h"
#include "ascan/OrvexAscanViewerCtrl.h"
#include "geometry/OrvexFile.h"
#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "lineplot/LinePlotWnd.h"
#include "simulation/Generator.h"

namespace {

constexpr const char* kViewer = "ORVEXVIEWER.OrvexViewerCtrl.1";
constexpr const char* kAscan = "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1";

// One control of a document, as JSON.
std::string Control(const char* progId, const std::string& name, const std::string& rect, const std::string& props) {
    return std::string(R"({"progid": ")") + progId + R"(", "name": ")" + name + R"(", "rect": )" + rect +
           R"(, "properties": {)" + props + "}}";
}

std::string ViewerWith(const std::string& name, const std::string& file) {
    return Control(kViewer, name, "[0, 0, 300, 240]", R"("FileName": ")" + file + R"(")");
}

std::string AscanNamed(const std::string& name, const std::string& viewerName) {
    return Control(kAscan, name, "[300, 0, 400, 150]", R"("OrvexViewerName": ")" + viewerName + R"(")");
}

std::string Document(const std::vector<std::string>& controls) {
    std::string text = R"({"page": {"width": 700, "height": 240}, "controls": [)";
    for (size_t i = 0; i < controls.size(); ++i) text += (i ? ", " : "") + controls[i];
    return text + "]}";
}

struct SWindow {
    float xMin, xMax, yMin, yMax;
};

class AscanDocumentTest : public HostTest {
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
        // The same inspection shown in another display window, so a link to it is recognisable.
        for (auto& s : data.m_snapshots) {
            s.m_windowStart = 10.0;
            s.m_windowLength = 20.0;
            s.m_yMax = 0.5;
            s.m_yMin = -0.5;
        }
        ASSERT_TRUE(SaveOrvexFile(PathOf("b.orvex"), data, error)) << error;
    }
    void TearDown() override {
        m_doc.Close();
        HostTest::TearDown();
    }

    void Open(const std::vector<std::string>& controls) {
        std::string error;
        ASSERT_TRUE(m_doc.Open(WriteFile("doc.json", Document(controls)), error)) << error;
        ASSERT_TRUE(m_doc.GetMessages().empty()) << m_doc.GetMessages().front();
    }
    COrvexAscanViewerCtrl* Ascan(const std::string& name = "OrvexAscanViewer1") {
        return static_cast<COrvexAscanViewerCtrl*>(m_doc.GetControl(name));
    }
    // The four range properties, read as a script reads them.
    SWindow Ranges(const std::string& name = "OrvexAscanViewer1") {
        CComPtr<IDispatch> ascan = m_doc.GetExtendedControl(name);
        SWindow w{};
        float* targets[] = {&w.xMin, &w.xMax, &w.yMin, &w.yMax};
        const char* names[] = {"AscanXMin", "AscanXMax", "AscanYMin", "AscanYMax"};
        for (int i = 0; i < 4; ++i) {
            VARIANT v;
            VariantInit(&v);
            std::string error;
            EXPECT_TRUE(InvokeByName(ascan.get(), names[i], DISPATCH_PROPERTYGET, {}, &v, error)) << error;
            *targets[i] = v.fltVal;
        }
        return w;
    }
    // The window the plot shows.
    SWindow Plotted(const std::string& name = "OrvexAscanViewer1") {
        SWindow w{};
        CLinePlotWnd* plot = Ascan(name)->GetPlot();
        if (plot == nullptr) {
            ADD_FAILURE() << name << " has no plot";
            return w;
        }
        plot->GetXRange(&w.xMin, &w.xMax);
        plot->GetYRange(&w.yMin, &w.yMax);
        return w;
    }
    bool Put(const std::string& control, const char* property, VARIANT value) {
        CComPtr<IDispatch> disp = m_doc.GetExtendedControl(control);
        std::string error;
        bool ok = PutPropertyByName(disp.get(), property, value, error);
        EXPECT_TRUE(ok) << error;
        VariantClear(&value);
        return ok;
    }
    bool PutText(const std::string& control, const char* property, const std::string& text) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_BSTR;
        v.bstrVal = SysAllocStringFrom(text);
        return Put(control, property, v);
    }
    bool Call(const std::string& control, const char* method) {
        CComPtr<IDispatch> disp = m_doc.GetExtendedControl(control);
        std::string error;
        bool ok = CallMethodByName(disp.get(), method, {}, error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }
    std::string Text(const std::string& control, const char* property) {
        CComPtr<IDispatch> disp = m_doc.GetExtendedControl(control);
        VARIANT v;
        VariantInit(&v);
        std::string error;
        EXPECT_TRUE(InvokeByName(disp.get(), property, DISPATCH_PROPERTYGET, {}, &v, error)) << error;
        std::string text = v.vt == VT_BSTR ? StringFromBstr(v.bstrVal) : "(not a string)";
        VariantClear(&v);
        return text;
    }

    CHostDocument m_doc;
};

void ExpectWindow(const SWindow& actual, const SWindow& expected, const char* what) {
    EXPECT_NEAR(actual.xMin, expected.xMin, 1e-4f) << what;
    EXPECT_NEAR(actual.xMax, expected.xMax, 1e-4f) << what;
    EXPECT_NEAR(actual.yMin, expected.yMin, 1e-4f) << what;
    EXPECT_NEAR(actual.yMax, expected.yMax, 1e-4f) << what;
}

// The display windows of the two files.
constexpr SWindow kWindowA{5.0f, 50.0f, -1.0f, 1.0f};
constexpr SWindow kWindowB{10.0f, 30.0f, -0.5f, 0.5f};

// Which viewer an A-scan control links to, by what the documents hold. Each row opens a
// document; `linked` is the file of the viewer it plots ("" for none), `name` its name afterwards.
TEST_F(AscanDocumentTest, TheLinkFollowsTheContainerNames) {
    struct Row {
        const char* what;
        std::vector<std::string> controls;
        const char* linkedFile;
        const char* nameAfter;
    };
    const std::string ascan = "OrvexAscanViewer1";
    const Row rows[] = {
        // Another viewer before the named one does not catch the link.
        {"named viewer second",
         {ViewerWith("Other", "b.orvex"), ViewerWith("OrvexViewer1", "a.orvex"), AscanNamed(ascan, "OrvexViewer1")},
         "a.orvex", "OrvexViewer1"},
        // The A-scan control may come before its viewer.
        {"viewer after the A-scan", {AscanNamed(ascan, "OrvexViewer1"), ViewerWith("OrvexViewer1", "b.orvex")},
         "b.orvex", "OrvexViewer1"},
        // Of two viewers with the same name, the first in the document wins.
        {"two equal names",
         {ViewerWith("OrvexViewer1", "b.orvex"), ViewerWith("OrvexViewer1", "a.orvex"), AscanNamed(ascan, "OrvexViewer1")},
         "b.orvex", "OrvexViewer1"},
        // An empty name adopts the last viewer enumerated and its name; the A-scan control
        // after it is not a viewer and is passed over.
        {"empty name",
         {ViewerWith("V1", "a.orvex"), ViewerWith("V2", "b.orvex"), AscanNamed(ascan, ""),
          AscanNamed("OrvexAscanViewer2", "V1")},
         "b.orvex", "V2"},
        // Names compare exactly: another case is another name.
        {"case differs", {ViewerWith("OrvexViewer1", "a.orvex"), AscanNamed(ascan, "orvexviewer1")}, "",
         "orvexviewer1"},
        // An A-scan control never links to another A-scan control, whatever its name.
        {"names an A-scan control",
         {ViewerWith("OrvexViewer1", "a.orvex"), AscanNamed("Other", "OrvexViewer1"), AscanNamed(ascan, "Other")}, "",
         "Other"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Open(row.controls);
        COrvexAscanViewerCtrl* control = Ascan(ascan);
        ASSERT_NE(control, nullptr);
        if (*row.linkedFile == '\0') {
            EXPECT_EQ(control->PeekLinkedViewer(), nullptr);
            EXPECT_EQ(control->GetPlot(), nullptr);
        } else {
            EXPECT_NE(control->PeekLinkedViewer(), nullptr);
            EXPECT_EQ(control->GetLinkedFileName(), row.linkedFile);
            ExpectWindow(Ranges(ascan), std::string(row.linkedFile) == "a.orvex" ? kWindowA : kWindowB, row.what);
        }
        EXPECT_EQ(Text(ascan, "OrvexViewerName"), row.nameAfter);
        m_doc.Close();
    }
}

TEST_F(AscanDocumentTest, ANewFileInTheViewerMovesThePlottedWindow) {
    Open({ViewerWith("OrvexViewer1", "a.orvex"), ViewerWith("Other", "a.orvex"),
          AscanNamed("OrvexAscanViewer1", "OrvexViewer1")});
    ExpectWindow(Plotted(), kWindowA, "after opening");

    // Zoomed, then the same file again: the viewer notifies, the zoom stays.
    ASSERT_TRUE(Call("OrvexAscanViewer1", "ZoomInX"));
    ASSERT_TRUE(PutText("OrvexViewer1", "FileName", "a.orvex"));
    m_doc.Pump(0);
    ExpectWindow(Plotted(), {9.5f, 45.5f, -1.0f, 1.0f}, "zoomed, same file");

    // Another viewer's new file is not ours.
    ASSERT_TRUE(PutText("Other", "FileName", "b.orvex"));
    m_doc.Pump(0);
    ExpectWindow(Plotted(), {9.5f, 45.5f, -1.0f, 1.0f}, "the other viewer's file");

    // Our viewer's new file: the plot starts again from the new display window at its next draw.
    ASSERT_TRUE(PutText("OrvexViewer1", "FileName", "b.orvex"));
    m_doc.Pump(0);
    ExpectWindow(Plotted(), kWindowB, "new file");
    ExpectWindow(Ranges(), kWindowB, "new file, properties");
    EXPECT_EQ(Ascan()->GetLinkedFileName(), "b.orvex");
}

TEST_F(AscanDocumentTest, WithTheViewersDetectionOffOnlyARefreshFollowsTheFile) {
    Open({ViewerWith("OrvexViewer1", "a.orvex"), AscanNamed("OrvexAscanViewer1", "OrvexViewer1")});
    VARIANT off;
    VariantInit(&off);
    off.vt = VT_BOOL;
    off.boolVal = VARIANT_FALSE;
    ASSERT_TRUE(Put("OrvexViewer1", "ControlDetectionEnabled", off));
    ASSERT_TRUE(PutText("OrvexViewer1", "FileName", "b.orvex"));
    m_doc.Pump(0);
    ExpectWindow(Plotted(), kWindowA, "not notified");
    ASSERT_TRUE(Call("OrvexAscanViewer1", "RefreshAscan"));
    ExpectWindow(Plotted(), kWindowB, "refreshed");
}

TEST_F(AscanDocumentTest, ASavedZoomComesBackWithDetectionOn) {
    Open({ViewerWith("OrvexViewer1", "a.orvex"), AscanNamed("OrvexAscanViewer1", "OrvexViewer1")});
    ASSERT_TRUE(Call("OrvexAscanViewer1", "ZoomInX"));
    ASSERT_TRUE(Call("OrvexAscanViewer1", "ZoomInY"));
    VARIANT off;
    VariantInit(&off);
    off.vt = VT_BOOL;
    off.boolVal = VARIANT_FALSE;
    ASSERT_TRUE(Put("OrvexAscanViewer1", "ControlDetectionEnabled", off));
    const SWindow zoomed = Plotted();
    std::string error;
    ASSERT_TRUE(m_doc.Save("saved.json", error)) << error;
    m_doc.Close();

    ASSERT_TRUE(m_doc.Open(PathOf("saved.json"), error)) << error;
    ExpectWindow(Plotted(), zoomed, "reopened");
    ExpectWindow(Ranges(), zoomed, "reopened, properties");
    EXPECT_NE(Ascan()->PeekLinkedViewer(), nullptr);  // linked by name again at the first draw
    EXPECT_EQ(Ascan()->GetControlDetectionEnabled(), TRUE);
}

TEST_F(AscanDocumentTest, DroppingTheViewerKeepsThePicture) {
    Open({ViewerWith("OrvexViewer1", "a.orvex"), AscanNamed("OrvexAscanViewer1", "OrvexViewer1")});
    std::string error;
    ASSERT_TRUE(m_doc.Render(PathOf("before.png"), error)) << error;
    VARIANT none;
    VariantInit(&none);
    none.vt = VT_DISPATCH;
    none.pdispVal = nullptr;
    ASSERT_TRUE(Put("OrvexAscanViewer1", "OrvexViewer", none));
    EXPECT_EQ(Ascan()->PeekLinkedViewer(), nullptr);
    ASSERT_NE(Ascan()->GetPlot(), nullptr);
    ASSERT_TRUE(m_doc.Render(PathOf("after.png"), error)) << error;
    std::ifstream a(PathOf("before.png"), std::ios::binary), b(PathOf("after.png"), std::ios::binary);
    const std::string before((std::istreambuf_iterator<char>(a)), {}), after((std::istreambuf_iterator<char>(b)), {});
    EXPECT_FALSE(before.empty());
    EXPECT_EQ(before, after);
    // Without a viewer a pan to later times has no end to stop at and is refused.
    const SWindow held = Plotted();
    ASSERT_TRUE(Call("OrvexAscanViewer1", "PanLeft"));
    ExpectWindow(Plotted(), held, "pan refused");
}

// The hole echo's time in the plotted samples: the largest amplitude.
float EchoTime(COrvexAscanViewerCtrl* control) {
    const CLinePlotWnd::stLineData& line = control->GetPlot()->m_lines.at(0);
    int best = 0;
    for (int i = 1; i < line.nCount; ++i)
        if (std::fabs(line.pFloatData[i]) > std::fabs(line.pFloatData[best])) best = i;
    return static_cast<float>(best) * control->GetPlot()->m_fXScale;
}

TEST_F(AscanDocumentTest, SteppingTheSnapshotTakesAnUpdate) {
    Open({ViewerWith("OrvexViewer1", "a.orvex"), AscanNamed("OrvexAscanViewer1", "OrvexViewer1")});
    const float first = EchoTime(Ascan());
    // The first snapshot's probe stands over the hole: the echo lies inside the window.
    EXPECT_GT(first, kWindowA.xMin);
    EXPECT_LT(first, kWindowA.xMax);

    VARIANT k;
    VariantInit(&k);
    k.vt = VT_I4;
    k.lVal = 3;
    ASSERT_TRUE(Put("OrvexViewer1", "CurrentSnapShot", k));
    m_doc.Pump(0);
    EXPECT_FLOAT_EQ(EchoTime(Ascan()), first);  // the plot holds what it was given

    CComPtr<IDispatch> ascan = m_doc.GetExtendedControl("OrvexAscanViewer1");
    VARIANT result;
    VariantInit(&result);
    std::string error;
    ASSERT_TRUE(InvokeByName(ascan.get(), "UpdateAscanData", DISPATCH_METHOD, {}, &result, error)) << error;
    EXPECT_EQ(result.vt, VT_BOOL);
    EXPECT_EQ(result.boolVal, VARIANT_TRUE);
    // The probe has moved along the scan line: the strongest echo arrives at another time.
    EXPECT_GT(std::fabs(EchoTime(Ascan()) - first), 0.5f);
}

}  // namespace
