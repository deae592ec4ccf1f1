#pragma once
// The simulation viewer control: part and probe outlines, ray legs and 3D labels of a simulation
// data set as a parallel projection, with view commands, time stepping and animation, and the
// A-scan of the current snapshot for other controls.
//
// Behaviour areas live in their own sources: properties, persistence and dispatch here
// (OrvexViewerCtrl.cpp), FileLoading.cpp, LinkedAscanNotify.cpp, ViewCommands.cpp,
// SceneDrawing.cpp, Animation.cpp and AscanService.cpp.
#include <string>

#include "geometry/CfRect.h"
#include "platform/afx/COleControl.h"
#include "platform/com/DispatchTable.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

class CSimulationData;
class CPropExchange;
class CCoordinates3D;
class CPoint3D;
class CArrayOfArcs;
namespace orvex::viewer {
class CViewProjection;
}

class COrvexViewerCtrl : public COleControl {
public:
    COrvexViewerCtrl();
    ~COrvexViewerCtrl() override;

    // The dispatch interface _DOrvexViewer and the event interface _DOrvexViewerEvents.
    static const CDispatchInterface& GetViewerInterface();
    static const CDispatchInterface& GetViewerEventInterface();

    // Which way ExchangeViewWithData copies the view.
    enum EViewExchange { kViewToData, kViewFromData };

    // ---- Framework overrides
    // Screen through the back buffer; printers and metafiles directly.
    void OnDraw(CDC* pdc, const CRect& rcBounds, const CRect& rcInvalid) override;
    void DoPropExchange(CPropExchange* pPX) override;
    void OnResetState() override;

    // ---- Properties (dispatch 1 to 22)
    std::string GetFileName() const { return m_fileName; }
    void SetFileName(std::string value);
    SHORT GetRayPlotType() const { return m_rayPlotType; }
    void SetRayPlotType(SHORT value);
    double GetRayEndTime() const { return m_rayEndTime; }
    void SetRayEndTime(double value);
    double GetRayEndTimeIncrement() const { return m_rayEndTimeIncrement; }
    void SetRayEndTimeIncrement(double value);
    double GetPulseAnimateStartLimit() const { return m_pulseAnimateStartLimit; }
    void SetPulseAnimateStartLimit(double value);
    double GetPulseAnimateEndLimit() const { return m_pulseAnimateEndLimit; }
    void SetPulseAnimateEndLimit(double value);
    BOOL GetIsAnimated() const { return m_isAnimated; }
    void SetIsAnimated(BOOL value);
    double GetXAxisX() const { return m_xAxisX; }
    void SetXAxisX(double value);
    double GetXAxisY() const { return m_xAxisY; }
    void SetXAxisY(double value);
    double GetXAxisZ() const { return m_xAxisZ; }
    void SetXAxisZ(double value);
    double GetYAxisX() const { return m_yAxisX; }
    void SetYAxisX(double value);
    double GetYAxisY() const { return m_yAxisY; }
    void SetYAxisY(double value);
    double GetYAxisZ() const { return m_yAxisZ; }
    void SetYAxisZ(double value);
    float GetWndTop() const { return m_wndTop; }
    void SetWndTop(float value);
    float GetWndBottom() const { return m_wndBottom; }
    void SetWndBottom(float value);
    float GetWndLeft() const { return m_wndLeft; }
    void SetWndLeft(float value);
    float GetWndRight() const { return m_wndRight; }
    void SetWndRight(float value);
    LONG GetCurrentSnapShot() const { return m_currentSnapShot; }
    void SetCurrentSnapShot(LONG value);
    BOOL GetControlDetectionEnabled() const { return m_controlDetectionEnabled; }
    void SetControlDetectionEnabled(BOOL value);
    // The ray time range of the current snapshot; 0.0 without one.
    double GetMaximumRayTime();
    double GetMinimumRayTime();
    LONG GetNumberOfSnapShots();

    // ---- View commands (dispatch 23 to 31)
    void ZoomOut();
    void Rotate(float angleInDeg);
    void ZoomIn();
    void FitToWindow();
    void Spin(float angleInDeg);
    void Tilt(float angleInDeg);
    void ViewFromFront();
    void ViewFromSide();
    void ViewFromTop();

    // ---- Time stepping (dispatch 32 to 34)
    void AnimatePulse();
    void AdvanceRays();
    void RetreatRays();

    // ---- File and A-scan service (dispatch 35 to 40)
    void DoFileNameUpdate();
    BOOL GetAscan(double* dataStart, double* resolution, VARIANT* ascan);
    BOOL GetWindowedAscanData(double* dataStart, double* resolution, VARIANT* ascan);
    BOOL GetAscanDisplayWindow(double* displayStart, double* displayEnd, double* displayYAxisMax,
                               double* displayYAxisMin);
    BOOL GetAscanXAxisLabel(BSTR* xAxisLabel);
    void RefreshOrvexViewer();

