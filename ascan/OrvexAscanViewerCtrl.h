#pragma once
// The A-scan viewer control: finds a viewer control in its container by the viewer's container
// name, fetches the A-scan of the viewer's current snapshot through automation and plots it in a
// line plot child window with zoom and pan.
//
// Behaviour areas live in their own sources: the object, its properties, persistence, dispatch
// interface and small message handlers here (OrvexAscanViewerCtrl.cpp), everything that talks to
// the viewer in ViewerLink.cpp, and the plot, zoom, pan, size handling and drawing in
// AscanDisplay.cpp.
#include <string>

#include "platform/afx/COleControl.h"
#include "platform/afx/COleDispatchDriver.h"
#include "platform/afx/COleSafeArray.h"
#include "platform/com/DispatchTable.h"

class CLinePlotWnd;
class CPropExchange;

class COrvexAscanViewerCtrl : public COleControl {
public:
    COrvexAscanViewerCtrl();
    ~COrvexAscanViewerCtrl() override;

    // The dispatch interface _DOrvexAscanViewer and the (empty) event interface.
    static const CDispatchInterface& GetAscanInterface();
    static const CDispatchInterface& GetAscanEventInterface();

    // Which way SyncRangeProperties copies the view window.
    enum ERangeSync { kApplyToPlot, kCaptureFromPlot };

    // ---- Framework overrides
    // The plot on screens (Render) and on printers and metafiles (DrawToDC), else the placeholder.
    void OnDraw(CDC* pdc, const CRect& rcBounds, const CRect& rcInvalid) override;
    // Stored properties; the platform's reset runs it as a loading exchange of the defaults.
    void DoPropExchange(CPropExchange* pPX) override;

    // ---- Properties (dispatch 1 to 7)
    float GetAscanXMin() const { return m_ascanXMin; }
    void SetAscanXMin(float value);
    float GetAscanXMax() const { return m_ascanXMax; }
    void SetAscanXMax(float value);
    float GetAscanYMin() const { return m_ascanYMin; }
    void SetAscanYMin(float value);
    float GetAscanYMax() const { return m_ascanYMax; }
    void SetAscanYMax(float value);
    std::string GetOrvexViewerName() const { return m_orvexViewerName; }
    void SetOrvexViewerName(std::string value);
    BOOL GetControlDetectionEnabled() const { return m_controlDetectionEnabled; }
    void SetControlDetectionEnabled(BOOL value);
    // The linked viewer with a reference for the caller, or null.
    IDispatch* GetOrvexViewer();
    // Null drops the link and keeps the picture; a viewer is linked and refreshed at once.
    void SetOrvexViewer(IDispatch* newValue);

    // ---- Methods (dispatch 8 to 15)
    // Deletes the plot and builds a new one; FALSE when no plot or no data came of it.
    BOOL UpdateAscanData();
    void ZoomInX();
    void ZoomOutX();
    // Rebuilds when the linked viewer now shows another file (detection on), or always (off).
    void RefreshAscan();
    void ZoomInY();
    void ZoomOutY();
    // Moves the window towards later times, never past the viewer's display end.
    void PanLeft();
    // Moves the window towards earlier times, never to time 0 or before.
    void PanRight();

    // ---- Viewer link
    // Searches the container for an object answering `iid` whose container name is `name`; an
    // empty name takes the last one and fills the name in. The result carries a reference.
    IDispatch* FindOrvexControlDisp(REFIID iid, std::string& name);

    // ---- State for the property page and tests
    CLinePlotWnd* GetPlot() const { return m_pPlot; }
    // The linked viewer without a new reference (null without a link).
    IDispatch* PeekLinkedViewer() const { return m_viewer.m_lpDispatch; }
    bool IsLinkPending() const { return m_bLinkPending != 0; }
    const std::string& GetLinkedFileName() const { return m_strLinkedFileName; }
    // The samples the plot reads in place (null while none are locked).
    const float* GetLockedSamples() const { return m_pAscanSamples; }

protected:
    // ---- Framework: the control's interfaces
    const CDispatchInterface& GetDispatchInterface() const override { return GetAscanInterface(); }
    const CDispatchInterface* GetEventInterface() const override { return &GetAscanEventInterface(); }

    // ---- Window messages
    void OnSize(UINT nType, int cx, int cy) override;
    void OnWindowPosChanging(WINDOWPOS* lpwndpos) override;
    void OnRButtonUp(UINT nFlags, CPoint point) override;

    // ---- Change reactions
    // A range property: applies all four to the plot, redraws and notifies.
    void OnRangePropertyChanged(DISPID id);
    void OnOrvexViewerNameChanged();
    // The link the first draw after loading makes, keeping a stored view window.
    void LinkAfterLoading();

    // ---- Range properties and plot
    void SyncRangeProperties(ERangeSync direction);
    void ClearRangeProperties();
    void InvalidateAscan();
    BOOL BuildAscanPlot();
    // The plot exists and has a live window (zoom, pan and range sync need both).
    bool HasPlotWindow() const;
    // Unlocks the sample array; the plot must no longer read it.
    void UnlockSamples();

    // ---- Calls to the linked viewer; each returns FALSE without calling when nothing is
    // linked, and FALSE when the viewer rejects the call.
    void CheckViewerFileName();
    BOOL GetViewerFileName(std::string& text);
    BOOL GetAscan(double* dataStart, double* resolution, VARIANT* ascan);
    BOOL GetAscanDisplayWindow(double* displayStart, double* displayEnd, double* displayYAxisMax,
                               double* displayYAxisMin);
    BOOL GetAscanXAxisLabel(std::string& label);

private:
    // Detaches and releases the linked viewer, if any.
    void DropViewerLink();
    // Fills the empty range properties from the viewer's display window.
    void TakeDisplayWindow();

    static const DispatchMember kMembers[];

    // Fields in the control's order.
    CLinePlotWnd* m_pPlot = nullptr;
    COleSafeArray m_ascanData;
    float* m_pAscanSamples = nullptr;
    CRect m_rcLastBounds;
    std::string m_strLinkedFileName;
    COleDispatchDriver m_viewer;
    BYTE m_bLinkPending = 0;
    float m_ascanXMin = 0.0f;
    float m_ascanXMax = 0.0f;
    float m_ascanYMin = 0.0f;
    float m_ascanYMax = 0.0f;
    std::string m_orvexViewerName;
    BOOL m_controlDetectionEnabled = TRUE;
};
