#pragma once
// Small stand-ins for what surrounds an A-scan control in a container document (common/
// FakeContainer.h): viewers that answer the four members the control calls, other objects,
// and a fixture with a window manager and a page, that ends every test with no live COM object.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ascan/OrvexAscanViewerCtrl.h"
#include "common/FakeContainer.h"
#include "platform/afx/DebugOutput.h"
#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/DispatchTable.h"
#include "platform/com/LiveObjects.h"
#include "platform/com/OleInterfaces.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"

// A viewer as the A-scan control sees it: an embedded object with the viewer's FileName (1),
// GetAscan (36), GetAscanDisplayWindow (38) and GetAscanXAxisLabel (39).
class CFakeViewer final : public CDispatchTarget,
                          public CFakeDispatchNoTypeInfo,
                          public IOleObject,
                          private CComRefCount {
public:
    CFakeViewer();
    static const CDispatchInterface& Interface();

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;
    HRESULT SetClientSite(IOleClientSite* pClientSite) override;
    HRESULT GetClientSite(IOleClientSite** ppClientSite) override;
    HRESULT DoVerb(LONG) override { return E_NOTIMPL; }

    // The members, as the viewer answers them.
    std::string GetFileName() const { return m_fileName; }
    BOOL GetAscan(double* dataStart, double* resolution, VARIANT* ascan);
    BOOL GetAscanDisplayWindow(double* start, double* end, double* yMax, double* yMin);
    BOOL GetAscanXAxisLabel(BSTR* label);

    // What it answers.
    std::string m_fileName = "a.orvex";
    std::vector<float> m_samples;
    double m_dataStart = 0.0;
    double m_resolution = 0.01;
    double m_displayStart = 0.0, m_displayEnd = 1.0, m_yMax = 1.0, m_yMin = -1.0;
    std::string m_label = "Time (us)";
    BOOL m_ascanResult = TRUE;
    // Hands out an array of doubles instead of floats, as a foreign viewer might.
    bool m_bDoubleArray = false;
    // Every call fails with an automation error.
    bool m_bRejectCalls = false;
    // Calls per dispatch id, and GetAscan calls that met a locked array.
    std::map<DISPID, int> m_calls;
    int m_lockedArraysOffered = 0;

private:
    ~CFakeViewer() override;
    IOleClientSite* m_pSite = nullptr;
};

// An object that is not an embedded control: only a dispatch interface with a name.
class CFakeNamedObject final : public CFakeDispatchNoTypeInfo, private CComRefCount {
public:
    explicit CFakeNamedObject(std::string name) : m_name(std::move(name)) {}
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

private:
    std::string m_name;
};

// Places a viewer in a document (its extended control answers the viewer's interface id).
CFakeSite* PlaceViewer(CFakeDocument& document, CFakeViewer* viewer, const std::string& name);
// Places an A-scan control (its extended control answers the A-scan interface ids).
CFakeSite* PlaceAscan(CFakeDocument& document, COrvexAscanViewerCtrl* control, const std::string& name);

// A fixture with a window manager, a page window and the trace captured; it checks that nothing
// COM is left alive at the end.
class AscanTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new A-scan control with its site in the document (named `name`), initialised as new
    // (or loaded from `properties` when given) and activated in the page at `rect`.
    COrvexAscanViewerCtrl* AddAscan(const std::string& name, const CRect& rect = CRect(0, 0, 600, 125),
                                    IPropertyBag* properties = nullptr);
    // A viewer in the document answering a damped sine of n samples.
    CFakeViewer* AddViewer(const std::string& name, int samples = 300);
    // Paints every invalid window.
    void Paint() { m_manager.PaintAll(); }
    // The page's colour at a point.
    COLORREF PagePixel(int x, int y) const;
    // The trace lines that contain a text.
    std::vector<std::string> TraceWith(const std::string& text) const;

    std::unique_ptr<CWindowManager> m_managerOwner = std::make_unique<CWindowManager>();
    CWindowManager& m_manager = *m_managerOwner;
    std::unique_ptr<CWnd> m_page;
    std::unique_ptr<CFakeDocument> m_document;
    std::unique_ptr<CDebugOutputCapture> m_trace;
    std::vector<COrvexAscanViewerCtrl*> m_controls;
    std::vector<CFakeViewer*> m_viewers;
};

// Sample i of a damped sine of n samples.
std::vector<float> DampedSine(int n);
