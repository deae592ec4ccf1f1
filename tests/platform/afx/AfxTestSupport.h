#pragma once
// Fixture of the control base class tests: no live COM object, string or array and no control
// left at the end, and a window manager of the test's own.
#include <gtest/gtest.h>

#include <memory>

#include "platform/afx/COleObjectFactory.h"
#include "platform/com/ComLeakCheck.h"
#include "platform/com/ComObject.h"
#include "platform/com/OleInterfaces.h"
#include "platform/win/CWindowManager.h"

class AfxTest : public ComLeakCheck {
protected:
    void SetUp() override {
        ComLeakCheck::SetUp();
        m_manager = std::make_unique<CWindowManager>();
    }
    void TearDown() override {
        EXPECT_EQ(AfxOleGetObjectCount(), 0) << "controls alive at the end of the test";
        m_manager.reset();
        ComLeakCheck::TearDown();
    }
    std::unique_ptr<CWindowManager> m_manager;
};

// Records what a connection point delivers: events (as an IDispatch sink of any interface id)
// and bound-property notifications.
class CRecordingSink final : public IDispatch, public IPropertyNotifySink, private CComRefCount {
public:
    explicit CRecordingSink(const IID& events) : m_events(events) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_events)
            *ppv = static_cast<IDispatch*>(this);
        else if (riid == IID_IPropertyNotifySink)
            *ppv = static_cast<IPropertyNotifySink*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetTypeInfoCount(UINT* p) override {
        *p = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* dp, VARIANT*, EXCEPINFO*, UINT*) override {
        m_events_seen.push_back(id);
        m_lastFlags = flags;
        m_lastArgCount = dp ? dp->cArgs : 0;
        if (dp && dp->cArgs == 1 && dp->rgvarg[0].vt == VT_R8) m_lastDouble = dp->rgvarg[0].dblVal;
        return S_OK;
    }
    HRESULT OnChanged(DISPID id) override {
        m_changed.push_back(id);
        return S_OK;
    }
    HRESULT OnRequestEdit(DISPID) override { return m_allowEdit ? S_OK : S_FALSE; }

    std::vector<DISPID> m_events_seen;
    std::vector<DISPID> m_changed;
    WORD m_lastFlags = 0;
    UINT m_lastArgCount = 0;
    double m_lastDouble = 0.0;
    bool m_allowEdit = true;

private:
    ~CRecordingSink() override = default;
    IID m_events;
};
