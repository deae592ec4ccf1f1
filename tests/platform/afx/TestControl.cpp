#include "TestControl.h"

#include "platform/com/EnumUnknown.h"
#include "platform/gdi/CDC.h"

namespace {
const DispatchMember kMembers[] = {
    PropertyNotify(1, "FileName", VT_BSTR, &CTestCtrl::m_fileName, &CTestCtrl::OnFileNameChanged),
    PropertyNotify(2, "RayPlotType", VT_I2, &CTestCtrl::m_plotType, nullptr),
    PropertyNotify(3, "RayEndTime", VT_R8, &CTestCtrl::m_endTime, nullptr),
    Property(4, "MaximumRayTime", VT_R8, &CTestCtrl::GetMaximumTime, nullptr),
    Property(5, "Strict", VT_I4, &CTestCtrl::GetStrict, &CTestCtrl::SetStrict),
    Method(6, "Fire", VT_EMPTY, {{"Time", VT_R8}}, &CTestCtrl::Fire),
    Method(7, "ReadOwnName", VT_BSTR, {}, &CTestCtrl::ReadOwnName),
};
const DispatchMember kEvents[] = {
    Event(1, "OnPulseTimeChanged", {{"Time", VT_R8}}),
    Event(2, "DataSrcChange"),
};
}  // namespace

const CDispatchInterface& CTestCtrl::DispatchInterface() {
    static const CDispatchInterface iface("_DTestCtrl", IID_DTestCtrl, "Test control", kMembers);
    return iface;
}

const CDispatchInterface& CTestCtrl::EventInterface() {
    static const CDispatchInterface iface("_DTestCtrlEvents", IID_DTestCtrlEvents, "Test events", kEvents, {},
                                          CDispatchInterface::Role::Events);
    return iface;
}

CTestCtrl::CTestCtrl() {
    InitializeIIDs(&IID_DTestCtrl, &IID_DTestCtrlEvents);
    SetInitialSize(600, 125);
}

void CTestCtrl::OnFileNameChanged() {
    SetModifiedFlag();
    InvalidateControl();
    BoundPropertyChanged(1);
}

BSTR CTestCtrl::ReadOwnName() {
    // Through the control's own IDispatch, as a control finds the name its container gave it.
    VARIANT v;
    VariantInit(&v);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    HRESULT hr = Invoke(DISPID_Name, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr);
    if (FAILED(hr) || v.vt != VT_BSTR) {
        VariantClear(&v);
        ThrowError(hr, "No name.");
    }
    return v.bstrVal;  // the variant's string goes to the caller
}

void CTestCtrl::DoPropExchange(CPropExchange* pPX) {
    ExchangeVersion(pPX, MAKELONG(0, 1));
    COleControl::DoPropExchange(pPX);
    PX_String(pPX, "FileName", m_fileName, "");
    PX_Short(pPX, "RayPlotType", m_plotType, 0);
    PX_Long(pPX, "CurrentSnapShot", m_snapshot, 0);
    PX_Bool(pPX, "IsAnimated", m_animated, FALSE);
    PX_Float(pPX, "WndLeft", m_left, 0.0f);
    PX_Double(pPX, "RayEndTime", m_endTime, 10.0);
    PX_Double(pPX, "PulseAnimateEndLimit", m_endLimit, 50.0);
}

void CTestCtrl::OnResetState() {
    COleControl::OnResetState();
    m_endLimit = 0.0;  // the reset value differs from the stored default
}

void CTestCtrl::OnDraw(CDC* pDC, const CRect& rcBounds, const CRect& rcInvalid) {
    ++m_nDraws;
    m_rcLastBounds = rcBounds;
    m_rcLastInvalid = rcInvalid;
    pDC->FillSolidRect(&rcBounds, RGB(0, 0, 255));
}

void CTestCtrl::OnDrawMetafile(CDC* pDC, const CRect& rcBounds) {
    ++m_nMetafileDraws;
    COleControl::OnDrawMetafile(pDC, rcBounds);
}

