#pragma once
// The window class every window derives from, with the framework's names and semantics. A window
// handles a message by overriding the virtual handler that WindowProc's one dispatch switch calls;
// a handler's base version passes the message on to DefWindowProc, so default processing is
// explicit and a derived window can replace any handler.
#include <string>

#include "platform/win/Cursor.h"
#include "platform/win/WinUser.h"

class CDC;
class CScrollBar;
struct CCreateContext;
struct PAINTSTRUCT;
using LPPAINTSTRUCT = PAINTSTRUCT*;

class CWnd {
public:
    // The window's handle; null before creation and after destruction.
    HWND m_hWnd = nullptr;

    CWnd() = default;
    // Destroys a window that is still alive (the derived part is gone by then, so only CWnd's
    // own handlers see its last messages: destroy windows explicitly before deleting them).
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    operator HWND() const { return m_hWnd; }
    HWND GetSafeHwnd() const { return m_hWnd; }
    // The object of a live window, or null (every window here is made through a CWnd).
    static CWnd* FromHandle(HWND hWnd);
    static CWnd* FromHandlePermanent(HWND hWnd) { return FromHandle(hWnd); }

    // ---- Creation and destruction

    // Creates a window (a child with WS_CHILD and a parent); the class name is accepted and ignored.
    virtual BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                        CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                  int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam = nullptr);
    BOOL CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, LPVOID lpParam = nullptr);
    virtual BOOL DestroyWindow();

    // ---- Tree, style and geometry

    CWnd* GetParent() const;
    DWORD GetStyle() const;
    DWORD GetExStyle() const;
    int GetDlgCtrlID() const;
    BOOL IsWindowVisible() const;
    BOOL ShowWindow(int nCmdShow);
    // (0, 0, width, height).
    void GetClientRect(LPRECT lpRect) const;
    // In screen coordinates.
    void GetWindowRect(LPRECT lpRect) const;
    void ClientToScreen(LPPOINT lpPoint) const;
    void ClientToScreen(LPRECT lpRect) const;
    void ScreenToClient(LPPOINT lpPoint) const;
    void ScreenToClient(LPRECT lpRect) const;
    // In the parent's client coordinates (screen coordinates for a top-level window).
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);
    void MoveWindow(LPCRECT lpRect, BOOL bRepaint = TRUE);
    BOOL SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);

    // ---- Text

    void SetWindowText(LPCTSTR lpszString);
    // Copies at most nMaxCount - 1 bytes and a terminating zero; returns the bytes copied.
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    void GetWindowText(std::string& rString) const;
    int GetWindowTextLength() const;

    // ---- Painting

    void Invalidate(BOOL bErase = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    void ValidateRect(LPCRECT lpRect);
    BOOL GetUpdateRect(LPRECT lpRect, BOOL bErase = FALSE);
    void UpdateWindow();
    // A context on the client area, valid until ReleaseDC.
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    // The paint bracket; CPaintDC is the usual way to use it.
    CDC* BeginPaint(LPPAINTSTRUCT lpPaint);
    void EndPaint(const PAINTSTRUCT* lpPaint);

    // ---- Messages

    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The message the window is handling now (null outside a handler).
    static const MSG* GetCurrentMessage();

    // ---- Timers, capture, scroll bars

    // Returns nIDEvent (1 for id 0), or 0 when the window does not exist.
    UINT_PTR SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer);
    BOOL KillTimer(UINT_PTR nIDEvent);
    // Returns the window that had the capture.
    CWnd* SetCapture();
    static CWnd* GetCapture();
    // The window's own bars start with the range 0..100, page 0, position 0.
    BOOL GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    BOOL SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    int GetScrollPos(int nBar) const;
    int SetScrollPos(int nBar, int nPos, BOOL bRedraw = TRUE);
    void GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const;
    void SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL bRedraw = TRUE);

    // ---- Message processing

    // The one dispatch switch: calls the handler of each message it knows, DefWindowProc for the rest.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The platform's default processing.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Default processing of the message being handled.
    LRESULT Default();
    // Lets a derived window adjust the creation record before the window exists.
    virtual BOOL PreCreateWindow(CREATESTRUCT& cs);
    // Called after the last message (WM_NCDESTROY); m_hWnd is already null.
    virtual void PostNcDestroy();

    // Handlers. Each base version passes the message on to DefWindowProc.
    virtual int OnCreate(LPCREATESTRUCT lpCreateStruct);
    virtual void OnDestroy();
    virtual void OnNcDestroy();
    virtual void OnSize(UINT nType, int cx, int cy);
    virtual void OnMove(int x, int y);
    virtual void OnWindowPosChanging(WINDOWPOS* lpwndpos);
    virtual void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    virtual void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(CDC* pDC);
    virtual void OnTimer(UINT_PTR nIDEvent);
    virtual BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    virtual void OnMouseMove(UINT nFlags, CPoint point);
    virtual void OnLButtonDown(UINT nFlags, CPoint point);
    virtual void OnLButtonUp(UINT nFlags, CPoint point);
    virtual void OnLButtonDblClk(UINT nFlags, CPoint point);
    virtual void OnRButtonDown(UINT nFlags, CPoint point);
    virtual void OnRButtonUp(UINT nFlags, CPoint point);
    virtual void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    virtual void OnCaptureChanged(CWnd* pWnd);
    virtual void OnClose();

private:
    friend class CWindowManager;
    // Delivers a message to the window procedure, keeping it as the current message meanwhile.
    static LRESULT CallWindowProc(CWnd* pWnd, const MSG& msg);
};
