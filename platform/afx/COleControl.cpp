#include "platform/afx/COleControl.h"

#include <cassert>
#include <new>

#include "platform/afx/COleObjectFactory.h"
#include "platform/com/TypeLib.h"
#include "platform/gdi/CDC.h"
#include "platform/win/CPaintDC.h"
#include "platform/win/WinApi.h"

namespace {
COleControl::PropertyFrameHook& FrameHook() {
    static COleControl::PropertyFrameHook hook;
    return hook;
}
// The container's ambient property that tells design mode from user mode.
constexpr DISPID DISPID_AMBIENT_USERMODE = -709;
}  // namespace

COleControl::PropertyFrameHook COleControl::SetPropertyFrameHook(PropertyFrameHook hook) {
    PropertyFrameHook previous = std::move(FrameHook());
    FrameHook() = std::move(hook);
    return previous;
}

COleControl::COleControl() : m_propNotifyPoint(this, IID_IPropertyNotifySink) { AfxOleLockApp(); }

COleControl::~COleControl() {
    // Normally done by OnFinalRelease; a control deleted without it still lets go of everything.
    m_propNotifyPoint.UnadviseAll();
    if (m_eventPoint) m_eventPoint->UnadviseAll();
    if (m_pClientSite) {
        m_pClientSite->Release();
        m_pClientSite = nullptr;
    }
    AfxOleUnlockApp();
}

void COleControl::InitializeIIDs(const IID* piidPrimary, const IID* piidEvents) {
    if (piidPrimary) m_iidPrimary = *piidPrimary;
    if (piidEvents) m_eventPoint.emplace(this, *piidEvents);
}

// ---- IUnknown

HRESULT COleControl::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    if (riid == IID_IUnknown || riid == IID_IDispatch || (riid == m_iidPrimary && riid != IID_NULL) ||
        riid == GetDispatchInterface().GetIID())
        *ppvObject = static_cast<IDispatch*>(this);
    else if (riid == IID_IOleObject)
        *ppvObject = static_cast<IOleObject*>(this);
    else if (riid == IID_IViewObject)
        *ppvObject = static_cast<IViewObject*>(this);
    else if (riid == IID_IConnectionPointContainer)
        *ppvObject = static_cast<IConnectionPointContainer*>(this);
    else if (riid == IID_IPersistPropertyBag)
        *ppvObject = static_cast<IPersistPropertyBag*>(this);
    else
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG COleControl::AddRef() { return ++m_cRef; }

ULONG COleControl::Release() {
    assert(m_cRef > 0 && "Release without a reference");
    ULONG n = --m_cRef;
    if (n == 0) {
        // Held at one while tearing down, so references taken and dropped meanwhile do not recurse.
        m_cRef = 1;
        OnFinalRelease();
        delete this;
    }
    return n;
}

void COleControl::OnFinalRelease() {
    if (m_hWnd != nullptr) DestroyWindow();
    m_propNotifyPoint.UnadviseAll();
    if (m_eventPoint) m_eventPoint->UnadviseAll();
    SetClientSite(nullptr);
}

// ---- IDispatch

HRESULT COleControl::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo == nullptr) return E_POINTER;
    *pctinfo = 1;
    return S_OK;
}

HRESULT COleControl::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo == nullptr) return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0) return DISP_E_BADINDEX;
    return CreateDispatchTypeInfo(GetDispatchInterface(), ppTInfo);
}

HRESULT COleControl::ForwardToExtender(const std::function<HRESULT(IDispatch*)>& fn) {
    if (m_bForwarding) return DISP_E_MEMBERNOTFOUND;
    LPDISPATCH extender = GetExtendedControl();
    if (extender == nullptr) return DISP_E_MEMBERNOTFOUND;
    m_bForwarding = true;
    HRESULT hr = fn(extender);
    m_bForwarding = false;
    extender->Release();
    return hr;
}

