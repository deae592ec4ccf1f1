#pragma once
// A control and a minimal container for the control base class tests: the control has a
// property of each persisted type, a read-only property, an event, and records its draws; the
// container gives each control a client site, a control site and an extended control whose
// property 0x80010000 is the control's name and which passes every other member to the control.
#include <string>
#include <vector>

#include "platform/afx/COleControl.h"
#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"

// {0F5C2A71-6E2B-4C0E-8D4A-71B0A9C3E101}
constexpr IID IID_DTestCtrl = {0x0F5C2A71, 0x6E2B, 0x4C0E, {0x8D, 0x4A, 0x71, 0xB0, 0xA9, 0xC3, 0xE1, 0x01}};
// {0F5C2A71-6E2B-4C0E-8D4A-71B0A9C3E102}
constexpr IID IID_DTestCtrlEvents = {0x0F5C2A71, 0x6E2B, 0x4C0E, {0x8D, 0x4A, 0x71, 0xB0, 0xA9, 0xC3, 0xE1, 0x02}};
// {0F5C2A71-6E2B-4C0E-8D4A-71B0A9C3E103}
constexpr CLSID CLSID_TestCtrl = {0x0F5C2A71, 0x6E2B, 0x4C0E, {0x8D, 0x4A, 0x71, 0xB0, 0xA9, 0xC3, 0xE1, 0x03}};
constexpr const char* kTestCtrlProgID = "ORVEXTEST.TestCtrl.1";

class CTestCtrl : public COleControl {
public:
    CTestCtrl();

    std::string m_fileName;
    SHORT m_plotType = 0;
    LONG m_snapshot = 0;
    BOOL m_animated = FALSE;
    float m_left = 0.0f;
    double m_endTime = 10.0;
    double m_endLimit = 0.0;

    int m_nDraws = 0;
    int m_nMetafileDraws = 0;
    CRect m_rcLastBounds;
    CRect m_rcLastInvalid;
    int m_nSiteChanges = 0;

    // Property handlers and members of the table.
    void OnFileNameChanged();
    double GetMaximumTime() { return 48.0; }
    void SetStrict(LONG) { SetNotSupported(); }
    LONG GetStrict() { return 1; }
    void Fire(double t) { FireEvent(1, EVENT_PARAM(VTS_R8), t); }
    BSTR ReadOwnName();

    static const CDispatchInterface& DispatchInterface();
    static const CDispatchInterface& EventInterface();

protected:
    const CDispatchInterface& GetDispatchInterface() const override { return DispatchInterface(); }
    const CDispatchInterface* GetEventInterface() const override { return &EventInterface(); }
    void DoPropExchange(CPropExchange* pPX) override;
    void OnResetState() override;
    void OnDraw(CDC* pDC, const CRect& rcBounds, const CRect& rcInvalid) override;
    void OnDrawMetafile(CDC* pDC, const CRect& rcBounds) override;
    void OnSetClientSite() override { ++m_nSiteChanges; }
};

class CTestContainer;

// One control's place in the container: client site, control site and extended control.
class CTestSite final : public IOleClientSite, public IOleControlSite, private CComRefCount {
public:
    CTestSite(CTestContainer* container, std::string name, IDispatch* control);
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetContainer(IOleContainer** pp) override;
    HRESULT GetExtendedControl(IDispatch** pp) override;
    // Breaks the site's links (the extended control's reference to the control included).
    void Detach();

    std::string m_name;
    IDispatch* m_pExtender = nullptr;

private:
    ~CTestSite() override;
    CTestContainer* m_pContainer;
};

// The container: owns its controls' sites, enumerates the controls in insertion order.
class CTestContainer final : public IOleContainer, private CComRefCount {
public:
    static CComPtr<CTestContainer> Create();
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT EnumObjects(DWORD grfFlags, IEnumUnknown** ppenum) override;

    // Places a control under `name`: gives it a site (the container keeps a reference to both).
    void Add(IUnknown* control, const std::string& name);
    // Detaches every site and releases every control, as a container closing its document.
    void Close();

private:
    CTestContainer() = default;
    ~CTestContainer() override { Close(); }
    std::vector<IUnknown*> m_controls;
    std::vector<CTestSite*> m_sites;
};
