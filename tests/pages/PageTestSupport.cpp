#include "pages/PageTestSupport.h"

#include "pages/PageResourceIds.h"
#include "pages/PageTemplates.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CFileDialog.h"
#include "platform/afx/DataExchange.h"
#include "platform/com/EnumUnknown.h"
#include "platform/com/LiveObjects.h"

// ---- CTestExtender

CTestExtender::CTestExtender(IDispatch* target, std::vector<IID> iids, std::string name)
    : m_target(target), m_iids(std::move(iids)), m_name(std::move(name)) {}

HRESULT CTestExtender::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    bool answered = riid == IID_IUnknown || riid == IID_IDispatch;
    for (const IID& iid : m_iids) answered = answered || riid == iid;
    if (!answered) {
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    *ppvObject = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

HRESULT CTestExtender::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo) *pctinfo = 0;
    return S_OK;
}

HRESULT CTestExtender::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo) *ppTInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT CTestExtender::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) {
    if (m_target == nullptr) return DISP_E_UNKNOWNNAME;
    return m_target->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
}

HRESULT CTestExtender::Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                              VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) {
    if (dispIdMember == DISPID_Name) {
        if (m_bNameFails || pVarResult == nullptr) return DISP_E_MEMBERNOTFOUND;
        VariantInit(pVarResult);
        pVarResult->vt = VT_BSTR;
        pVarResult->bstrVal = SysAllocStringFrom(m_name);
        return S_OK;
    }
    if (IsExtenderDispid(dispIdMember) || m_target == nullptr) return DISP_E_MEMBERNOTFOUND;
    return m_target->Invoke(dispIdMember, riid, lcid, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
}

// ---- CTestSite

CTestSite::CTestSite(CTestContainer* container, CTestExtender* extender) : m_container(container), m_extender(extender) {
    m_container->AddRef();
    m_extender->AddRef();
}

HRESULT CTestSite::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
        *ppvObject = static_cast<IOleClientSite*>(this);
    } else if (riid == IID_IOleControlSite) {
        *ppvObject = static_cast<IOleControlSite*>(this);
    } else {
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT CTestSite::GetContainer(IOleContainer** ppContainer) {
    if (ppContainer == nullptr) return E_POINTER;
    *ppContainer = nullptr;
    if (m_bNoContainer || m_container == nullptr) return E_NOINTERFACE;
    m_container->AddRef();
    *ppContainer = m_container;
    return S_OK;
}

HRESULT CTestSite::GetExtendedControl(IDispatch** ppDisp) {
    if (ppDisp == nullptr) return E_POINTER;
    *ppDisp = m_extender;
    if (m_extender == nullptr) return E_NOTIMPL;
    m_extender->AddRef();
    return S_OK;
}

void CTestSite::Detach() {
    if (m_container) std::exchange(m_container, nullptr)->Release();
    if (m_extender) std::exchange(m_extender, nullptr)->Release();
}

// ---- CTestContainer

HRESULT CTestContainer::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleContainer) {
        *ppvObject = static_cast<IOleContainer*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT CTestContainer::EnumObjects(DWORD, IEnumUnknown** ppenum) { return CEnumUnknown::Create(m_objects, ppenum); }

void CTestContainer::Add(IUnknown* object) {
    object->AddRef();
    m_objects.push_back(object);
}

void CTestContainer::Clear() {
    for (IUnknown* o : m_objects) o->Release();
    m_objects.clear();
}

// ---- PageTest

void PageTest::SetUp() {
    m_resources.strings = {{IDS_ORVEXVIEWER_PPG_CAPTION, "General"},
                           {IDS_ORVEXVIEWER_PPG2_CAPTION, "View"},
                           {IDS_ORVEXASCANVIEWER_PPG_CAPTION, "General"}};
    m_resources.dialogs = {{IDD_PROPPAGE_ORVEXVIEWER, &GetOrvexViewerPropPageTemplate()},
                           {IDD_PROPPAGE_ORVEXVIEWER2, &GetOrvexViewerPropPage2Template()},
                           {IDD_PROPPAGE_ORVEXASCANVIEWER, &GetOrvexAscanViewerPropPageTemplate()}};
    AfxSetResourceHandle(&m_resources);
    AfxSetMessageBoxHandler([this](const std::string& text, UINT) {
        m_messages.push_back(text);
        return IDOK;
    });
    CFileDialog::SetAnswerProvider([this](const CFileDialog& d) {
        m_fileDialogs.push_back(d.GetDefExt() + "|" + std::to_string(d.GetFlags()) + "|" + d.GetFilter());
        return std::exchange(m_fileAnswer, std::nullopt);
    });
    m_trace = std::make_unique<CDebugOutputCapture>();
    m_container = new CTestContainer;
}

void PageTest::TearDown() {
    for (COlePropertyPage* p : m_pages) {
        p->Deactivate();
        p->Release();
    }
    m_pages.clear();
    for (Entry& e : m_entries) {
        e.control->SetClientSite(nullptr);
        e.site->Detach();
        e.site->Release();
        e.extender->Detach();
        e.extender->Release();
        e.control->Release();
    }
    m_entries.clear();
    m_container->Clear();
    m_container->Release();
    m_trace.reset();
    AfxSetMessageBoxHandler({});
    CFileDialog::SetAnswerProvider({});
    AfxSetResourceHandle(nullptr);
    EXPECT_EQ(CComLiveObject::GetLiveCount(), 0);
}

void PageTest::Place(COleControl* control, const std::string& name, std::vector<IID> iids) {
    auto* extender = new CTestExtender(static_cast<IDispatch*>(control), std::move(iids), name);
    auto* site = new CTestSite(m_container, extender);
    control->SetClientSite(site);
    control->InitNew();
    m_container->Add(control->GetControllingUnknown());
    m_entries.push_back({control, site, extender});
}

std::string PageTest::GetText(COleControl* control, const char* name) {
    VARIANT v;
    EXPECT_TRUE(AfxGetObjectProperty(static_cast<IDispatch*>(control), name, VT_BSTR, &v)) << name;
    std::string text = StringFromBstr(v.bstrVal);
    VariantClear(&v);
    return text;
}

double PageTest::GetNumber(COleControl* control, const char* name) {
    VARIANT v;
    EXPECT_TRUE(AfxGetObjectProperty(static_cast<IDispatch*>(control), name, VT_R8, &v)) << name;
    return v.dblVal;
}

void PageTest::SetProperty(COleControl* control, const char* name, const VARIANT& value) {
    EXPECT_TRUE(AfxSetObjectProperty(static_cast<IDispatch*>(control), name, value)) << name;
}

void PageTest::SetText(COleControl* control, const char* name, const std::string& text) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocStringFrom(text);
    SetProperty(control, name, v);
    VariantClear(&v);
}

void PageTest::SetNumber(COleControl* control, const char* name, double value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    SetProperty(control, name, v);
}
