#include "AscanTestSupport.h"

#include <cmath>

#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexViewerIds.h"
#include "platform/com/SafeArray.h"
#include "platform/gdi/CBitmap.h"

using fake::Answer;
using fake::AnswerName;
using fake::NoInterface;

std::vector<float> DampedSine(int n) {
    std::vector<float> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(n);
        s[static_cast<size_t>(i)] = std::exp(-4.0f * t) * std::sin(6.2831853f * 12.0f * t);
    }
    return s;
}

// ---- CFakeViewer -----------------------------------------------------------------------------

CFakeViewer::CFakeViewer() { m_samples = DampedSine(300); }

CFakeViewer::~CFakeViewer() {
    if (m_pSite) m_pSite->Release();
}

const CDispatchInterface& CFakeViewer::Interface() {
    static const DispatchMember members[] = {
        Property(DISPID_VIEWER_FILENAME, "FileName", VT_BSTR, &CFakeViewer::GetFileName, nullptr),
        Method(DISPID_VIEWER_GETASCAN, "GetAscan", VT_BOOL,
               {{"DataStart", VT_R8 | VT_BYREF}, {"Resolution", VT_R8 | VT_BYREF}, {"Ascan", VT_VARIANT | VT_BYREF}},
               &CFakeViewer::GetAscan),
        Method(DISPID_VIEWER_GETASCANDISPLAYWINDOW, "GetAscanDisplayWindow", VT_BOOL,
               {{"DisplayStart", VT_R8 | VT_BYREF},
                {"DisplayEnd", VT_R8 | VT_BYREF},
                {"DisplayYAxisMax", VT_R8 | VT_BYREF},
                {"DisplayYAxisMin", VT_R8 | VT_BYREF}},
               &CFakeViewer::GetAscanDisplayWindow),
        Method(DISPID_VIEWER_GETASCANXAXISLABEL, "GetAscanXAxisLabel", VT_BOOL,
               {{"XAxisLabel", VT_BSTR | VT_BYREF}}, &CFakeViewer::GetAscanXAxisLabel),
    };
    static const CDispatchInterface iface("_DOrvexViewer", IID_DOrvexViewer, "viewer stand-in", members);
    return iface;
}

HRESULT CFakeViewer::QueryInterface(REFIID riid, void** ppvObject) {
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_DOrvexViewer)
        return Answer(static_cast<IDispatch*>(this), ppvObject);
    if (riid == IID_IOleObject) return Answer(static_cast<IOleObject*>(this), ppvObject);
    return NoInterface(ppvObject);
}

HRESULT CFakeViewer::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) {
    return Interface().GetIDsOfNames(rgszNames, cNames, rgDispId);
}

HRESULT CFakeViewer::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                            VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) {
    ++m_calls[dispIdMember];
    if (m_bRejectCalls) return DISP_E_MEMBERNOTFOUND;
    return Interface().Invoke(*this, dispIdMember, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
}

HRESULT CFakeViewer::SetClientSite(IOleClientSite* pClientSite) {
    if (pClientSite) pClientSite->AddRef();
    if (m_pSite) m_pSite->Release();
    m_pSite = pClientSite;
    return S_OK;
}

HRESULT CFakeViewer::GetClientSite(IOleClientSite** ppClientSite) {
    *ppClientSite = m_pSite;
    if (m_pSite) m_pSite->AddRef();
    return S_OK;
}

BOOL CFakeViewer::GetAscan(double* dataStart, double* resolution, VARIANT* ascan) {
    if (!m_ascanResult) return FALSE;
    // A locked array cannot be freed: a caller that still reads it gets nothing new.
    if (FAILED(VariantClear(ascan))) {
        ++m_lockedArraysOffered;
        return FALSE;
    }
    const ULONG n = static_cast<ULONG>(m_samples.size());
    SAFEARRAY* array = SafeArrayCreateVector(m_bDoubleArray ? VT_R8 : VT_R4, 0, n);
    void* data = nullptr;
    SafeArrayAccessData(array, &data);
    for (ULONG i = 0; i < n; ++i) {
        if (m_bDoubleArray) static_cast<double*>(data)[i] = m_samples[i];
        else static_cast<float*>(data)[i] = m_samples[i];
    }
    SafeArrayUnaccessData(array);
    ascan->vt = VT_ARRAY | (m_bDoubleArray ? VT_R8 : VT_R4);
    ascan->parray = array;
    *dataStart = m_dataStart;
    *resolution = m_resolution;
    return TRUE;
}

BOOL CFakeViewer::GetAscanDisplayWindow(double* start, double* end, double* yMax, double* yMin) {
    *start = m_displayStart;
    *end = m_displayEnd;
    *yMax = m_yMax;
    *yMin = m_yMin;
    return TRUE;
}

BOOL CFakeViewer::GetAscanXAxisLabel(BSTR* label) {
    SysFreeString(*label);
    *label = SysAllocStringFrom(m_label);
    return TRUE;
}

// ---- CFakeNamedObject ------------------------------------------------------------------------

HRESULT CFakeNamedObject::QueryInterface(REFIID riid, void** ppvObject) {
    if (riid == IID_IUnknown || riid == IID_IDispatch) return Answer(static_cast<IDispatch*>(this), ppvObject);
    return NoInterface(ppvObject);
}

HRESULT CFakeNamedObject::Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* pVarResult,
                                 EXCEPINFO*, UINT*) {
    if (dispIdMember != DISPID_Name) return DISP_E_MEMBERNOTFOUND;
    return AnswerName(m_name, pVarResult);
}

