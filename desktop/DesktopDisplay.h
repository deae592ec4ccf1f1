#pragma once
// The display of the desktop application: the page's surface shown in a Qt widget. Each surface
// is handed to the page view, which wraps its pixels as an image without copying them, and every
// rectangle the window manager presents becomes a repaint of just that part of the widget.
#include <QPointer>

#include "platform/win/CDisplay.h"

class CPageView;

class CDesktopDisplay : public CDisplay {
public:
    // Shows the surface of the page window hPage in `view`; other top-level windows are not shown.
    CDesktopDisplay(CPageView* view, HWND hPage);

    void OnSurfaceChanged(HWND hTopLevel, CBitmap* pSurface) override;
    void OnTopLevelDestroyed(HWND hTopLevel) override;
    void Present(HWND hTopLevel, const CBitmap& surface, const RECT& rcDirty) override;
    void OnCursorChanged(HCURSOR hCursor) override;

private:
    // The view may go before the window manager that owns this display does.
    QPointer<CPageView> m_view;
    HWND m_hPage;
};