HRESULT COleControl::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) {
    HRESULT hr = GetDispatchInterface().GetIDsOfNames(rgszNames, cNames, rgDispId);
    if (hr != DISP_E_UNKNOWNNAME || cNames == 0 || rgDispId[0] != DISPID_UNKNOWN) return hr;
    // A name the control does not know may be the container's (Name, Parent, ...).
    HRESULT fwd = ForwardToExtender(
        [&](IDispatch* ext) { return ext->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId); });
    if (SUCCEEDED(fwd) && IsExtenderDispid(rgDispId[0])) return fwd;
    for (UINT i = 0; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT COleControl::Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                            VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) {
    if (IsExtenderDispid(dispIdMember)) {
        if (pVarResult) VariantInit(pVarResult);
        return ForwardToExtender([&](IDispatch* ext) {
            return ext->Invoke(dispIdMember, riid, lcid, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
        });
    }
    // The object must stay alive through a member that makes the container drop it.
    AddRef();
    HRESULT hr =
        GetDispatchInterface().Invoke(*this, dispIdMember, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
    Release();
    return hr;
}

// ---- IOleObject

HRESULT COleControl::SetClientSite(IOleClientSite* pClientSite) {
    if (pClientSite == m_pClientSite) return S_OK;
    if (pClientSite) pClientSite->AddRef();
    IOleClientSite* old = m_pClientSite;
    m_pClientSite = pClientSite;
    if (old) old->Release();
    OnSetClientSite();
    return S_OK;
}

HRESULT COleControl::GetClientSite(IOleClientSite** ppClientSite) {
    if (ppClientSite == nullptr) return E_POINTER;
    *ppClientSite = m_pClientSite;
    if (m_pClientSite) m_pClientSite->AddRef();
    return S_OK;
}

HRESULT COleControl::DoVerb(LONG iVerb) {
    if (iVerb != OLEIVERB_PROPERTIES) return OLEOBJ_S_INVALIDVERB;
    CWnd* parent = m_hWnd ? CWnd::GetParent() : nullptr;
    return OnProperties(nullptr, parent ? parent->GetSafeHwnd() : nullptr, nullptr) ? S_OK : E_FAIL;
}

LPDISPATCH COleControl::GetExtendedControl() {
    if (m_pClientSite == nullptr) return nullptr;
    void* pv = nullptr;
    if (FAILED(m_pClientSite->QueryInterface(IID_IOleControlSite, &pv)) || pv == nullptr) return nullptr;
    auto* site = static_cast<IOleControlSite*>(pv);
    IDispatch* extender = nullptr;
    if (FAILED(site->GetExtendedControl(&extender))) extender = nullptr;
    site->Release();
    return extender;
}

BOOL COleControl::AmbientUserMode() {
    if (m_pClientSite == nullptr) return TRUE;
    void* pv = nullptr;
    if (FAILED(m_pClientSite->QueryInterface(IID_IDispatch, &pv)) || pv == nullptr) return TRUE;
    auto* ambient = static_cast<IDispatch*>(pv);
    VARIANT v;
    VariantInit(&v);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    BOOL userMode = TRUE;
    if (SUCCEEDED(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET,
                                  &none, &v, nullptr, nullptr)) &&
        SUCCEEDED(VariantChangeType(&v, &v, 0, VT_BOOL)))
        userMode = v.boolVal ? TRUE : FALSE;
    VariantClear(&v);
    ambient->Release();
    return userMode;
}

// ---- Drawing

HRESULT COleControl::Draw(DWORD dwDrawAspect, CDC* pDC, LPCRECT lprcBounds) {
    if (dwDrawAspect != DVASPECT_CONTENT) return E_INVALIDARG;
    if (pDC == nullptr || lprcBounds == nullptr) return E_POINTER;
    const CRect bounds(*lprcBounds);
    if (pDC->GetDeviceCaps(TECHNOLOGY) == DT_METAFILE)
        OnDrawMetafile(pDC, bounds);
    else
        OnDraw(pDC, bounds, bounds);
    return S_OK;
}

void COleControl::OnDraw(CDC*, const CRect&, const CRect&) {}

void COleControl::OnDrawMetafile(CDC* pDC, const CRect& rcBounds) { OnDraw(pDC, rcBounds, rcBounds); }

void COleControl::OnPaint() {
    CPaintDC dc(this);
    CRect rcClient;
    GetClientRect(rcClient);
    OnDraw(&dc, rcClient, CRect(dc.m_ps.rcPaint));
}

void COleControl::InvalidateControl(LPCRECT lpRect, BOOL bErase) {
    if (m_hWnd == nullptr) return;
    InvalidateRect(lpRect, bErase);
}

// ---- Connection points

HRESULT COleControl::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
    if (ppCP == nullptr) return E_POINTER;
    *ppCP = nullptr;
    CConnectionPoint* point = nullptr;
    if (riid == IID_IPropertyNotifySink)
        point = &m_propNotifyPoint;
    else if (m_eventPoint && riid == m_eventPoint->GetIID())
        point = &*m_eventPoint;
    if (point == nullptr) return CONNECT_E_NOCONNECTION;
    point->AddRef();
    *ppCP = point;
    return S_OK;
}

