#include "HostTestSupport.h"

#include <fstream>

#include "platform/afx/COleObjectFactory.h"
#include "platform/afx/DebugOutput.h"
#include "platform/gdi/CDC.h"

namespace {

// {3A1D6E52-94C7-4B0F-A1E3-5C7D2B9F4A03}
constexpr CLSID CLSID_LogCtrl = {0x3A1D6E52, 0x94C7, 0x4B0F, {0xA1, 0xE3, 0x5C, 0x7D, 0x2B, 0x9F, 0x4A, 0x03}};
const COleObjectFactory kLogCtrlFactory(CLSID_LogCtrl, &COleControl::CreateObject<CLogCtrl>, TRUE, kLogCtrlProgID);

constexpr UINT_PTR kTickTimer = 7;
constexpr UINT kTickPeriod = 100;

const DispatchMember kMembers[] = {
    PropertyNotify(1, "Count", VT_I2, &CLogCtrl::m_count, nullptr),
    PropertyNotify(2, "Label", VT_BSTR, &CLogCtrl::m_label, nullptr),
    PropertyNotify(3, "Flag", VT_BOOL, &CLogCtrl::m_flag, nullptr),
    PropertyNotify(4, "Gain", VT_R8, &CLogCtrl::m_gain, nullptr),
    PropertyNotify(5, "Colour", VT_I4, &CLogCtrl::m_colour, nullptr),
    Property(6, "Ticks", VT_I4, &CLogCtrl::GetTicks, nullptr),
    Method(7, "Twice", VT_I4, {{"Value", VT_I4}}, &CLogCtrl::Twice),
};
const DispatchMember kEvents[] = {
    Event(1, "Changed"),
};

}  // namespace

const CDispatchInterface& CLogCtrl::DispatchInterface() {
    static const CDispatchInterface iface("_DLogCtrl", IID_DLogCtrl, "Recording test control", kMembers);
    return iface;
}

const CDispatchInterface& CLogCtrl::EventInterface() {
    static const CDispatchInterface iface("_DLogCtrlEvents", IID_DLogCtrlEvents, "Recording test control events",
                                          kEvents, {}, CDispatchInterface::Role::Events);
    return iface;
}

std::vector<std::string>& CLogCtrl::Log() {
    static std::vector<std::string> log;
    return log;
}

CLogCtrl::CLogCtrl() {
    InitializeIIDs(&IID_DLogCtrl, &IID_DLogCtrlEvents);
    SetInitialSize(100, 50);
}

CLogCtrl::~CLogCtrl() { Log().push_back("release"); }

std::string CLogCtrl::OwnName() {
    VARIANT v;
    VariantInit(&v);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    std::string name = "?";
    if (SUCCEEDED(Invoke(DISPID_Name, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, &v, nullptr,
                         nullptr)) &&
        v.vt == VT_BSTR)
        name = StringFromBstr(v.bstrVal);
    VariantClear(&v);
    return name;
}

void CLogCtrl::DoPropExchange(CPropExchange* pPX) {
    ExchangeVersion(pPX, MAKELONG(0, 1));
    if (pPX->IsLoading()) Log().push_back(OwnName() + ":load");
    PX_Short(pPX, "Count", m_count, 0);
    PX_String(pPX, "Label", m_label, "");
    PX_Bool(pPX, "Flag", m_flag, FALSE);
    PX_Double(pPX, "Gain", m_gain, 1.0);
    PX_Long(pPX, "Colour", m_colour, 0xFF0000);
}

void CLogCtrl::OnSetClientSite() {
    if (GetClientSite()) Log().push_back(OwnName() + ":site");
}

void CLogCtrl::OnDraw(CDC* pDC, const CRect& rcBounds, const CRect&) {
    pDC->FillSolidRect(&rcBounds, static_cast<COLORREF>(m_colour));
}

int CLogCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    Log().push_back(OwnName() + ":create");
    // A stored Flag resumes ticking when the window exists, as the viewer's animation does.
    if (m_flag) SetTimer(kTickTimer, kTickPeriod, nullptr);
    return COleControl::OnCreate(lpCreateStruct);
}

void CLogCtrl::OnDestroy() {
    Log().push_back(OwnName() + ":destroy");
    COleControl::OnDestroy();
}

void CLogCtrl::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent != kTickTimer) return COleControl::OnTimer(nIDEvent);
    ++m_ticks;
    OutputDebugStringA(("tick " + std::to_string(m_ticks) + "\n").c_str());
}

void CLogCtrl::OnLButtonDown(UINT nFlags, CPoint point) {
    m_lastClick = point;
    m_lastClickFlags = nFlags;
}

void CLogCtrl::OnMouseMove(UINT nFlags, CPoint point) {
    if (nFlags & MK_LBUTTON) {
        m_lastClick = point;
        m_lastClickFlags = nFlags;
    }
}

void HostTest::SetUp() {
    ComLeakCheck::SetUp();
    CLogCtrl::Log().clear();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_folder = std::filesystem::temp_directory_path() /
               ("orvex_host_" + std::string(info->test_suite_name()) + "_" + info->name());
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
}

void HostTest::TearDown() {
    std::filesystem::remove_all(m_folder);
    ComLeakCheck::TearDown();
}

std::string HostTest::WriteFile(const std::string& name, const std::string& text) const {
    std::filesystem::path path = m_folder / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
}
