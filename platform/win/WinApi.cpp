#include "platform/win/WinApi.h"

#include "platform/win/CWindowManager.h"

namespace {
CWindowManager& Manager() { return CWindowManager::Current(); }
}  // namespace

BOOL IsWindow(HWND hWnd) { return Manager().IsWindow(hWnd); }
HWND GetParent(HWND hWnd) { return Manager().GetParent(hWnd); }
BOOL DestroyWindow(HWND hWnd) { return Manager().DestroyWindow(hWnd); }
BOOL GetClientRect(HWND hWnd, LPRECT lpRect) { return Manager().GetClientRect(hWnd, lpRect); }
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) { return Manager().GetWindowRect(hWnd, lpRect); }
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) { return Manager().InvalidateRect(hWnd, lpRect, bErase); }

BOOL UpdateWindow(HWND hWnd) {
    if (!Manager().IsWindow(hWnd)) return FALSE;
    Manager().UpdateWindow(hWnd);
    return TRUE;
}

BOOL SetWindowText(HWND hWnd, LPCTSTR lpString) {
    if (!Manager().IsWindow(hWnd)) return FALSE;
    return static_cast<BOOL>(Manager().SendMessage(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowText(HWND hWnd, LPTSTR lpString, int nMaxCount) {
    if (nMaxCount <= 0) return 0;
    return static_cast<int>(Manager().SendMessage(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                                  reinterpret_cast<LPARAM>(lpString)));
}

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return Manager().SendMessage(hWnd, message, wParam, lParam);
}

BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return Manager().PostMessage(hWnd, message, wParam, lParam);
}

BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    return Manager().PeekMessage(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg);
}

LRESULT DispatchMessage(const MSG* lpMsg) { return Manager().DispatchMessage(lpMsg); }

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    return Manager().SetTimer(hWnd, nIDEvent, uElapse, lpTimerFunc);
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) { return Manager().KillTimer(hWnd, uIDEvent); }
HWND SetCapture(HWND hWnd) { return Manager().SetCapture(hWnd); }
BOOL ReleaseCapture() { return Manager().ReleaseCapture(); }
HWND GetCapture() { return Manager().GetCapture(); }

BOOL GetCursorPos(LPPOINT lpPoint) {
    if (!lpPoint) return FALSE;
    *lpPoint = Manager().GetCursorPos();
    return TRUE;
}

DWORD GetTickCount() { return static_cast<DWORD>(Manager().GetTime()); }
