// The view: the pixel mapping every draw uses, and the commands that fit, zoom and turn the view.
#include <cmath>
#include <numbers>

#include "geometry/CSimulationData.h"
#include "geometry/ViewMapping.h"
#include "viewer/OrvexViewerCtrl.h"
#include "viewer/ViewProjection.h"

namespace {

// Degrees to radians, with the product's constant (1/180 in double).
constexpr double kPerDegree = 0.005555555555555556;

// Fit margins: a sixteenth of the width on each side, an eighth of the height above and below.
constexpr float kFitMarginX = 0.0625f;
constexpr float kFitMarginY = 0.125f;

constexpr float kZoomInFactor = 0.8f;
constexpr float kZoomOutFactor = 1.25f;

double DegreesToRadians(float angle) { return static_cast<double>(angle) * std::numbers::pi * kPerDegree; }

}  // namespace

// ---- Pixel mapping ---------------------------------------------------------------------------

void COrvexViewerCtrl::ComputeScale(const CRect& bounds) {
    m_scale = ComputeViewScale(bounds, CfRect(m_wndLeft, m_wndBottom, m_wndRight, m_wndTop));
}

bool COrvexViewerCtrl::ProjectPoint(const CPoint3D& point, int& x, int& y) const {
    return MakeViewProjection().Project(point, x, y);
}

orvex::viewer::CViewProjection COrvexViewerCtrl::MakeViewProjection() const {
    return orvex::viewer::CViewProjection(m_pSimData->m_viewFrame,
                                          CfRect(m_wndLeft, m_wndBottom, m_wndRight, m_wndTop), m_scale);
}

int COrvexViewerCtrl::FlipY(const CRect& bounds, int y) { return FlipViewY(bounds, y); }

void COrvexViewerCtrl::GetClientBounds(CRect& rect) const {
    if (GetSafeHwnd() != nullptr) {
        GetClientRect(&rect);
        return;
    }
    int cx = 0, cy = 0;
    GetControlSize(&cx, &cy);
    rect.SetRect(0, 0, cx, cy);
}

// ---- Rotations -------------------------------------------------------------------------------

CPoint3D COrvexViewerCtrl::GetOutlineCentre() const {
    CPoint3D lo, hi;
    m_pSimData->m_outline.GetBoundary(lo, hi);
    // Without an outline the view turns about the world origin.
    if (!lo.IsValid() || !hi.IsValid()) return CPoint3D(0.0, 0.0, 0.0);
    return lo + 0.5 * (hi - lo);
}

void COrvexViewerCtrl::ApplyViewRotation(CCoordinates3D rotation, const CPoint3D& centre, bool redraw) {
    CSimulationData& data = *m_pSimData;
    CPoint3D oldCentre = centre;
    oldCentre.CoordTransform(data.m_viewFrame);
    rotation.InverseCoordTransform(data.m_viewFrame);
    data.m_viewFrame = rotation;
    CPoint3D newCentre = centre;
    newCentre.CoordTransform(data.m_viewFrame);
    // A degenerate frame has no view coordinates: the rectangle then stays where it was rather
    // than becoming NaN.
    if (oldCentre.IsValid() && newCentre.IsValid()) {
        const float dx = static_cast<float>(newCentre.x - oldCentre.x);
        const float dy = static_cast<float>(newCentre.y - oldCentre.y);
        if (std::isfinite(dx) && std::isfinite(dy)) {
            data.m_viewRect.left += dx;
            data.m_viewRect.right += dx;
            data.m_viewRect.bottom += dy;
            data.m_viewRect.top += dy;
        }
    }
    if (redraw) {
        InvalidateControl();
        SetModifiedFlag();
    }
    ExchangeViewWithData(kViewFromData);
}

void COrvexViewerCtrl::Rotate(float angleInDeg) {
    const double a = DegreesToRadians(angleInDeg);
    const CCoordinates3D r(CVector3D(std::cos(a), std::sin(a), 0.0), 0, CVector3D(0.0, 0.0, 1.0),
                           CPoint3D(0.0, 0.0, 0.0));
    ApplyViewRotation(r, GetOutlineCentre(), true);
}

void COrvexViewerCtrl::Spin(float angleInDeg) {
    const double a = DegreesToRadians(angleInDeg);
    const CCoordinates3D r(0, CVector3D(0.0, 1.0, 0.0), CVector3D(std::sin(a), 0.0, std::cos(a)),
                           CPoint3D(0.0, 0.0, 0.0));
    ApplyViewRotation(r, GetOutlineCentre(), true);
}

void COrvexViewerCtrl::Tilt(float angleInDeg) {
    const double a = DegreesToRadians(angleInDeg);
    const CCoordinates3D r(CVector3D(1.0, 0.0, 0.0), 0, CVector3D(0.0, -std::sin(a), std::cos(a)),
                           CPoint3D(0.0, 0.0, 0.0));
    ApplyViewRotation(r, GetOutlineCentre(), true);
}

// ---- Fit and zoom ----------------------------------------------------------------------------

void COrvexViewerCtrl::FitToWindow() {
    m_extent.SetEmpty();
    CRect bounds;
    GetClientBounds(bounds);
    // Measure only; rays and labels do not take part in the fit.
    DrawProbeOutlines(nullptr, bounds);
    DrawPartOutline(nullptr, bounds);
    DrawExtraOutline(nullptr, bounds);

    const float dx = (m_extent.right - m_extent.left) * kFitMarginX;
    const float dy = (m_extent.top - m_extent.bottom) * kFitMarginY;
    m_pSimData->m_viewRect =
        CfRect(m_extent.left - dx, m_extent.bottom - dy, m_extent.right + dx, m_extent.top + dy);

    ExchangeViewWithData(kViewFromData);
    SetModifiedFlag();
    InvalidateControl();
}

void COrvexViewerCtrl::ZoomIn() {
    m_pSimData->m_viewRect.Expand(kZoomInFactor);
    InvalidateControl();
    SetModifiedFlag();
    ExchangeViewWithData(kViewFromData);
}

void COrvexViewerCtrl::ZoomOut() {
    m_pSimData->m_viewRect.Expand(kZoomOutFactor);
    InvalidateControl();
    SetModifiedFlag();
    ExchangeViewWithData(kViewFromData);
}

// ---- Standard views --------------------------------------------------------------------------

void COrvexViewerCtrl::ViewFromFront() {
    m_pSimData->m_viewFrame = CCoordinates3D();
    FitToWindow();
}

void COrvexViewerCtrl::ViewFromSide() {
    m_pSimData->m_viewFrame =
        CCoordinates3D(CVector3D(0.0, 0.0, 1.0), CVector3D(0.0, 1.0, 0.0), 0, CPoint3D(0.0, 0.0, 0.0));
    FitToWindow();
}

void COrvexViewerCtrl::ViewFromTop() {
    m_pSimData->m_viewFrame =
        CCoordinates3D(CVector3D(1.0, 0.0, 0.0), CVector3D(0.0, 0.0, 1.0), 0, CPoint3D(0.0, 0.0, 0.0));
    FitToWindow();
}
