#pragma once
// The base class of the controls: an automation object with a window, living in a container.
// It serves the control's dispatch table through IDispatch (passing the container's extender
// members to the extended control), fires events and bound-property notifications through
// connection points, persists through property exchange over a property bag, draws for screens,
// printers and metafiles, and is activated in a child window the container gives it.
#include <functional>
#include <optional>
#include <vector>

#include "platform/afx/COleDispatchException.h"
#include "platform/afx/CPropExchange.h"
#include "platform/afx/VtsArgs.h"
#include "platform/com/ConnectionPoint.h"
#include "platform/com/LiveObjects.h"
#include "platform/win/CWnd.h"

class CDC;

class COleControl : public CWnd,
                    public CDispatchTarget,
                    public IDispatch,
                    public IOleObject,
                    public IViewObject,
                    public IConnectionPointContainer,
                    public IPersistPropertyBag,
                    private CComLiveObject {
public:
    // Opens the property frame of a control: the host supplies it (a hook until the pages exist).
    // It receives the control and the owner window, and returns whether a frame was shown.
    using PropertyFrameHook = std::function<BOOL(COleControl& control, HWND hWndOwner)>;
    // Returns the hook it replaces, so a host that nests (a second document) can put it back.
    static PropertyFrameHook SetPropertyFrameHook(PropertyFrameHook hook);

    // The IUnknown that identifies the object.
    IUnknown* GetControllingUnknown() { return static_cast<IDispatch*>(this); }
    // For a factory: a new control of type T with one reference for the caller.
    template <class T>
    static IUnknown* CreateObject() {
        T* p = new (std::nothrow) T();
        return p ? p->GetControllingUnknown() : nullptr;
    }

    // ---- IUnknown; the last Release destroys the window, drops every connection and deletes.
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // ---- IDispatch over the control's table; ids 0x80010000 to 0x8001FFFF go to the extended control.
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    // ---- IOleObject
    HRESULT SetClientSite(IOleClientSite* pClientSite) override;
    HRESULT GetClientSite(IOleClientSite** ppClientSite) override;
    // OLEIVERB_PROPERTIES opens the property frame (owner: the parent of the control's window).
    HRESULT DoVerb(LONG iVerb) override;

    // ---- IViewObject: metafile contexts go to OnDrawMetafile, all others to OnDraw.
    HRESULT Draw(DWORD dwDrawAspect, CDC* pDC, LPCRECT lprcBounds) override;

    // ---- IConnectionPointContainer: the event interface and IPropertyNotifySink.
    HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) override;

    // ---- IPersistPropertyBag: InitNew resets, Load and Save run DoPropExchange.
    HRESULT InitNew() override;
    HRESULT Load(IPropertyBag* pPropBag) override;
    HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) override;

    // ---- In-place activation by the container.

    // Creates the control's window as a visible child of `pParentWnd` at rcPos (parent client
    // coordinates); the control's size becomes the rectangle's. FALSE when it cannot be created
    // (also when it already exists).
    BOOL ActivateInPlace(CWnd* pParentWnd, const CRect& rcPos);
    // Destroys the control's window; the control lives on without one.
    void DeactivateInPlace();

    // ---- Services for the derived control.

    // The client site the container gave, borrowed (no reference for the caller); null when none.
    IOleClientSite* GetClientSite() const { return m_pClientSite; }
    // The container's extended control for this control, with a reference for the caller; null
    // when there is no site or the site has none.
    LPDISPATCH GetExtendedControl();
    BOOL IsModified() const { return m_bModified; }
    void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }
    // Invalidates the control's area (its whole window, or lpRect in client coordinates).
    void InvalidateControl(LPCRECT lpRect = nullptr, BOOL bErase = TRUE);
    // Tells the connected IPropertyNotifySink sinks that a bound property changed.
    void BoundPropertyChanged(DISPID dispid);
    // Asks the sinks whether a bound property may change; FALSE when one refuses.
    BOOL BoundPropertyRequestEdit(DISPID dispid);
    // Calls event `dispid` on every connected event sink with arguments as pbParams describes.
    template <class... Args>
    void FireEvent(DISPID dispid, const char* pbParams, Args&&... args);
    // Raises an automation error out of a dispatch member (caught by Invoke; never leaves it).
    [[noreturn]] void ThrowError(SCODE sc, LPCTSTR pszDescription = nullptr);
    // The reaction of a read-only property's setter and a write-only property's getter.
    [[noreturn]] void SetNotSupported();
    [[noreturn]] void GetNotSupported();
    // The control's size in pixels: its window's when it has one, else its extent.
    void GetControlSize(int* pcx, int* pcy) const;
    // Resizes the control (and its window).
    BOOL SetControlSize(int cx, int cy);
    // The size a newly created control has before the container sizes it.
    void SetInitialSize(int cx, int cy);
    // Gives up the mouse capture.
    BOOL ReleaseCapture();
    // Opens the property frame through the host's hook; FALSE without a hook.
    virtual BOOL OnProperties(LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect);
    // The container's user mode: TRUE unless the site's ambient properties say design mode.
    BOOL AmbientUserMode();
    // Persistence version helper: exchanges the version and remembers the loaded one.
    BOOL ExchangeVersion(CPropExchange* pPX, DWORD dwVersionDefault, BOOL bConvert = TRUE);
    DWORD GetVersionLoaded() const { return m_dwVersionLoaded; }

