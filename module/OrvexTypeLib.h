#pragma once
// The module's type library ORVEXVIEWERLib 1.0: both controls' dispatch and event interfaces and
// classes, in the library's declaration order.
#include "platform/com/TypeLib.h"

const CTypeLibrary& GetOrvexTypeLibrary();

// What a control hands its automation clients: the description of interface `iid` from the
// registered copy of the library (version 1.0, the caller's locale, falling back to the neutral
// one). TYPE_E_LIBNOTREGISTERED before registration, TYPE_E_ELEMENTNOTFOUND for another interface.
HRESULT GetOrvexControlTypeInfo(REFIID iid, LCID lcid, ITypeInfo** ppTInfo);