void COleControl::BoundPropertyChanged(DISPID dispid) {
    for (IUnknown* sink : m_propNotifyPoint.GetSinks()) {
        static_cast<IPropertyNotifySink*>(sink)->OnChanged(dispid);
        sink->Release();
    }
}

BOOL COleControl::BoundPropertyRequestEdit(DISPID dispid) {
    BOOL allowed = TRUE;
    for (IUnknown* sink : m_propNotifyPoint.GetSinks()) {
        if (allowed && static_cast<IPropertyNotifySink*>(sink)->OnRequestEdit(dispid) != S_OK) allowed = FALSE;
        sink->Release();
    }
    return allowed;
}

// ---- Errors

void COleControl::ThrowError(SCODE sc, LPCTSTR pszDescription) {
    throw COleDispatchException(sc, pszDescription ? pszDescription : "");
}

void COleControl::SetNotSupported() { ThrowError(CTL_E_SETNOTSUPPORTED, "Property is read-only."); }
void COleControl::GetNotSupported() { ThrowError(CTL_E_GETNOTSUPPORTED, "Property is write-only."); }

// ---- Size, window and capture

void COleControl::GetControlSize(int* pcx, int* pcy) const {
    CSize size = m_extent;
    if (m_hWnd != nullptr) {
        CRect rc;
        const_cast<COleControl*>(this)->GetClientRect(rc);
        size = rc.Size();
    }
    if (pcx) *pcx = size.cx;
    if (pcy) *pcy = size.cy;
}

BOOL COleControl::SetControlSize(int cx, int cy) {
    if (cx < 0 || cy < 0) return FALSE;
    m_extent = CSize(cx, cy);
    if (m_hWnd != nullptr) {
        CRect rc;
        GetWindowRect(rc);
        if (CWnd* parent = CWnd::GetParent()) parent->ScreenToClient(rc);
        MoveWindow(rc.left, rc.top, cx, cy, TRUE);
    }
    return TRUE;
}

void COleControl::SetInitialSize(int cx, int cy) { m_extent = CSize(cx, cy); }

BOOL COleControl::ActivateInPlace(CWnd* pParentWnd, const CRect& rcPos) {
    if (m_hWnd != nullptr || pParentWnd == nullptr) return FALSE;
    m_extent = rcPos.Size();
    return Create(nullptr, "", WS_CHILD | WS_VISIBLE, rcPos, pParentWnd, 0);
}

void COleControl::DeactivateInPlace() {
    if (m_hWnd != nullptr) DestroyWindow();
}

BOOL COleControl::ReleaseCapture() { return ::ReleaseCapture(); }

BOOL COleControl::OnProperties(LPMSG, HWND hWndParent, LPCRECT) {
    const PropertyFrameHook& hook = FrameHook();
    if (!hook) return FALSE;
    // The frame may make the container let go of the control; keep it alive until the hook returns.
    AddRef();
    BOOL shown = hook(*this, hWndParent);
    Release();
    return shown;
}

// ---- Persistence

BOOL COleControl::ExchangeVersion(CPropExchange* pPX, DWORD dwVersionDefault, BOOL bConvert) {
    return pPX->ExchangeVersion(m_dwVersionLoaded, dwVersionDefault, bConvert);
}

void COleControl::DoPropExchange(CPropExchange*) {}

void COleControl::OnResetState() {
    CPropExchange px(nullptr, CPropExchange::Direction::Reset);
    DoPropExchange(&px);
}

void COleControl::OnSetClientSite() {}

namespace {
// Runs a persistence step as Invoke runs a member: nothing thrown leaves the interface.
template <class F>
HRESULT Guarded(F&& f) {
    try {
        f();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}
}  // namespace

HRESULT COleControl::InitNew() {
    return Guarded([&] {
        OnResetState();
        SetModifiedFlag(FALSE);
    });
}

HRESULT COleControl::Load(IPropertyBag* pPropBag) {
    if (pPropBag == nullptr) return E_POINTER;
    return Guarded([&] {
        CPropExchange px(pPropBag, CPropExchange::Direction::Load);
        DoPropExchange(&px);
        SetModifiedFlag(FALSE);
        BoundPropertyChanged(DISPID_UNKNOWN);
        InvalidateControl();
    });
}

HRESULT COleControl::Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL) {
    if (pPropBag == nullptr) return E_POINTER;
    return Guarded([&] {
        CPropExchange px(pPropBag, CPropExchange::Direction::Save);
        DoPropExchange(&px);
        if (fClearDirty) SetModifiedFlag(FALSE);
    });
}
