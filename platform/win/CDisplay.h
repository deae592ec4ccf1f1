#pragma once
// Where the window manager's pixels and cursor go. Headless, or the desktop application's, which
// shows the page's surface in a desktop window and feeds real input and elapsed time back through
// CWindowManager::QueueMouseInput and CWindowManager::Pump.
#include "platform/win/Cursor.h"
#include "platform/win/WinUser.h"

class CBitmap;

class CDisplay {
public:
    virtual ~CDisplay() = default;
    // A top-level window got a surface (at creation or after a resize reallocated it).
    virtual void OnSurfaceChanged(HWND hTopLevel, CBitmap* pSurface) = 0;
    // A top-level window is going away; its surface dies right after this call.
    virtual void OnTopLevelDestroyed(HWND hTopLevel) = 0;
    // Pixels of a top-level surface changed inside rcDirty (surface coordinates).
    virtual void Present(HWND hTopLevel, const CBitmap& surface, const RECT& rcDirty) = 0;
    // The current cursor changed.
    virtual void OnCursorChanged(HCURSOR hCursor) = 0;
};
