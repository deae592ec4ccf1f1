#pragma once
// The client site a container gives each control: the way to the container, and to the control's
// extended control.
#include "platform/com/ComObject.h"
#include "platform/com/OleInterfaces.h"

class CExtendedControl;

class CControlSite final : public IOleClientSite, public IOleControlSite, private CComRefCount {
public:
    // A site in `container` (which gets a reference) serving `extended` (likewise).
    static CControlSite* Create(IOleContainer* container, CExtendedControl* extended);

    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    // E_NOINTERFACE once the site is detached.
    HRESULT GetContainer(IOleContainer** ppContainer) override;
    HRESULT GetExtendedControl(IDispatch** ppDisp) override;

    // Lets go of the container and the extended control (which lets go of the control), so the
    // references between a control and its site cannot keep either alive after closing.
    void Detach();

private:
    CControlSite(IOleContainer* container, CExtendedControl* extended);
    ~CControlSite() override;

    IOleContainer* m_pContainer;
    CExtendedControl* m_pExtended;
};
