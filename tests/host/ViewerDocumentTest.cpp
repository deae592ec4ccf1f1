// The real viewer in documents and the render job: files open relative to the document, the
// viewer finds linked A-scan controls through the container, and rendered pictures change with
// the view and the plot type.
#include <fstream>

#include "HostTestSupport.h"
#include "geometry/OrvexFile.h"
#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "host/RenderJob.h"
#include "ids/OrvexAscanViewerIds.h"
#include "platform/afx/COleObjectFactory.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"
#include "simulation/Generator.h"

namespace {

// Stands in for the A-scan control: the viewer recognises it by its dispatch interface and calls
// RefreshAscan on it when OrvexViewerName names the viewer.
class CFakeAscanCtrl : public COleControl {
public:
    CFakeAscanCtrl() { InitializeIIDs(&IID_DOrvexAscanViewer, nullptr); }
    std::string m_viewerName;
    int m_refreshes = 0;
    void RefreshAscan() { ++m_refreshes; }

    static const CDispatchInterface& Interface() {
        static const DispatchMember members[] = {
            PropertyNotify(DISPID_ASCAN_ORVEXVIEWERNAME, "OrvexViewerName", VT_BSTR, &CFakeAscanCtrl::m_viewerName,
                           nullptr),
            Method(DISPID_ASCAN_REFRESHASCAN, "RefreshAscan", VT_EMPTY, {}, &CFakeAscanCtrl::RefreshAscan),
        };
        static const CDispatchInterface iface("_DFakeAscan", IID_DOrvexAscanViewer, "A-scan stand-in", members);
        return iface;
    }

protected:
    const CDispatchInterface& GetDispatchInterface() const override { return Interface(); }
    void DoPropExchange(CPropExchange* pPX) override { PX_String(pPX, "OrvexViewerName", m_viewerName, ""); }
};

// {3A1D6E52-94C7-4B0F-A1E3-5C7D2B9F4A10}
constexpr CLSID CLSID_FakeAscan = {0x3A1D6E52, 0x94C7, 0x4B0F, {0xA1, 0xE3, 0x5C, 0x7D, 0x2B, 0x9F, 0x4A, 0x10}};
constexpr const char* kFakeAscanProgID = "ORVEXHOSTTEST.FakeAscan.1";
const COleObjectFactory kFakeAscanFactory(CLSID_FakeAscan, &COleControl::CreateObject<CFakeAscanCtrl>, TRUE,
                                          kFakeAscanProgID);

class ViewerDocumentTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        stSimulationOptions options;
        options.m_rays = 8;
        options.m_snapshots = 2;
        options.m_samples = 256;
        CSimulationData data;
        GenerateSimulation(options, data);
        std::filesystem::create_directories(m_folder / "data");
        std::string error;
        ASSERT_TRUE(SaveOrvexFile(PathOf("data/s.orvex"), data, error)) << error;
    }

    // Renders with the given options into a bitmap; false when the job fails.
    bool RenderTo(SRenderOptions options, CBitmap& picture, const std::string& name) {
        options.inputPath = PathOf("data/s.orvex");
        options.outputPath = PathOf(name);
        std::string error;
        if (!RunRenderJob(options, error)) {
            ADD_FAILURE() << error;
            return false;
        }
        return LoadBitmapPng(options.outputPath, picture);
    }
};

int CountNonWhite(const CBitmap& picture) {
    int n = 0;
    const uint32_t* p = picture.GetPixels();
    for (int i = 0; i < picture.GetWidth() * picture.GetHeight(); ++i) n += (p[i] & 0xFFFFFF) != 0xFFFFFF;
    return n;
}

bool SamePixels(const CBitmap& a, const CBitmap& b) {
    if (a.GetWidth() != b.GetWidth() || a.GetHeight() != b.GetHeight()) return false;
    return std::equal(a.GetPixels(), a.GetPixels() + a.GetWidth() * a.GetHeight(), b.GetPixels());
}

