#pragma once
// The paint context of WM_PAINT: the BeginPaint/EndPaint bracket around a context that draws only
// where the window is invalid (the bounding box of its invalid region) and visible.
#include "platform/gdi/CDC.h"
#include "platform/win/PaintStruct.h"
#include "platform/win/WinUser.h"

class CWnd;

class CPaintDC : public CDC {
public:
    // Begins painting: validates the window and sends WM_ERASEBKGND when an erase is pending.
    explicit CPaintDC(CWnd* pWnd);
    // Ends painting: hands the painted pixels to the display.
    ~CPaintDC() override;

    // rcPaint is the invalid rectangle in client coordinates; fErase is TRUE when the background
    // was to be erased and WM_ERASEBKGND did not do it.
    PAINTSTRUCT m_ps;

protected:
    HWND m_hWnd;
};
