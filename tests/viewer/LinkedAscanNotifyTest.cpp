// NotifyLinkedAscanControls over the container protocol, with small container objects of our own:
// A-scan-like controls, an object without IOleObject, an object without property 5.
#include "ViewerTestSupport.h"

#include <optional>

#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexViewerIds.h"
#include "platform/afx/DebugOutput.h"
#include "platform/com/EnumUnknown.h"

using namespace viewer_test;

namespace {

// The container: enumerates its objects in the order they were added.
class CTestContainer final : public IOleContainer, private CComRefCount {
public:
    CTestContainer() = default;
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IOleContainer) {
            *ppv = static_cast<IOleContainer*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT EnumObjects(DWORD flags, IEnumUnknown** ppenum) override {
        m_lastFlags = flags;
        return CEnumUnknown::Create(m_objects, ppenum);
    }
    std::vector<IUnknown*> m_objects;  // not owned: the fixture owns the objects
    DWORD m_lastFlags = 0;

private:
    ~CTestContainer() override = default;
};

// An extended control: answers the container's name property and passes the rest to its control.
class CTestExtender final : public IDispatch, private CComRefCount {
public:
    CTestExtender(std::string name, const IID& marker, IDispatch* inner) : m_name(std::move(name)), m_marker(marker), m_inner(inner) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_marker) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                   EXCEPINFO* info, UINT* argErr) override {
        if (id == DISPID_Name) {
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringFrom(m_name);
            return S_OK;
        }
        if (m_inner == nullptr) return DISP_E_MEMBERNOTFOUND;
        return m_inner->Invoke(id, riid, lcid, flags, params, result, info, argErr);
    }
    std::string m_name;
    IID m_marker;
    IDispatch* m_inner;  // the control it wraps; not owned (the control outlives its extender)

private:
    ~CTestExtender() override = default;
};

// A client site with a control site: the container and the extended control of one object.
class CTestSite final : public IOleClientSite, public IOleControlSite, private CComRefCount {
public:
    CTestSite(CTestContainer* container, CTestExtender* extender) : m_container(container), m_extender(extender) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
            *ppv = static_cast<IOleClientSite*>(this);
        } else if (riid == IID_IOleControlSite) {
            *ppv = static_cast<IOleControlSite*>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetContainer(IOleContainer** pp) override {
        *pp = m_container.get();
        if (*pp == nullptr) return E_NOINTERFACE;
        (*pp)->AddRef();
        return S_OK;
    }
    HRESULT GetExtendedControl(IDispatch** pp) override {
        *pp = m_extender.get();
        if (*pp == nullptr) return E_NOTIMPL;
        (*pp)->AddRef();
        return S_OK;
    }
    CComPtr<CTestContainer> m_container;
    CComPtr<CTestExtender> m_extender;

private:
    ~CTestSite() override = default;
};

// An object of the container other than the viewer: an A-scan-like control (IOleObject, a site and
// an extender answering the A-scan interface), or a plain automation object without IOleObject.
class CTestObject final : public IOleObject, public IDispatch, private CComRefCount {
public:
    CTestObject(bool oleObject, std::optional<std::string> viewerName)
        : m_bOleObject(oleObject), m_viewerName(std::move(viewerName)) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) {
            *ppv = static_cast<IDispatch*>(this);
        } else if (riid == IID_IOleObject && m_bOleObject) {
            *ppv = static_cast<IOleObject*>(this);
        } else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
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
    HRESULT GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id == DISPID_ASCAN_ORVEXVIEWERNAME && m_viewerName) {
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringFrom(*m_viewerName);
            return S_OK;
        }
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
        m_container.Attach(new CTestContainer);
        // The viewer first, as a document lists it.
        m_viewerExtender.Attach(new CTestExtender("OrvexViewer1", IID_DOrvexViewer, m_ctrl));
        m_viewerSite.Attach(new CTestSite(m_container.get(), m_viewerExtender.get()));
        m_ctrl->SetClientSite(m_viewerSite.get());
        m_container->m_objects.push_back(m_ctrl->GetControllingUnknown());
    }
    void TearDown() override {
        m_ctrl->SetClientSite(nullptr);
        for (CTestObject* o : m_objects) {
            o->m_site.Release();
            o->Release();
        }
        m_objects.clear();
        m_viewerSite.Release();
        m_viewerExtender.Release();
        m_container.Release();
        ViewerTest::TearDown();
    }
    // Adds an object; `oleObject` objects get a site whose extender answers the A-scan interface
    // (or, with asViewer, the viewer's), others are reached through their IDispatch alone.
    CTestObject* Add(bool oleObject, std::optional<std::string> viewerName, bool asViewer = false) {
        auto* o = new CTestObject(oleObject, std::move(viewerName));
        if (oleObject) {
            CComPtr<CTestExtender> ext;
            ext.Attach(new CTestExtender("Other", asViewer ? IID_DOrvexViewer : IID_DOrvexAscanViewer, o));
            CComPtr<CTestSite> site;
            site.Attach(new CTestSite(m_container.get(), ext.get()));
            o->SetClientSite(site.get());
        }
        m_objects.push_back(o);
        m_container->m_objects.push_back(static_cast<IDispatch*>(o));
        return o;
    }
    // Loads data and draws on a screen context: the draw that runs the notification.
    void LoadAndDraw() {
        LoadData(LoadDataJson("scene.json"));
        CCanvas screen(50, 40);
        m_ctrl->Draw(DVASPECT_CONTENT, &screen.dc, CRect(0, 0, 50, 40));
    }

    CComPtr<CTestContainer> m_container;
    CComPtr<CTestExtender> m_viewerExtender;
    CComPtr<CTestSite> m_viewerSite;
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

    EXPECT_EQ(m_container->m_lastFlags, OLECONTF_EMBEDDINGS | OLECONTF_OTHERS);
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
    CComPtr<CTestContainer> container = m_viewerSite->m_container;
    m_viewerSite->m_container.Release();
    CDebugOutputCapture trace;
    LoadAndDraw();
    EXPECT_EQ(trace.GetLines(), std::vector<std::string>{"Unable to get to the container."});
    EXPECT_EQ(linked->m_nRefreshes, 0);
    m_viewerSite->m_container = container;
}
