#pragma once
// The extended control a container wraps around each control: its own property 0x80010000 is the
// control's container name; every other member goes to the control. Scripts, the other controls
// and the property pages reach a control through it.
#include <string>

#include "platform/com/ComObject.h"
#include "platform/com/Dispatch.h"

class CExtendedControl final : public IDispatch, private CComRefCount {
public:
    // A wrapper around `control` (which gets a reference) under `name`. It answers
    // QueryInterface for IUnknown and IDispatch, and for the control's dispatch and event
    // interface ids (`dispatchIid`, `eventIid`; GUID_NULL for none) with itself.
    static CExtendedControl* Create(IDispatch* control, std::string name, const IID& dispatchIid,
                                    const IID& eventIid);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    const std::string& GetName() const { return m_name; }
    // Lets go of the control when the document closes; later calls fail with E_UNEXPECTED, so a
    // script that kept the wrapper cannot reach a control that is gone.
    void Disconnect();

private:
    CExtendedControl(IDispatch* control, std::string name, const IID& dispatchIid, const IID& eventIid);
    ~CExtendedControl() override;

    IDispatch* m_pControl;
    std::string m_name;
    IID m_dispatchIid;
    IID m_eventIid;
};
