#pragma once
// A sink for a control's connection points: the events it fires (as an IDispatch of the event
// interface id given) and its bound-property notifications, both recorded in order.
#include <utility>
#include <vector>

#include "common/FakeDispatch.h"
#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"

class CRecordingSink final : public CFakeDispatchNoTypeInfo, public IPropertyNotifySink, private CComRefCount {
public:
    explicit CRecordingSink(const IID& events = IID_IDispatch) : m_eventsIid(events) {}
    static CComPtr<CRecordingSink> Create(const IID& events = IID_IDispatch) {
        CComPtr<CRecordingSink> p;
        p.Attach(new CRecordingSink(events));
        return p;
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_eventsIid)
            return fake::Answer(static_cast<IDispatch*>(this), ppv);
        if (riid == IID_IPropertyNotifySink) return fake::Answer(static_cast<IPropertyNotifySink*>(this), ppv);
        return fake::NoInterface(ppv);
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        double value = 0.0;
        if (params != nullptr && params->cArgs > 0 && params->rgvarg[0].vt == VT_R8) value = params->rgvarg[0].dblVal;
        m_events.emplace_back(id, value);
        m_lastFlags = flags;
        m_lastArgCount = params != nullptr ? params->cArgs : 0;
        return S_OK;
    }
    HRESULT OnChanged(DISPID id) override {
        m_changed.push_back(id);
        return S_OK;
    }
    HRESULT OnRequestEdit(DISPID) override { return m_allowEdit ? S_OK : S_FALSE; }

    // The ids of the events fired, in order.
    std::vector<DISPID> EventIds() const {
        std::vector<DISPID> ids;
        for (const auto& e : m_events) ids.push_back(e.first);
        return ids;
    }

    std::vector<std::pair<DISPID, double>> m_events;  // (dispid, last argument when a double, else 0)
    std::vector<DISPID> m_changed;                    // bound properties reported as changed
    WORD m_lastFlags = 0;
    UINT m_lastArgCount = 0;
    bool m_allowEdit = true;  // the answer to OnRequestEdit

private:
    ~CRecordingSink() override = default;
    IID m_eventsIid;
};