TEST_F(ViewerDocumentTest, RelativeFileNamesOpenFromTheDocumentsFolder) {
    const std::string text = std::string(R"({"page": {"width": 400, "height": 300}, "controls": [
        {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "OrvexViewer1", "rect": [0, 0, 400, 300],
         "properties": {"FileName": "data/s.orvex", "RayPlotType": 1}},
        {"progid": ")") + kFakeAscanProgID + R"(", "name": "Linked", "rect": [0, 0, 0, 0],
         "properties": {"OrvexViewerName": "OrvexViewer1"}},
        {"progid": ")" + kFakeAscanProgID + R"(", "name": "Other", "rect": [0, 0, 0, 0],
         "properties": {"OrvexViewerName": "orvexviewer1"}} ]})";
    CHostDocument doc;
    std::string error;
    ASSERT_TRUE(doc.Open(WriteFile("doc.json", text), error)) << error;
    EXPECT_TRUE(doc.GetMessages().empty()) << doc.GetMessages().front();

    CComPtr<IDispatch> viewer = doc.GetExtendedControl("OrvexViewer1");
    VARIANT v;
    VariantInit(&v);
    ASSERT_TRUE(InvokeByName(viewer.get(), "NumberOfSnapShots", DISPATCH_PROPERTYGET, {}, &v, error)) << error;
    EXPECT_EQ(v.lVal, 2);

    // The paint pass that ends opening ran the viewer's first draw, which refreshed the A-scan
    // control named after it (names compare exactly) through the container.
    EXPECT_EQ(static_cast<CFakeAscanCtrl*>(doc.GetControl("Linked"))->m_refreshes, 1);
    EXPECT_EQ(static_cast<CFakeAscanCtrl*>(doc.GetControl("Other"))->m_refreshes, 0);
    EXPECT_NE(std::find(doc.Trace().begin(), doc.Trace().end(), "And the name is ... OrvexViewer1"),
              doc.Trace().end());
    // Without stored view keys the document shows the file's view.
    ASSERT_TRUE(doc.Render(PathOf("page.png"), error)) << error;
    CBitmap page;
    ASSERT_TRUE(LoadBitmapPng(PathOf("page.png"), page));
    EXPECT_GT(CountNonWhite(page), 500);

    viewer.Release();
    ASSERT_TRUE(doc.Save("again.json", error));
    SDocumentModel saved;
    std::vector<std::string> warnings;
    ASSERT_TRUE(LoadDocumentFile(PathOf("again.json"), saved, error, warnings)) << error;
    const auto& props = saved.controls[0].properties;
    auto fileName = std::find_if(props.begin(), props.end(), [](const auto& p) { return p.name == "FileName"; });
    ASSERT_NE(fileName, props.end());
    EXPECT_EQ(std::get<std::string>(fileName->value), "data/s.orvex");  // as written, not made absolute
}

double ReadNumber(IDispatch* disp, const char* name) {
    VARIANT v;
    VariantInit(&v);
    std::string error;
    EXPECT_TRUE(InvokeByName(disp, name, DISPATCH_PROPERTYGET, {}, &v, error)) << error;
    VARIANT d;
    VariantInit(&d);
    EXPECT_EQ(VariantChangeType(&d, &v, 0, VT_R8), S_OK);
    VariantClear(&v);
    return d.dblVal;
}

// A key the document leaves out keeps what the file set (view, animation limits); a key it stores
// wins over the file; and without a file the stored defaults hold.
TEST_F(ViewerDocumentTest, MissingKeysKeepWhatTheFileSet) {
    CSimulationData data;
    std::string error;
    ASSERT_TRUE(LoadOrvexFile(PathOf("data/s.orvex"), data, error)) << error;
    const auto viewer = [&](const std::string& props) {
        return std::string(R"({"page": {"width": 300, "height": 200}, "controls": [
            {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "V", "rect": [0, 0, 300, 200],
             "properties": {)") + props + "}}]}";
    };
    {
        CHostDocument doc;
        ASSERT_TRUE(doc.Open(WriteFile("plain.json", viewer(R"("FileName": "data/s.orvex")")), error)) << error;
        CComPtr<IDispatch> v = doc.GetExtendedControl("V");
        EXPECT_FLOAT_EQ(ReadNumber(v.get(), "WndTop"), static_cast<float>(data.m_viewRect.top));
        EXPECT_FLOAT_EQ(ReadNumber(v.get(), "WndRight"), static_cast<float>(data.m_viewRect.right));
        EXPECT_DOUBLE_EQ(ReadNumber(v.get(), "XAxisX"), data.m_viewFrame.GetXAxis().x);
        EXPECT_DOUBLE_EQ(ReadNumber(v.get(), "YAxisY"), data.m_viewFrame.GetYAxis().y);
        const double maxTime = ReadNumber(v.get(), "MaximumRayTime");
        EXPECT_NE(maxTime, 50.0);
        EXPECT_EQ(ReadNumber(v.get(), "PulseAnimateEndLimit"), static_cast<double>(static_cast<int>(maxTime)));
        // Unchanged by the file: the stored default.
        EXPECT_EQ(ReadNumber(v.get(), "RayEndTime"), 10.0);
    }
    {
        CHostDocument doc;
        ASSERT_TRUE(doc.Open(WriteFile("stored.json", viewer(R"("FileName": "data/s.orvex", "WndTop": 7.5,
                                                                 "PulseAnimateEndLimit": 3)")),
                             error))
            << error;
        CComPtr<IDispatch> v = doc.GetExtendedControl("V");
        EXPECT_EQ(ReadNumber(v.get(), "WndTop"), 7.5);
        EXPECT_EQ(ReadNumber(v.get(), "PulseAnimateEndLimit"), 3.0);
        // The other view keys are absent: they keep the file's.
        EXPECT_FLOAT_EQ(ReadNumber(v.get(), "WndRight"), static_cast<float>(data.m_viewRect.right));
    }
    {
        CHostDocument doc;
        ASSERT_TRUE(doc.Open(WriteFile("nofile.json", viewer(R"("RayPlotType": 1)")), error)) << error;
        CComPtr<IDispatch> v = doc.GetExtendedControl("V");
        EXPECT_EQ(ReadNumber(v.get(), "PulseAnimateEndLimit"), 50.0);
        EXPECT_EQ(ReadNumber(v.get(), "WndBottom"), 40.0);
    }
}

