#pragma once
// The sink a macro layer connects to a control's event interface: each event the control fires
// comes to a callback with the event's description and its arguments.
#include <functional>

#include "platform/com/ComObject.h"
#include "platform/com/Dispatch.h"

class COleControl;
class CDispatchInterface;
struct DispatchMember;
struct IConnectionPoint;

class CLuaEventSink final : public IDispatch, private CComRefCount {
public:
    using Callback = std::function<void(const DispatchMember& event, const DISPPARAMS& params)>;

    // Connects a new sink to the control's event interface. Null when the control fires no events
    // or refuses the connection.
    static CLuaEventSink* Connect(COleControl& control, Callback callback);
    // Ends the connection and stops the callbacks; the caller then releases its reference.
    void Disconnect();

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

private:
    CLuaEventSink(const CDispatchInterface& events, Callback callback);
    ~CLuaEventSink() override;

    const CDispatchInterface& m_events;
    Callback m_callback;
    IConnectionPoint* m_pPoint = nullptr;
    DWORD m_cookie = 0;
};