// ---- The container

// The extended control: answers the name itself and passes every other member to the control.
class CTestExtender final : public IDispatch, private CComRefCount {
public:
    CTestExtender(CTestSite* site, IDispatch* control) : m_pSite(site), m_pControl(control) { control->AddRef(); }
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_DTestCtrl) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetTypeInfoCount(UINT* p) override {
        *p = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT n, LCID lcid, DISPID* ids) override {
        if (n == 1 && DispatchNamesEqual(names[0], "Name")) {
            ids[0] = DISPID_Name;
            return S_OK;
        }
        return m_pControl ? m_pControl->GetIDsOfNames(riid, names, n, lcid, ids) : DISP_E_UNKNOWNNAME;
    }
    HRESULT Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* dp, VARIANT* result, EXCEPINFO* ei,
                   UINT* argErr) override {
        if (id == DISPID_Name && (flags & DISPATCH_PROPERTYGET) && result) {
            ++m_nNameReads;
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringFrom(m_pSite->m_name);
            return S_OK;
        }
        ++m_nForwarded;
        return m_pControl ? m_pControl->Invoke(id, riid, lcid, flags, dp, result, ei, argErr) : DISP_E_MEMBERNOTFOUND;
    }
    void Detach() {
        if (m_pControl) m_pControl->Release();
        m_pControl = nullptr;
    }
    int m_nNameReads = 0;
    int m_nForwarded = 0;

private:
    ~CTestExtender() override { Detach(); }
    CTestSite* m_pSite;
    IDispatch* m_pControl;
};

CTestSite::CTestSite(CTestContainer* container, std::string name, IDispatch* control)
    : m_name(std::move(name)), m_pExtender(new CTestExtender(this, control)), m_pContainer(container) {}

CTestSite::~CTestSite() { Detach(); }

void CTestSite::Detach() {
    if (m_pExtender) {
        static_cast<CTestExtender*>(m_pExtender)->Detach();
        m_pExtender->Release();
        m_pExtender = nullptr;
    }
}

HRESULT CTestSite::QueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleControlSite)
        *ppv = static_cast<IOleControlSite*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT CTestSite::GetContainer(IOleContainer** pp) {
    *pp = m_pContainer;
    if (!m_pContainer) return E_NOINTERFACE;
    m_pContainer->AddRef();
    return S_OK;
}

HRESULT CTestSite::GetExtendedControl(IDispatch** pp) {
    *pp = m_pExtender;
    if (!m_pExtender) return E_NOINTERFACE;
    m_pExtender->AddRef();
    return S_OK;
}

CComPtr<CTestContainer> CTestContainer::Create() {
    CComPtr<CTestContainer> c;
    c.Attach(new CTestContainer());
    return c;
}

HRESULT CTestContainer::QueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IUnknown || riid == IID_IOleContainer) {
        *ppv = static_cast<IOleContainer*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT CTestContainer::EnumObjects(DWORD, IEnumUnknown** ppenum) { return CEnumUnknown::Create(m_controls, ppenum); }

void CTestContainer::Add(IUnknown* control, const std::string& name) {
    void* pv = nullptr;
    control->QueryInterface(IID_IDispatch, &pv);
    auto* disp = static_cast<IDispatch*>(pv);
    auto* site = new CTestSite(this, name, disp);
    disp->Release();
    control->AddRef();
    m_controls.push_back(control);
    m_sites.push_back(site);
    CComPtr<IOleObject> ole;
    if (SUCCEEDED(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole))))
        ole->SetClientSite(site);
}

void CTestContainer::Close() {
    for (size_t i = 0; i < m_controls.size(); ++i) {
        CComPtr<IOleObject> ole;
        if (SUCCEEDED(m_controls[i]->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole))))
            ole->SetClientSite(nullptr);
        m_sites[i]->Detach();
        m_sites[i]->Release();
        m_controls[i]->Release();
    }
    m_controls.clear();
    m_sites.clear();
}
