#include "host/ControlAccess.h"

#include "platform/afx/COleControl.h"

namespace {

// The interfaces are protected members of the base class; naming them through a derived class
// gives member pointers that apply to any control. The base class offers no public accessor yet.
struct CInterfaceAccess : COleControl {
    static const CDispatchInterface& Dispatch(const COleControl& control) {
        auto member = &CInterfaceAccess::GetDispatchInterface;
        return (control.*member)();
    }
    static const CDispatchInterface* Events(const COleControl& control) {
        auto member = &CInterfaceAccess::GetEventInterface;
        return (control.*member)();
    }
};

}  // namespace

IID GetControlDispatchIid(const COleControl& control) { return CInterfaceAccess::Dispatch(control).GetIID(); }

IID GetControlEventIid(const COleControl& control) {
    const CDispatchInterface* events = CInterfaceAccess::Events(control);
    return events ? events->GetIID() : GUID_NULL;
}
