#pragma once
// Small stand-ins for what surrounds an A-scan control: a container document with client sites
// and extended controls, viewers that answer the four members the control calls, other objects,
// and a fixture with a window manager and a page, that ends every test with no live COM object.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ascan/OrvexAscanViewerCtrl.h"
#include "platform/afx/DebugOutput.h"
#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/DispatchTable.h"
#include "platform/com/LiveObjects.h"
#include "platform/com/OleInterfaces.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"

class CFakeContainer;

// The container's extended control: its name as property 0x80010000, the object's own dispatch
// interface ids answered with itself, every other member passed on to the object.
class CFakeExtender final : public IDispatch, private CComRefCount {
public:
    CFakeExtender(IDispatch* target, std::vector<IID> answeredIids, std::string name, bool hasName);
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    // The object goes before the document lets go of it (it is borrowed).
    void Detach() { m_target = nullptr; }
    std::string m_name;

private:
    IDispatch* m_target;
    std::vector<IID> m_iids;
    bool m_bHasName;
};

// A client site with its control site; it hands out the container and the extended control.
class CFakeSite final : public IOleClientSite, public IOleControlSite, private CComRefCount {
public:
    CFakeSite(CFakeContainer* container, CFakeExtender* extender);
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetContainer(IOleContainer** ppContainer) override;
    HRESULT GetExtendedControl(IDispatch** ppDisp) override;

    // Lets go of the container and the extended control (breaks the document's cycles).
    void Detach();
    bool m_bFailGetContainer = false;

private:
    ~CFakeSite() override { Detach(); }
    CFakeContainer* m_container;
    CFakeExtender* m_extender;
};

// The container: its objects in document order.
class CFakeContainer final : public IOleContainer, private CComRefCount {
public:
    CFakeContainer() = default;
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT EnumObjects(DWORD grfFlags, IEnumUnknown** ppenum) override;

    void Add(IUnknown* object);
    void Clear();
    bool m_bFailEnum = false;
    DWORD m_lastFlags = 0;

private:
    ~CFakeContainer() override { Clear(); }
    std::vector<IUnknown*> m_objects;
};

// A viewer as the A-scan control sees it: an embedded object with the viewer's FileName (1),
// GetAscan (36), GetAscanDisplayWindow (38) and GetAscanXAxisLabel (39).
class CFakeViewer final : public CDispatchTarget, public IDispatch, public IOleObject, private CComRefCount {
public:
    CFakeViewer();
    static const CDispatchInterface& Interface();

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
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
class CFakeNamedObject final : public IDispatch, private CComRefCount {
public:
    explicit CFakeNamedObject(std::string name) : m_name(std::move(name)) {}
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

private:
    std::string m_name;
};

// A document: a container whose objects each get a site and an extended control.
class CFakeDocument {
public:
    CFakeDocument();
    ~CFakeDocument();
    CFakeDocument(const CFakeDocument&) = delete;
    CFakeDocument& operator=(const CFakeDocument&) = delete;

    // Places an embedded object (IOleObject and IDispatch) under a name; its extended control
    // answers the ids given. Returns the site.
    CFakeSite* AddControl(IUnknown* object, const std::string& name, std::vector<IID> iids, bool hasName = true);
    // Places a viewer (its extended control answers the viewer's interface id).
    CFakeSite* AddViewer(CFakeViewer* viewer, const std::string& name);
    // Places an A-scan control.
    CFakeSite* AddAscan(COrvexAscanViewerCtrl* control, const std::string& name);
    // Places an object that is not an embedded control.
    void AddOther(IUnknown* object);
    // Takes every site away from its object and lets go of everything.
    void Close();

    CFakeContainer* GetContainer() const { return m_container; }

private:
    struct Entry {
        IUnknown* object;
        CFakeSite* site;
        CFakeExtender* extender;
    };
    CFakeContainer* m_container;
    std::vector<Entry> m_entries;
};

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
