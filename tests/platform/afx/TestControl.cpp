#include "TestControl.h"

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
