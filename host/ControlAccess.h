#pragma once
// What the container needs to know of a control object that the control base class keeps to its
// derived classes: the ids of its dispatch and event interfaces, which the extended control
// answers QueryInterface for.
#include "platform/com/Guid.h"

class COleControl;

// GUID_NULL when the control has no such interface.
IID GetControlDispatchIid(const COleControl& control);
IID GetControlEventIid(const COleControl& control);