    // ---- Pixel mapping, public so tests and the pages can check it
    // Pixels per view unit for the bounds; sets m_scale.
    void ComputeScale(const CRect& bounds);
    // A world point to unflipped pixel offsets from the view rectangle's left and bottom edges;
    // false when the view frame is degenerate and the point has no view coordinates.
    bool ProjectPoint(const CPoint3D& point, int& x, int& y) const;
    // ProjectPoint's mapping with the frame's work done once, for drawing many points.
    orvex::viewer::CViewProjection MakeViewProjection() const;
    // Turns an offset measured upward from the bounds' bottom into a device row.
    static int FlipY(const CRect& bounds, int y);
    // The client rectangle, or (0, 0, width, height) of the control's size without a window.
    void GetClientBounds(CRect& rect) const;
    float GetScale() const { return m_scale; }
    // The extent of the outlines drawn or measured since the last fit or load, in view units.
    const CfRect& GetExtent() const { return m_extent; }
    // The loaded data set (never null while the control lives).
    const CSimulationData& GetSimulationData() const { return *m_pSimData; }
    // Whether the next screen draw notifies linked A-scan controls.
    bool IsNotifyPending() const { return m_bNotifyPending; }
    // Copies the view frame and rectangle between the ten view properties and the data.
    void ExchangeViewWithData(EViewExchange direction);
    // Pulse duration of the data's probe, in the data's time unit.
    double GetPulseDuration() const;

protected:
    const CDispatchInterface& GetDispatchInterface() const override { return GetViewerInterface(); }
    const CDispatchInterface* GetEventInterface() const override { return &GetViewerEventInterface(); }

    // ---- Window messages
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnRButtonUp(UINT nFlags, CPoint point) override;

    // ---- File loading
    void OnFileNameChanged();
    // Runs RefreshAscan on every A-scan control of the container linked to this viewer by name.
    void NotifyLinkedAscanControls();

    // ---- Change reactions
    void OnIsAnimatedChanged();
    // A: plain properties that only change the picture.
    void OnPlainPropertyChanged(DISPID id);
    // B: an axis component, which re-fits the view.
    void OnAxisPropertyChanged(DISPID id);
    // C: a view rectangle edge.
    void OnWindowPropertyChanged(DISPID id);

    // ---- View
    CPoint3D GetOutlineCentre() const;
    // Makes rotation (given in view coordinates) the new view frame, keeping centre in place.
    void ApplyViewRotation(CCoordinates3D rotation, const CPoint3D& centre, bool redraw);

    // ---- Drawing
    void DrawRays(CDC* pdc, const CRect& bounds);
    void DrawProbeOutlines(CDC* pdc, const CRect& bounds);
    void DrawPartOutline(CDC* pdc, const CRect& bounds);
    void DrawExtraOutline(CDC* pdc, const CRect& bounds);
    void DrawLabels(CDC* pdc, const CRect& bounds);
    // The back buffer in the bounds' size; false when it cannot be made.
    bool EnsureBackBuffer(CDC* pdc, const CRect& bounds);

private:
    // Draws the scene into pdc within bounds, in the order printers and the screen share.
    void DrawScene(CDC* pdc, const CRect& bounds);
    // Draws one outline (or only measures it with a null context) and grows the extent.
    void DrawOutline(const CArrayOfArcs& arcs, CDC* pdc, const CRect& bounds);
    // The timer message of the animation.
    void OnAnimationTick();

    static const DispatchMember kMembers[];
    static const DispatchMember kEvents[];

    // Fields in the control's order.
    CSimulationData* m_pSimData = nullptr;
    CfRect m_extent;
    float m_scale = 1.0f;
    CBitmap m_backBitmap;
    CBitmap* m_pOldBackBitmap = nullptr;
    CDC m_backDC;
    bool m_bNotifyPending = false;
    std::string m_fileName;
    SHORT m_rayPlotType = 0;
    double m_rayEndTime = 10.0;
    double m_rayEndTimeIncrement = 0.5;
    double m_pulseAnimateStartLimit = 0.0;
    double m_pulseAnimateEndLimit = 0.0;
    BOOL m_isAnimated = FALSE;
    double m_xAxisX = 1.0;
    double m_xAxisY = 0.0;
    double m_xAxisZ = 0.0;
    double m_yAxisX = 0.0;
    double m_yAxisY = 1.0;
    double m_yAxisZ = 0.0;
    float m_wndTop = 0.0f;
    float m_wndBottom = 40.0f;
    float m_wndLeft = 0.0f;
    float m_wndRight = 40.0f;
    LONG m_currentSnapShot = 0;
    BOOL m_controlDetectionEnabled = TRUE;
};
