#pragma once
// The root interface every COM object answers: identity through QueryInterface and lifetime
// through exact reference counts.
#include "platform/com/Guid.h"
#include "platform/com/HResult.h"

#define STDMETHODCALLTYPE

// {00000000-0000-0000-C000-000000000046}
constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IUnknown {
    // Hands out the interface `riid` with a reference for the caller, or E_NOINTERFACE and null.
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
using LPUNKNOWN = IUnknown*;
