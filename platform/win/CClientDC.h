#pragma once
// A context on a window's client area outside painting: it draws on the window's part of its
// top-level surface, clipped to what of the window is visible.
#include "platform/gdi/CDC.h"
#include "platform/win/WinUser.h"

class CWnd;

class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    // Hands what was drawn to the display.
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};
