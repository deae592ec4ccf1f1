// CWnd's operations: each forwards to the window manager with the window's handle.
#include "platform/win/CWnd.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "platform/gdi/CDC.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/PaintStruct.h"

namespace {

CWindowManager& Manager() { return CWindowManager::Current(); }

// Contexts handed out by GetDC and BeginPaint, owned here until ReleaseDC and EndPaint.
std::unordered_map<CDC*, std::unique_ptr<CDC>>& LoanedDCs() {
    static std::unordered_map<CDC*, std::unique_ptr<CDC>> dcs;
    return dcs;
}

}  // namespace

CWnd::~CWnd() {
    if (m_hWnd && Manager().FromHandle(m_hWnd) == this) Manager().DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd) { return Manager().FromHandle(hWnd); }

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    // This creation path always makes a child window, as the framework's does.
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                    rect.bottom - rect.top, pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<uintptr_t>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
    assert(m_hWnd == nullptr && "the window already exists");
    CREATESTRUCT cs{lpParam, nullptr, nIDorHMenu, hWndParent, nHeight, nWidth, y, x,
                    static_cast<LONG>(dwStyle), lpszWindowName, lpszClassName, dwExStyle};
    if (!PreCreateWindow(cs)) return FALSE;
    return Manager().CreateWindowFor(this, cs) ? TRUE : FALSE;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCT&) { return TRUE; }

BOOL CWnd::DestroyWindow() { return m_hWnd ? Manager().DestroyWindow(m_hWnd) : FALSE; }

void CWnd::PostNcDestroy() {}

CWnd* CWnd::GetParent() const { return FromHandle(Manager().GetParent(m_hWnd)); }
DWORD CWnd::GetStyle() const { return Manager().GetStyle(m_hWnd); }
DWORD CWnd::GetExStyle() const { return Manager().GetExStyle(m_hWnd); }
int CWnd::GetDlgCtrlID() const { return Manager().GetDlgCtrlID(m_hWnd); }
BOOL CWnd::IsWindowVisible() const { return Manager().IsWindowVisible(m_hWnd); }
BOOL CWnd::ShowWindow(int nCmdShow) { return Manager().ShowWindow(m_hWnd, nCmdShow); }

void CWnd::GetClientRect(LPRECT lpRect) const {
    if (!Manager().GetClientRect(m_hWnd, lpRect) && lpRect) *lpRect = CRect();
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    if (!Manager().GetWindowRect(m_hWnd, lpRect) && lpRect) *lpRect = CRect();
}

void CWnd::ClientToScreen(LPPOINT lpPoint) const { Manager().ClientToScreen(m_hWnd, lpPoint); }

void CWnd::ClientToScreen(LPRECT lpRect) const {
    POINT topLeft{lpRect->left, lpRect->top}, bottomRight{lpRect->right, lpRect->bottom};
    Manager().ClientToScreen(m_hWnd, &topLeft);
    Manager().ClientToScreen(m_hWnd, &bottomRight);
    *lpRect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void CWnd::ScreenToClient(LPPOINT lpPoint) const { Manager().ScreenToClient(m_hWnd, lpPoint); }

void CWnd::ScreenToClient(LPRECT lpRect) const {
    POINT topLeft{lpRect->left, lpRect->top}, bottomRight{lpRect->right, lpRect->bottom};
    Manager().ScreenToClient(m_hWnd, &topLeft);
    Manager().ScreenToClient(m_hWnd, &bottomRight);
    *lpRect = RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    Manager().SetWindowPos(m_hWnd, nullptr, x, y, nWidth, nHeight,
                           SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

void CWnd::MoveWindow(LPCRECT lpRect, BOOL bRepaint) {
    MoveWindow(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, bRepaint);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return Manager().SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy, nFlags);
}

void CWnd::SetWindowText(LPCTSTR lpszString) { SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpszString)); }

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
    return static_cast<int>(Manager().SendMessage(m_hWnd, WM_GETTEXT, static_cast<WPARAM>(std::max(nMaxCount, 0)),
                                                  reinterpret_cast<LPARAM>(lpszStringBuf)));
}

