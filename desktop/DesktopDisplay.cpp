#include "desktop/DesktopDisplay.h"

#include "desktop/PageView.h"

CDesktopDisplay::CDesktopDisplay(CPageView* view, HWND hPage) : m_view(view), m_hPage(hPage) {}

void CDesktopDisplay::OnSurfaceChanged(HWND hTopLevel, CBitmap* pSurface) {
    if (hTopLevel == m_hPage && m_view) m_view->SetSurface(pSurface);
}

void CDesktopDisplay::OnTopLevelDestroyed(HWND hTopLevel) {
    if (hTopLevel == m_hPage && m_view) m_view->SetSurface(nullptr);
}

void CDesktopDisplay::Present(HWND hTopLevel, const CBitmap&, const RECT& rcDirty) {
    if (hTopLevel == m_hPage && m_view) m_view->PresentRect(rcDirty);
}

void CDesktopDisplay::OnCursorChanged(HCURSOR hCursor) {
    if (m_view) m_view->ShowPlatformCursor(hCursor);
}
