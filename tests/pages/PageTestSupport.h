#pragma once
// What surrounds a property page in the tests: the module's page resources made current, a small
// container document holding real controls under names (client sites, extended controls,
// enumeration in order), message boxes and file dialogs answered by the test, and a check that
// no COM object is left at the end.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/afx/COleControl.h"
#include "platform/afx/COleControlModule.h"
#include "platform/afx/COlePropertyPage.h"
#include "platform/afx/DebugOutput.h"
#include "platform/com/OleInterfaces.h"

class CTestContainer;

// The extended control: the name as property 0x80010000, the control's own interface ids answered
// with itself, every other member passed on to the control.
class CTestExtender final : public IDispatch, private CComRefCount {
public:
    CTestExtender(IDispatch* target, std::vector<IID> iids, std::string name);
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;
    void Detach() { m_target = nullptr; }
    // Reading the name fails (a container that names nothing).
    bool m_bNameFails = false;

private:
    IDispatch* m_target;  // borrowed: the document holds the control
    std::vector<IID> m_iids;
    std::string m_name;
};

// A client site with its control site.
class CTestSite final : public IOleClientSite, public IOleControlSite, private CComRefCount {
public:
    CTestSite(CTestContainer* container, CTestExtender* extender);
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetContainer(IOleContainer** ppContainer) override;
    HRESULT GetExtendedControl(IDispatch** ppDisp) override;
    void Detach();
    bool m_bNoContainer = false;

private:
    ~CTestSite() override { Detach(); }
    CTestContainer* m_container;
    CTestExtender* m_extender;
};

class CTestContainer final : public IOleContainer, private CComRefCount {
public:
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT EnumObjects(DWORD grfFlags, IEnumUnknown** ppenum) override;
    void Add(IUnknown* object);
    void Clear();

private:
    ~CTestContainer() override { Clear(); }
    std::vector<IUnknown*> m_objects;
};

// A fixture with the pages' resources, a document and the answers a user would give.
class PageTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A control of the document under a name, new (reset values); the document keeps it.
    template <class T>
    T* AddControl(const std::string& name, std::vector<IID> iids) {
        T* control = new T();
        Place(control, name, std::move(iids));
        return control;
    }
    // A page of type T editing `object`, activated; the fixture releases it.
    template <class T>
    T* OpenPage(COleControl* object) {
        T* page = new T();
        m_pages.push_back(page);
        IUnknown* unk = object ? object->GetControllingUnknown() : nullptr;
        EXPECT_EQ(page->SetObjects(object ? 1 : 0, object ? &unk : nullptr), S_OK);
        EXPECT_EQ(page->Activate(), S_OK);
        return page;
    }

    // A property of a control read through its dispatch interface, as text or number.
    static std::string GetText(COleControl* control, const char* name);
    static double GetNumber(COleControl* control, const char* name);
    static void SetProperty(COleControl* control, const char* name, const VARIANT& value);
    static void SetText(COleControl* control, const char* name, const std::string& text);
    static void SetNumber(COleControl* control, const char* name, double value);

    CTestSite* LastSite() const { return m_entries.back().site; }
    CTestExtender* LastExtender() const { return m_entries.back().extender; }

    std::vector<std::string> m_messages;                 // message boxes shown
    std::optional<std::string> m_fileAnswer;             // the next file dialog's answer
    std::vector<std::string> m_fileDialogs;              // "defext|flags|filter" of each dialog shown
    std::unique_ptr<CDebugOutputCapture> m_trace;

private:
    void Place(COleControl* control, const std::string& name, std::vector<IID> iids);
    struct Entry {
        COleControl* control;
        CTestSite* site;
        CTestExtender* extender;
    };
    HINSTANCE__ m_resources;
    CTestContainer* m_container = nullptr;
    std::vector<Entry> m_entries;
    std::vector<COlePropertyPage*> m_pages;
};