// ---- Placing controls ------------------------------------------------------------------------

CFakeSite* PlaceViewer(CFakeDocument& document, CFakeViewer* viewer, const std::string& name) {
    return document.AddControl(static_cast<IDispatch*>(viewer), name, {IID_DOrvexViewer});
}

CFakeSite* PlaceAscan(CFakeDocument& document, COrvexAscanViewerCtrl* control, const std::string& name) {
    return document.AddControl(control->GetControllingUnknown(), name,
                               {IID_DOrvexAscanViewer, IID_DOrvexAscanViewerEvents});
}

// ---- AscanTest -------------------------------------------------------------------------------

void AscanTest::SetUp() {
    ASSERT_EQ(CComLiveObject::GetLiveCount(), 0) << "an earlier test leaked COM objects";
    m_trace = std::make_unique<CDebugOutputCapture>();
    m_page = std::make_unique<CWnd>();
    ASSERT_TRUE(m_page->CreateEx(0, nullptr, "page", WS_VISIBLE, CRect(0, 0, 800, 600), nullptr, 0));
    m_document = std::make_unique<CFakeDocument>();
}

void AscanTest::TearDown() {
    m_document->Close();
    for (COrvexAscanViewerCtrl* c : m_controls) c->Release();
    m_controls.clear();
    for (CFakeViewer* v : m_viewers) v->Release();
    m_viewers.clear();
    m_page->DestroyWindow();
    m_page.reset();
    m_trace.reset();
    EXPECT_EQ(CComLiveObject::GetLiveCount(), 0) << "live COM objects at the end of the test";
    EXPECT_EQ(GetLiveBstrCount(), 0) << "BSTRs not freed at the end of the test";
    EXPECT_EQ(GetLiveSafeArrayCount(), 0) << "safe arrays not destroyed at the end of the test";
}

COrvexAscanViewerCtrl* AscanTest::AddAscan(const std::string& name, const CRect& rect, IPropertyBag* properties) {
    auto* control = new COrvexAscanViewerCtrl;
    m_controls.push_back(control);
    PlaceAscan(*m_document, control, name);
    if (properties) control->Load(properties);
    else control->InitNew();
    control->ActivateInPlace(m_page.get(), rect);
    return control;
}

CFakeViewer* AscanTest::AddViewer(const std::string& name, int samples) {
    auto* viewer = new CFakeViewer;
    viewer->m_samples = DampedSine(samples);
    m_viewers.push_back(viewer);
    PlaceViewer(*m_document, viewer, name);
    return viewer;
}

COLORREF AscanTest::PagePixel(int x, int y) const {
    const CBitmap* surface = m_manager.GetSurface(m_page->m_hWnd);
    if (!surface || x < 0 || y < 0 || x >= surface->GetWidth() || y >= surface->GetHeight()) return CLR_INVALID;
    return surface->GetPixels()[static_cast<size_t>(y) * surface->GetWidth() + x];
}

std::vector<std::string> AscanTest::TraceWith(const std::string& text) const {
    std::vector<std::string> out;
    for (const std::string& line : m_trace->GetLines())
        if (line.find(text) != std::string::npos) out.push_back(line);
    return out;
}
