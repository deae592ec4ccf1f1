// CWnd's message processing: the one dispatch switch, the platform's default processing, and the
// handlers' base versions, each of which hands its message to DefWindowProc.
#include <algorithm>
#include <cstring>

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/win/CPaintDC.h"
#include "platform/win/CScrollBar.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"
#include "platform/win/SysColor.h"

namespace {

// The message being handled, innermost first; a nested message restores the outer one on return.
const MSG* s_pCurrentMsg = nullptr;

CWindowManager& Manager() { return CWindowManager::Current(); }

}  // namespace

LRESULT CWnd::CallWindowProc(CWnd* pWnd, const MSG& msg) {
    const MSG* const pOuter = s_pCurrentMsg;
    s_pCurrentMsg = &msg;
    const LRESULT result = pWnd->WindowProc(msg.message, msg.wParam, msg.lParam);
    s_pCurrentMsg = pOuter;
    return result;
}

const MSG* CWnd::GetCurrentMessage() { return s_pCurrentMsg; }

LRESULT CWnd::Default() {
    const MSG* msg = s_pCurrentMsg;
    if (!msg || msg->hwnd != m_hWnd) return 0;
    return DefWindowProc(msg->message, msg->wParam, msg->lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<LPCREATESTRUCT>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NCDESTROY:
        OnNcDestroy();
        return 0;
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(static_cast<uintptr_t>(lParam)), HIWORD(static_cast<uintptr_t>(lParam)));
        return 0;
    case WM_MOVE:
        OnMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_WINDOWPOSCHANGING:
        OnWindowPosChanging(reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGED:
        OnWindowPosChanged(reinterpret_cast<WINDOWPOS*>(lParam));
        return 0;
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_SETCURSOR:
        return OnSetCursor(FromHandle(reinterpret_cast<HWND>(wParam)),
                           static_cast<UINT>(static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam)))),
                           HIWORD(static_cast<uintptr_t>(lParam)));
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), CPoint(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), CPoint(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wParam), CPoint(lParam));
        return 0;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wParam), CPoint(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<UINT>(wParam), CPoint(lParam));
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp(static_cast<UINT>(wParam), CPoint(lParam));
        return 0;
    case WM_HSCROLL:
        OnHScroll(LOWORD(wParam), HIWORD(wParam), dynamic_cast<CScrollBar*>(FromHandle(reinterpret_cast<HWND>(lParam))));
        return 0;
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), HIWORD(wParam), dynamic_cast<CScrollBar*>(FromHandle(reinterpret_cast<HWND>(lParam))));
        return 0;
    case WM_CAPTURECHANGED:
        OnCaptureChanged(FromHandle(reinterpret_cast<HWND>(lParam)));
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    default:
        return DefWindowProc(message, wParam, lParam);
    }
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowManager& manager = Manager();
    switch (message) {
    case WM_PAINT: {
        // Painting nothing still validates the window.
        CPaintDC dc(this);
        return 0;
    }
    case WM_ERASEBKGND: {
        CDC* pDC = CDC::FromHandle(reinterpret_cast<HDC>(wParam));
        if (!pDC) return 0;
        // Every window's class background is the window colour.
        CRect box;
        pDC->GetClipBox(&box);
        CBrush brush(GetSysColor(COLOR_WINDOW));
        pDC->FillRect(&box, &brush);
        return 1;
    }
    case WM_SETCURSOR: {
        // The parent gets the first say over its children's cursor.
        const HWND hParent = manager.GetParent(m_hWnd);
        if (hParent && manager.SendMessage(hParent, WM_SETCURSOR, wParam, lParam)) return TRUE;
        if (static_cast<SHORT>(LOWORD(static_cast<uintptr_t>(lParam))) == HTERROR) return FALSE;
        // The class cursor of every window is the arrow.
        ::SetCursor(LoadStandardCursor(IDC_ARROW));
        return TRUE;
    }
    case WM_WINDOWPOSCHANGED: {
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!pos) return 0;
        const HWND hWnd = m_hWnd;
        if (!(pos->flags & SWP_NOCLIENTMOVE)) manager.SendMessage(hWnd, WM_MOVE, 0, MAKELPARAM(pos->x, pos->y));
        if (!(pos->flags & SWP_NOCLIENTSIZE)) {
            manager.SendMessage(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(pos->cx, pos->cy));
        }
        return 0;
    }
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        manager.SetWindowTextRaw(m_hWnd, text ? text : "");
        return TRUE;
    }
    case WM_GETTEXT: {
        const std::string* text = manager.GetWindowTextRaw(m_hWnd);
        char* buffer = reinterpret_cast<char*>(lParam);
        if (!text || !buffer || wParam == 0) return 0;
        const size_t count = std::min(text->size(), static_cast<size_t>(wParam) - 1);
        std::memcpy(buffer, text->data(), count);
        buffer[count] = '\0';
        return static_cast<LRESULT>(count);
    }
    case WM_GETTEXTLENGTH: {
        const std::string* text = manager.GetWindowTextRaw(m_hWnd);
        return text ? static_cast<LRESULT>(text->size()) : 0;
    }
    case WM_CLOSE:
        DestroyWindow();
        return 0;
    default:
        return 0;
    }
}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }

void CWnd::OnNcDestroy() {
    Default();
    // The last message: the object lets go of the window, then may dispose of itself.
    m_hWnd = nullptr;
    PostNcDestroy();
}

void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnClose() { Default(); }
