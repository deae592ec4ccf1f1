#pragma once
// The window manager's free functions on window handles, as code written for the platform calls
// them (::IsWindow, ::SendMessage, ::PeekMessage, ...). Each acts on the current window manager.
#include "platform/win/Cursor.h"
#include "platform/win/WinUser.h"

BOOL IsWindow(HWND hWnd);
HWND GetParent(HWND hWnd);
BOOL DestroyWindow(HWND hWnd);
BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
BOOL UpdateWindow(HWND hWnd);
BOOL SetWindowText(HWND hWnd, LPCTSTR lpString);
// Copies at most nMaxCount - 1 bytes and a terminating zero; returns the bytes copied.
int GetWindowText(HWND hWnd, LPTSTR lpString, int nMaxCount);
LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
LRESULT DispatchMessage(const MSG* lpMsg);
UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent);
HWND SetCapture(HWND hWnd);
BOOL ReleaseCapture();
HWND GetCapture();
// The screen position of the last mouse input taken from the queue.
BOOL GetCursorPos(LPPOINT lpPoint);
// The window manager's clock in milliseconds (wraps after 49.7 days, as on the platform).
DWORD GetTickCount();