TEST_F(ViewerDocumentTest, RenderDrawsEachViewDifferently) {
    CBitmap front, side, top, plain;
    SRenderOptions options;
    ASSERT_TRUE(RenderTo(options, plain, "plain.png"));
    EXPECT_EQ(plain.GetWidth(), 500);  // the viewer's initial size
    EXPECT_EQ(plain.GetHeight(), 400);
    options.view = SRenderOptions::EView::Front;
    ASSERT_TRUE(RenderTo(options, front, "front.png"));
    options.view = SRenderOptions::EView::Side;
    ASSERT_TRUE(RenderTo(options, side, "side.png"));
    options.view = SRenderOptions::EView::Top;
    ASSERT_TRUE(RenderTo(options, top, "top.png"));
    for (const CBitmap* b : {&plain, &front, &side, &top}) EXPECT_GT(CountNonWhite(*b), 500);
    EXPECT_FALSE(SamePixels(front, side));
    EXPECT_FALSE(SamePixels(front, top));
    EXPECT_FALSE(SamePixels(side, top));

    // The turns apply after the view: rotating the top view by zero changes nothing, by 30 it does.
    CBitmap turned;
    options.rotate = 0.0f;
    ASSERT_TRUE(RenderTo(options, turned, "top0.png"));
    EXPECT_TRUE(SamePixels(turned, top));
    options.rotate = 30.0f;
    ASSERT_TRUE(RenderTo(options, turned, "top30.png"));
    EXPECT_FALSE(SamePixels(turned, top));
}

TEST_F(ViewerDocumentTest, RenderDrawsLessOfTheRaysWhenCutAtATime) {
    CBitmap full, end, pulse;
    SRenderOptions options;
    options.width = 300;
    options.height = 240;
    options.time = 12.0;
    options.plotType = 0;
    ASSERT_TRUE(RenderTo(options, full, "full.png"));
    options.plotType = 1;
    ASSERT_TRUE(RenderTo(options, end, "end.png"));
    options.plotType = 2;
    ASSERT_TRUE(RenderTo(options, pulse, "pulse.png"));
    EXPECT_EQ(full.GetWidth(), 300);
    EXPECT_EQ(full.GetHeight(), 240);
    // Full rays cover more than rays cut at 12, which cover more than the pulse around 12.
    EXPECT_GT(CountNonWhite(full), CountNonWhite(end));
    EXPECT_GT(CountNonWhite(end), CountNonWhite(pulse));
}

TEST_F(ViewerDocumentTest, UnreadableFilesFailTheJobWithoutAPicture) {
    {
        std::ofstream bad(PathOf("bad.orvex"), std::ios::binary);
        const char wrongFormat[8] = {1, 0, 0, 0, 0, 0, 0, 0};  // format number 1
        bad.write(wrongFormat, sizeof wrongFormat);
    }
    const std::string inputs[] = {PathOf("missing.orvex"), PathOf("bad.orvex"), m_folder.string()};
    for (const std::string& input : inputs) {
        SRenderOptions options;
        options.inputPath = input;
        options.outputPath = PathOf("out.png");
        std::string error;
        EXPECT_FALSE(RunRenderJob(options, error)) << input;
        EXPECT_NE(error.find(input), std::string::npos) << "the message names the file: " << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
        EXPECT_FALSE(std::filesystem::exists(PathOf("out.png"))) << input;
    }
}

}  // namespace