void CWnd::GetWindowText(std::string& rString) const {
    const int length = GetWindowTextLength();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowText(text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    rString = std::move(text);
}

int CWnd::GetWindowTextLength() const {
    return static_cast<int>(Manager().SendMessage(m_hWnd, WM_GETTEXTLENGTH, 0, 0));
}

void CWnd::Invalidate(BOOL bErase) { Manager().InvalidateRect(m_hWnd, nullptr, bErase); }
void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) { Manager().InvalidateRect(m_hWnd, lpRect, bErase); }
void CWnd::ValidateRect(LPCRECT lpRect) { Manager().ValidateRect(m_hWnd, lpRect); }
BOOL CWnd::GetUpdateRect(LPRECT lpRect, BOOL) { return Manager().GetUpdateRect(m_hWnd, lpRect); }
void CWnd::UpdateWindow() { Manager().UpdateWindow(m_hWnd); }

CDC* CWnd::GetDC() {
    auto dc = std::make_unique<CDC>();
    Manager().PrepareClientDC(m_hWnd, *dc);
    CDC* pDC = dc.get();
    LoanedDCs()[pDC] = std::move(dc);
    return pDC;
}

int CWnd::ReleaseDC(CDC* pDC) {
    if (!pDC) return 0;
    auto& dcs = LoanedDCs();
    auto it = dcs.find(pDC);
    if (it == dcs.end()) return 0;
    Manager().ReleaseClientDC(m_hWnd);
    dcs.erase(it);
    return 1;
}

CDC* CWnd::BeginPaint(LPPAINTSTRUCT lpPaint) {
    assert(lpPaint);
    auto dc = std::make_unique<CDC>();
    Manager().BeginPaint(m_hWnd, *dc, *lpPaint);
    CDC* pDC = dc.get();
    LoanedDCs()[pDC] = std::move(dc);
    return pDC;
}

void CWnd::EndPaint(const PAINTSTRUCT* lpPaint) {
    assert(lpPaint);
    Manager().EndPaint(m_hWnd, *lpPaint);
    LoanedDCs().erase(CDC::FromHandle(lpPaint->hdc));
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Manager().SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return Manager().PostMessage(m_hWnd, message, wParam, lParam);
}

UINT_PTR CWnd::SetTimer(UINT_PTR nIDEvent, UINT nElapse, TIMERPROC lpfnTimer) {
    return Manager().SetTimer(m_hWnd, nIDEvent, nElapse, lpfnTimer);
}

BOOL CWnd::KillTimer(UINT_PTR nIDEvent) { return Manager().KillTimer(m_hWnd, nIDEvent); }

CWnd* CWnd::SetCapture() { return FromHandle(Manager().SetCapture(m_hWnd)); }

CWnd* CWnd::GetCapture() { return FromHandle(Manager().GetCapture()); }

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask) {
    assert(lpScrollInfo);
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return Manager().GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL) {
    assert(lpScrollInfo);
    if (!Manager().IsWindow(m_hWnd)) return FALSE;
    Manager().SetScrollInfo(m_hWnd, nBar, lpScrollInfo);
    return TRUE;
}

int CWnd::GetScrollPos(int nBar) const {
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, 0, 0};
    return Manager().GetScrollInfo(m_hWnd, nBar, &si) ? si.nPos : 0;
}

int CWnd::SetScrollPos(int nBar, int nPos, BOOL) {
    const int previous = GetScrollPos(nBar);
    const SCROLLINFO si{sizeof(SCROLLINFO), SIF_POS, 0, 0, 0, nPos, 0};
    Manager().SetScrollInfo(m_hWnd, nBar, &si);
    return previous;
}

void CWnd::GetScrollRange(int nBar, LPINT lpMinPos, LPINT lpMaxPos) const {
    SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0};
    Manager().GetScrollInfo(m_hWnd, nBar, &si);
    if (lpMinPos) *lpMinPos = si.nMin;
    if (lpMaxPos) *lpMaxPos = si.nMax;
}

void CWnd::SetScrollRange(int nBar, int nMinPos, int nMaxPos, BOOL) {
    const SCROLLINFO si{sizeof(SCROLLINFO), SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
    Manager().SetScrollInfo(m_hWnd, nBar, &si);
}