protected:
    COleControl();
    ~COleControl() override;

    // The control's dispatch interface (its table); the event interface when it fires events.
    virtual const CDispatchInterface& GetDispatchInterface() const = 0;
    virtual const CDispatchInterface* GetEventInterface() const { return nullptr; }
    // Registers the primary dispatch and event interface ids (the events connection point needs
    // the latter); called from the derived constructor.
    void InitializeIIDs(const IID* piidPrimary, const IID* piidEvents);

    // Draws the control into any context: rcBounds in the context's logical units, rcInvalid the
    // part to draw. The base fills nothing.
    virtual void OnDraw(CDC* pDC, const CRect& rcBounds, const CRect& rcInvalid);
    // Draws into a metafile; by default the same as OnDraw.
    virtual void OnDrawMetafile(CDC* pDC, const CRect& rcBounds);
    // Exchanges the persistent properties; the base exchanges none (the extent comes from the
    // container and the controls have no stock properties).
    virtual void DoPropExchange(CPropExchange* pPX);
    // Resets the persistent properties by a loading exchange of the defaults.
    virtual void OnResetState();
    // Called after the client site changes (also to null).
    virtual void OnSetClientSite();
    // Called by the last Release before the object is deleted; destroys the window.
    virtual void OnFinalRelease();

    // Window handlers: paint draws through OnDraw with the client rectangle and the invalid part.
    void OnPaint() override;

private:
    // Runs `fn` unless a call to the extended control is already under way (the extender passes
    // unknown members back to the control, so a member neither answers would loop).
    HRESULT ForwardToExtender(const std::function<HRESULT(IDispatch*)>& fn);

    ULONG m_cRef = 1;
    IOleClientSite* m_pClientSite = nullptr;
    BOOL m_bModified = FALSE;
    CSize m_extent{0, 0};
    DWORD m_dwVersionLoaded = 0;
    bool m_bForwarding = false;
    IID m_iidPrimary = IID_NULL;
    CConnectionPoint m_propNotifyPoint;
    std::optional<CConnectionPoint> m_eventPoint;
};

template <class... Args>
void COleControl::FireEvent(DISPID dispid, const char* pbParams, Args&&... args) {
    if (!m_eventPoint || m_eventPoint->GetConnectionCount() == 0) return;
    afx_detail::CPackedArgs pk;
    if (!afx_detail::PackArgs(pbParams, pk, std::forward<Args>(args)...)) return;
    // The sinks stay referenced while they are called, even if one disconnects meanwhile.
    for (IUnknown* sink : m_eventPoint->GetSinks()) {
        DISPPARAMS params = pk.Params();
        static_cast<IDispatch*>(sink)->Invoke(dispid, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &params,
                                              nullptr, nullptr, nullptr);
        sink->Release();
    }
    pk.CopyBack();
}
