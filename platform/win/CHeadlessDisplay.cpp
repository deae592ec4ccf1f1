#include "platform/win/CHeadlessDisplay.h"

void CHeadlessDisplay::OnSurfaceChanged(HWND, CBitmap*) {}

void CHeadlessDisplay::OnTopLevelDestroyed(HWND) {}

void CHeadlessDisplay::Present(HWND, const CBitmap&, const RECT&) { ++m_nPresents; }

void CHeadlessDisplay::OnCursorChanged(HCURSOR) { ++m_nCursorChanges; }
