// NotifyLinkedAscanControls over the container protocol (common/FakeContainer.h) with objects of
// our own: A-scan-like controls, an object without IOleObject, an object without property 5.
#include "ViewerTestSupport.h"

#include <memory>
#include <optional>

#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexViewerIds.h"
#include "common/FakeContainer.h"
#include "platform/afx/DebugOutput.h"

using namespace viewer_test;

namespace {

// An object of the container other than the viewer: an A-scan-like control (IOleObject, a site and
// an extender answering the A-scan interface), or a plain automation object without IOleObject.
class CTestObject final : public IOleObject, public CFakeDispatchNoTypeInfo, private CComRefCount {
public:
    CTestObject(bool oleObject, std::optional<std::string> viewerName)
        : m_bOleObject(oleObject), m_viewerName(std::move(viewerName)) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) return fake::Answer(static_cast<IDispatch*>(this), ppv);
        if (riid == IID_IOleObject && m_bOleObject) return fake::Answer(static_cast<IOleObject*>(this), ppv);
        return fake::NoInterface(ppv);
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT SetClientSite(IOleClientSite* site) override {
        m_site = site;
        return S_OK;
    }
    HRESULT GetClientSite(IOleClientSite** pp) override {
        *pp = m_site.get();
        if (*pp) (*pp)->AddRef();
        return *pp ? S_OK : E_FAIL;
    }
    HRESULT DoVerb(LONG) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id == DISPID_ASCAN_ORVEXVIEWERNAME && m_viewerName) return fake::AnswerName(*m_viewerName, result);
        if (id == DISPID_ASCAN_REFRESHASCAN) {
            ++m_nRefreshes;
            return S_OK;
        }
        return DISP_E_MEMBERNOTFOUND;
    }
    bool m_bOleObject;
    std::optional<std::string> m_viewerName;
    int m_nRefreshes = 0;
    CComPtr<IOleClientSite> m_site;

private:
    ~CTestObject() override = default;
};

class LinkedAscanNotifyTest : public ViewerTest {
protected:
    void SetUp() override {
        ViewerTest::SetUp();
        m_document = std::make_unique<CFakeDocument>();  // after the fixture counted the live objects
        // The viewer first, as a document lists it.
        m_viewerSite = m_document->AddControl(m_ctrl->GetControllingUnknown(), "OrvexViewer1", {IID_DOrvexViewer});
    }
    void TearDown() override {
        m_document.reset();
        for (CTestObject* o : m_objects) o->Release();
        m_objects.clear();
        ViewerTest::TearDown();
    }
    // Adds an object; `oleObject` objects get a site whose extender answers the A-scan interface
    // (or, with asViewer, the viewer's), others are reached through their IDispatch alone.
    CTestObject* Add(bool oleObject, std::optional<std::string> viewerName, bool asViewer = false) {
        auto* o = new CTestObject(oleObject, std::move(viewerName));
        if (oleObject) {
            const IID& answered = asViewer ? IID_DOrvexViewer : IID_DOrvexAscanViewer;
            m_document->AddControl(static_cast<IDispatch*>(o), "Other", {answered});
        } else {
            m_document->AddOther(static_cast<IDispatch*>(o));
        }
        m_objects.push_back(o);
        return o;
    }
    // Loads data and draws on a screen context: the draw that runs the notification.
    void LoadAndDraw() {
        LoadData(LoadDataJson("scene.json"));
        CCanvas screen(50, 40);
        m_ctrl->Draw(DVASPECT_CONTENT, &screen.dc, CRect(0, 0, 50, 40));
    }

    std::unique_ptr<CFakeDocument> m_document;
    CFakeSite* m_viewerSite = nullptr;  // the document's
    std::vector<CTestObject*> m_objects;
};

}  // namespace

TEST_F(LinkedAscanNotifyTest, RefreshesEveryAscanControlLinkedByName) {
    CTestObject* linked1 = Add(true, "OrvexViewer1");
    CTestObject* other = Add(true, "OrvexViewer2");
    CTestObject* caseOnly = Add(true, "orvexviewer1");          // names compare case-sensitively
    CTestObject* plain = Add(false, "OrvexViewer1");            // no IOleObject: taken without a check
    CTestObject* noName = Add(true, std::nullopt);              // no property 5: skipped
    CTestObject* viewerLike = Add(true, "OrvexViewer1", true);  // not an A-scan control
    CTestObject* linked2 = Add(true, "OrvexViewer1");
    CDebugOutputCapture trace;
    LoadAndDraw();

    EXPECT_EQ(m_document->GetContainer()->m_lastFlags, OLECONTF_EMBEDDINGS | OLECONTF_OTHERS);
    EXPECT_EQ(linked1->m_nRefreshes, 1);
    EXPECT_EQ(linked2->m_nRefreshes, 1);
    EXPECT_EQ(plain->m_nRefreshes, 1);
    EXPECT_EQ(other->m_nRefreshes, 0);
    EXPECT_EQ(caseOnly->m_nRefreshes, 0);
    EXPECT_EQ(noName->m_nRefreshes, 0);
    EXPECT_EQ(viewerLike->m_nRefreshes, 0);
    // One line per candidate whose name was read, in enumeration order.
    EXPECT_EQ(trace.GetLines(), (std::vector<std::string>{
                                    "And the name is ... OrvexViewer1",
                                    "And the name is ... OrvexViewer2",
                                    "And the name is ... orvexviewer1",
                                    "And the name is ... OrvexViewer1",
                                    "And the name is ... OrvexViewer1",
                                }));

    // Only the first screen draw after a load notifies.
    CCanvas screen(50, 40);
    m_ctrl->Draw(DVASPECT_CONTENT, &screen.dc, CRect(0, 0, 50, 40));
    EXPECT_EQ(linked1->m_nRefreshes, 1);
}

TEST_F(LinkedAscanNotifyTest, NothingWithoutDetectionOrContainer) {
    CTestObject* linked = Add(true, "OrvexViewer1");
    m_ctrl->SetControlDetectionEnabled(FALSE);
    LoadAndDraw();
    EXPECT_EQ(linked->m_nRefreshes, 0);

    // A site that cannot reach its container says so once on the debugger output.
    m_ctrl->SetControlDetectionEnabled(TRUE);
    m_viewerSite->m_bFailGetContainer = true;
    CDebugOutputCapture trace;
    LoadAndDraw();
    EXPECT_EQ(trace.GetLines(), std::vector<std::string>{"Unable to get to the container."});
    EXPECT_EQ(linked->m_nRefreshes, 0);
}
