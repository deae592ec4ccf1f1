#pragma once
// The container protocol the controls use: client sites, the container and its enumeration of
// objects, the control site's extended control, class factories, connection points for events and
// property notifications, property bags for persistence, and a draw entry for any device context.
// Each interface carries only the methods the product calls.
#include "platform/base/WinDef.h"
#include "platform/com/Dispatch.h"

class CDC;  // the drawing layer's device context; only pointers cross this layer

struct IOleContainer;
struct IConnectionPointContainer;

// {00000100-0000-0000-C000-000000000046}
constexpr IID IID_IEnumUnknown = {0x00000100, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
struct IEnumUnknown : IUnknown {
    // Hands out up to `celt` objects with a reference each; S_FALSE when fewer were left.
    virtual HRESULT Next(ULONG celt, IUnknown** rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumUnknown** ppenum) = 0;

protected:
    ~IEnumUnknown() = default;
};

// {00000118-0000-0000-C000-000000000046}
constexpr IID IID_IOleClientSite = {0x00000118, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
struct IOleClientSite : IUnknown {
    virtual HRESULT GetContainer(IOleContainer** ppContainer) = 0;

protected:
    ~IOleClientSite() = default;
};

constexpr DWORD OLECONTF_EMBEDDINGS = 1;
constexpr DWORD OLECONTF_LINKS = 2;
constexpr DWORD OLECONTF_OTHERS = 4;
constexpr DWORD OLECONTF_ONLYUSER = 8;
constexpr DWORD OLECONTF_ONLYIFRUNNING = 16;

// {0000011B-0000-0000-C000-000000000046}
constexpr IID IID_IOleContainer = {0x0000011B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
struct IOleContainer : IUnknown {
    virtual HRESULT EnumObjects(DWORD grfFlags, IEnumUnknown** ppenum) = 0;

protected:
    ~IOleContainer() = default;
};

constexpr LONG OLEIVERB_PRIMARY = 0;
constexpr LONG OLEIVERB_SHOW = -1;
constexpr LONG OLEIVERB_PROPERTIES = -7;

// {00000112-0000-0000-C000-000000000046}
constexpr IID IID_IOleObject = {0x00000112, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
struct IOleObject : IUnknown {
    virtual HRESULT SetClientSite(IOleClientSite* pClientSite) = 0;
    virtual HRESULT GetClientSite(IOleClientSite** ppClientSite) = 0;
    // Runs a verb; the product's controls answer OLEIVERB_PROPERTIES.
    virtual HRESULT DoVerb(LONG iVerb) = 0;

protected:
    ~IOleObject() = default;
};

// {B196B289-BAB4-101A-B69C-00AA00341D07}
constexpr IID IID_IOleControlSite = {0xB196B289, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
struct IOleControlSite : IUnknown {
    // The container's extended control for this site, with a reference for the caller.
    virtual HRESULT GetExtendedControl(IDispatch** ppDisp) = 0;

protected:
    ~IOleControlSite() = default;
};

// {00000001-0000-0000-C000-000000000046}
constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
struct IClassFactory : IUnknown {
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;

protected:
    ~IClassFactory() = default;
};

// {B196B286-BAB4-101A-B69C-00AA00341D07}
constexpr IID IID_IConnectionPoint = {0xB196B286, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
struct IConnectionPoint : IUnknown {
    virtual HRESULT GetConnectionInterface(IID* pIID) = 0;
    virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer** ppCPC) = 0;
    // Connects a sink; the cookie identifies the connection for Unadvise.
    virtual HRESULT Advise(IUnknown* pUnkSink, DWORD* pdwCookie) = 0;
    virtual HRESULT Unadvise(DWORD dwCookie) = 0;

protected:
    ~IConnectionPoint() = default;
};

// {B196B284-BAB4-101A-B69C-00AA00341D07}
constexpr IID IID_IConnectionPointContainer = {
    0xB196B284, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
struct IConnectionPointContainer : IUnknown {
    virtual HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) = 0;

protected:
    ~IConnectionPointContainer() = default;
};

// {9BFBBC02-EFF1-101A-84ED-00AA00341D07}
constexpr IID IID_IPropertyNotifySink = {
    0x9BFBBC02, 0xEFF1, 0x101A, {0x84, 0xED, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
// Receives a control's bound-property notifications.
struct IPropertyNotifySink : IUnknown {
    virtual HRESULT OnChanged(DISPID dispID) = 0;
    virtual HRESULT OnRequestEdit(DISPID dispID) = 0;

protected:
    ~IPropertyNotifySink() = default;
};

constexpr DWORD DVASPECT_CONTENT = 1;

// {0000010D-0000-0000-C000-000000000046}
constexpr IID IID_IViewObject = {0x0000010D, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
// A container asks an object to draw itself into any context (screen, printer or metafile) at
// the given bounds, in the context's logical units.
struct IViewObject : IUnknown {
    virtual HRESULT Draw(DWORD dwDrawAspect, CDC* pDC, LPCRECT lprcBounds) = 0;

protected:
    ~IViewObject() = default;
};

// {55272A00-42CB-11CE-8135-00AA004BB851}
constexpr IID IID_IPropertyBag = {0x55272A00, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
// Named values a container stores for an object.
struct IPropertyBag : IUnknown {
    // Reads the named value. A VT_EMPTY *pVar takes the stored type; any other type asks for a
    // conversion (its failure is returned). E_INVALIDARG when the name is absent.
    virtual HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar) = 0;
    virtual HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) = 0;

protected:
    ~IPropertyBag() = default;
};

// {37D84F60-42CB-11CE-8135-00AA004BB851}
constexpr IID IID_IPersistPropertyBag = {
    0x37D84F60, 0x42CB, 0x11CE, {0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
// Persistence of an object through a property bag: new with defaults, loaded, or saved.
struct IPersistPropertyBag : IUnknown {
    virtual HRESULT InitNew() = 0;
    virtual HRESULT Load(IPropertyBag* pPropBag) = 0;
    virtual HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) = 0;

protected:
    ~IPersistPropertyBag() = default;
};
