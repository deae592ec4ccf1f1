// The window tree of the window manager: creation, destruction, geometry, style, text and scroll
// bar state.
#include "platform/win/CWindowManager.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

#include "platform/base/Saturate.h"
#include "platform/win/CHeadlessDisplay.h"
#include "platform/win/CWnd.h"
#include "platform/win/SysColor.h"
#include "platform/win/WindowRecord.h"

namespace {

// Live managers, innermost last; any of them may be destroyed first.
std::vector<CWindowManager*>& Managers() {
    static std::vector<CWindowManager*> managers;
    return managers;
}

// Positions are kept in this range so that the offsets of nested windows add up without overflow.
constexpr int kMaxPosition = 1 << 20;

int ClampExtent(int v) { return std::clamp(v, 0, CWindowManager::kMaxWindowExtent); }
int ClampPosition(int v) { return std::clamp(v, -kMaxPosition, kMaxPosition); }

// A window's own bars start with the platform's range 0..100; a scroll-bar control's with 0..0.
void InitScrollBars(SCROLLINFO (&bars)[3]) {
    for (SCROLLINFO& bar : bars) {
        bar = SCROLLINFO{sizeof(SCROLLINFO), SIF_ALL, 0, 100, 0, 0, 0};
    }
    bars[SB_CTL].nMax = 0;
}

}  // namespace

CWindowManager::CWindowManager() : CWindowManager(std::make_unique<CHeadlessDisplay>()) {}

CWindowManager::CWindowManager(std::unique_ptr<CDisplay> display) : m_display(std::move(display)) {
    assert(m_display);
    Managers().push_back(this);
}

CWindowManager::~CWindowManager() {
    // Windows are destroyed while this manager is the current one, so their handlers reach it.
    auto& managers = Managers();
    std::erase(managers, this);
    managers.push_back(this);
    // Every window belongs to a top-level tree, so this destroys them all.
    for (HWND hWnd : std::vector<HWND>(m_topLevels)) DestroyWindow(hWnd);
    assert(m_windows.empty());
    std::erase(managers, this);
}

std::unique_ptr<CDisplay> CWindowManager::SetDisplay(std::unique_ptr<CDisplay> display) {
    assert(display);
    std::swap(m_display, display);
    for (HWND hWnd : m_topLevels) {
        Window* w = Find(hWnd);
        if (w == nullptr || !w->surface) continue;
        m_display->OnSurfaceChanged(hWnd, w->surface.get());
        m_display->Present(hWnd, *w->surface, CRect(0, 0, w->surface->GetWidth(), w->surface->GetHeight()));
    }
    if (m_hCursor != nullptr) m_display->OnCursorChanged(m_hCursor);
    return display;
}

CWindowManager& CWindowManager::Current() {
    auto& managers = Managers();
    if (managers.empty()) {
        // Deliberately never destroyed: windows left at exit need no orderly teardown.
        static CWindowManager* const pDefault = new CWindowManager();
        (void)pDefault;
    }
    return *managers.back();
}

CWindowManager::Window* CWindowManager::Find(HWND hWnd) const {
    if (!hWnd) return nullptr;
    auto it = m_windows.find(hWnd);
    return it == m_windows.end() ? nullptr : it->second.get();
}

HWND CWindowManager::CreateWindowFor(CWnd* wnd, CREATESTRUCT& cs) {
    assert(wnd && !wnd->m_hWnd);
    const bool bChild = (static_cast<DWORD>(cs.style) & WS_CHILD) != 0;
    Window* pParent = Find(cs.hwndParent);
    if (bChild && !pParent) return nullptr;

    cs.cx = ClampExtent(cs.cx);
    cs.cy = ClampExtent(cs.cy);
    cs.x = ClampPosition(cs.x);
    cs.y = ClampPosition(cs.y);
    if (!bChild && static_cast<int64_t>(cs.cx) * cs.cy > kMaxSurfacePixels) return nullptr;

    auto record = std::make_unique<Window>();
    Window& w = *record;
    m_nNextHandle += 4;
    w.hwnd = reinterpret_cast<HWND>(m_nNextHandle);
    w.wnd = wnd;
    w.parent = bChild ? cs.hwndParent : nullptr;
    w.style = static_cast<DWORD>(cs.style);
    w.exStyle = cs.dwExStyle;
    w.id = bChild ? static_cast<UINT>(reinterpret_cast<uintptr_t>(cs.hMenu)) : 0;
    w.rect = CRect(cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy);
    w.text = cs.lpszName ? cs.lpszName : "";
    InitScrollBars(w.bars);
    if (!bChild && !ResizeSurface(w)) return nullptr;

    const HWND hWnd = w.hwnd;
    m_windows.emplace(hWnd, std::move(record));
    if (bChild) {
        pParent->children.push_back(hWnd);
    } else {
        m_topLevels.push_back(hWnd);
        m_display->OnSurfaceChanged(hWnd, Find(hWnd)->surface.get());
    }
    wnd->m_hWnd = hWnd;

    if (SendMessage(hWnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        DestroyWindow(hWnd);
        return nullptr;
    }
    // The platform sends the first size and position right after WM_CREATE.
    if (IsWindow(hWnd)) SendMessage(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(cs.cx, cs.cy));
    if (IsWindow(hWnd)) SendMessage(hWnd, WM_MOVE, 0, MAKELPARAM(cs.x, cs.y));
    if (!IsWindow(hWnd)) return nullptr;

    if (IsWindowVisible(hWnd)) {
        InvalidateRect(hWnd, nullptr, TRUE);
        if (!bChild) SetActiveWindow(hWnd);
    }
    return IsWindow(hWnd) ? hWnd : nullptr;
}

BOOL CWindowManager::ResizeSurface(Window& w) {
    const int cx = std::max(1, w.rect.Width());
    const int cy = std::max(1, w.rect.Height());
    auto surface = std::make_unique<CBitmap>();
    if (!surface->CreateBitmap(cx, cy, 1, 32, nullptr)) return FALSE;
    // A fresh surface shows the window colour until something paints it.
    uint32_t* pixels = surface->GetPixels();
    std::fill(pixels, pixels + static_cast<size_t>(cx) * static_cast<size_t>(cy), GetSysColor(COLOR_WINDOW));
    w.surface = std::move(surface);
    return TRUE;
}

BOOL CWindowManager::DestroyWindow(HWND hWnd) {
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    if (w->destroying) return TRUE;
    w->destroying = true;

    // The area the window covered shows its parent again.
    if (w->parent && IsWindowVisible(hWnd)) InvalidateParentArea(*w);

    SendMessage(hWnd, WM_DESTROY, 0, 0);
    DestroyTree(hWnd);

    if (m_hCapture == hWnd) m_hCapture = nullptr;
    if (m_hActive == hWnd) m_hActive = nullptr;
    std::erase_if(m_timers, [hWnd](const Timer& t) { return t.hWnd == hWnd; });
    std::erase_if(m_posted, [hWnd](const MSG& m) { return m.hwnd == hWnd; });

    SendMessage(hWnd, WM_NCDESTROY, 0, 0);

    w = Find(hWnd);
    if (Window* pParent = Find(w->parent)) {
        std::erase(pParent->children, hWnd);
    } else {
        if (std::find(m_topLevels.begin(), m_topLevels.end(), hWnd) != m_topLevels.end()) {
            m_display->OnTopLevelDestroyed(hWnd);
            std::erase(m_topLevels, hWnd);
        }
    }
    m_windows.erase(hWnd);
    return TRUE;
}

void CWindowManager::DestroyTree(HWND hWnd) {
    const Window* w = Find(hWnd);
    if (!w) return;
    for (HWND hChild : std::vector<HWND>(w->children)) DestroyWindow(hChild);
}

BOOL CWindowManager::IsWindow(HWND hWnd) const { return Find(hWnd) ? TRUE : FALSE; }

CWnd* CWindowManager::FromHandle(HWND hWnd) const {
    const Window* w = Find(hWnd);
    return w ? w->wnd : nullptr;
}

HWND CWindowManager::GetParent(HWND hWnd) const {
    const Window* w = Find(hWnd);
    return w ? w->parent : nullptr;
}

HWND CWindowManager::GetTopLevel(HWND hWnd) const {
    const Window* w = Find(hWnd);
    while (w && w->parent) w = Find(w->parent);
    return w ? w->hwnd : nullptr;
}

BOOL CWindowManager::IsChild(HWND hParent, HWND hChild) const {
    for (const Window* w = Find(hChild); w && w->parent; w = Find(w->parent)) {
        if (w->parent == hParent) return TRUE;
    }
    return FALSE;
}

std::vector<HWND> CWindowManager::GetChildren(HWND hWnd) const {
    const Window* w = Find(hWnd);
    return w ? w->children : std::vector<HWND>{};
}

DWORD CWindowManager::GetStyle(HWND hWnd) const {
    const Window* w = Find(hWnd);
    return w ? w->style : 0;
}

DWORD CWindowManager::GetExStyle(HWND hWnd) const {
    const Window* w = Find(hWnd);
    return w ? w->exStyle : 0;
}

int CWindowManager::GetDlgCtrlID(HWND hWnd) const {
    const Window* w = Find(hWnd);
    return w ? static_cast<int>(w->id) : 0;
}

BOOL CWindowManager::IsWindowVisible(HWND hWnd) const {
    const Window* w = Find(hWnd);
    if (!w) return FALSE;
    for (; w; w = Find(w->parent)) {
        if (!(w->style & WS_VISIBLE)) return FALSE;
    }
    return TRUE;
}

BOOL CWindowManager::ShowWindow(HWND hWnd, int nCmdShow) {
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    const BOOL bWasVisible = (w->style & WS_VISIBLE) ? TRUE : FALSE;
    const bool bShow = nCmdShow != SW_HIDE;
    if (bShow == static_cast<bool>(bWasVisible)) return bWasVisible;
    if (!bShow) {
        if (w->parent && IsWindowVisible(hWnd)) InvalidateParentArea(*w);
        w->style &= ~WS_VISIBLE;
    } else {
        w->style |= WS_VISIBLE;
        InvalidateRect(hWnd, nullptr, TRUE);
    }
    return bWasVisible;
}

BOOL CWindowManager::GetClientRect(HWND hWnd, LPRECT lpRect) const {
    const Window* w = Find(hWnd);
    if (!w || !lpRect) return FALSE;
    *lpRect = CRect(0, 0, w->rect.Width(), w->rect.Height());
    return TRUE;
}

BOOL CWindowManager::GetWindowRect(HWND hWnd, LPRECT lpRect) const {
    const Window* w = Find(hWnd);
    if (!w || !lpRect) return FALSE;
    POINT origin{0, 0};
    ClientToScreen(hWnd, &origin);
    *lpRect = CRect(CPoint(origin), w->rect.Size());
    return TRUE;
}

BOOL CWindowManager::ClientToScreen(HWND hWnd, LPPOINT lpPoint) const {
    const Window* w = Find(hWnd);
    if (!w || !lpPoint) return FALSE;
    for (; w; w = Find(w->parent)) {
        lpPoint->x = SaturatingAdd(lpPoint->x, w->rect.left);
        lpPoint->y = SaturatingAdd(lpPoint->y, w->rect.top);
    }
    return TRUE;
}

BOOL CWindowManager::ScreenToClient(HWND hWnd, LPPOINT lpPoint) const {
    if (!Find(hWnd) || !lpPoint) return FALSE;
    POINT origin{0, 0};
    ClientToScreen(hWnd, &origin);
    lpPoint->x = SaturatingAdd(lpPoint->x, -origin.x);
    lpPoint->y = SaturatingAdd(lpPoint->y, -origin.y);
    return TRUE;
}

BOOL CWindowManager::SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    WINDOWPOS pos{hWnd, hWndInsertAfter, x, y, cx, cy, nFlags};
    if (nFlags & SWP_NOMOVE) {
        pos.x = w->rect.left;
        pos.y = w->rect.top;
    }
    if (nFlags & SWP_NOSIZE) {
        pos.cx = w->rect.Width();
        pos.cy = w->rect.Height();
    }
    SendMessage(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
    w = Find(hWnd);
    if (!w) return FALSE;

    pos.x = ClampPosition(pos.x);
    pos.y = ClampPosition(pos.y);
    pos.cx = ClampExtent(pos.cx);
    pos.cy = ClampExtent(pos.cy);
    const bool bTopLevel = w->parent == nullptr;
    if (bTopLevel && static_cast<int64_t>(pos.cx) * pos.cy > kMaxSurfacePixels) {
        // A surface that big is refused; the window keeps its size.
        pos.cx = w->rect.Width();
        pos.cy = w->rect.Height();
    }

    const CRect rcOld = w->rect;
    const CRect rcNew(pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy);
    const bool bMoved = rcNew.TopLeft() != rcOld.TopLeft();
    const bool bSized = rcNew.Size() != rcOld.Size();
    const bool bWasVisible = IsWindowVisible(hWnd);
    if (pos.flags & SWP_SHOWWINDOW) w->style |= WS_VISIBLE;
    if (pos.flags & SWP_HIDEWINDOW) w->style &= ~WS_VISIBLE;
    const bool bVisible = IsWindowVisible(hWnd);

    if (bWasVisible && w->parent && (bMoved || bSized || !bVisible) && !(pos.flags & SWP_NOREDRAW)) {
        InvalidateParentArea(*w);
    }
    w->rect = rcNew;
    if (bSized) {
        CRect rcInvalid;
        rcInvalid.IntersectRect(&w->invalid, CRect(0, 0, pos.cx, pos.cy));
        w->invalid = rcInvalid;
        if (bTopLevel && ResizeSurface(*w)) m_display->OnSurfaceChanged(hWnd, w->surface.get());
    }
    if (bVisible && (bMoved || bSized || !bWasVisible) && !(pos.flags & SWP_NOREDRAW)) {
        InvalidateRect(hWnd, nullptr, TRUE);
    }

    pos.flags |= (bMoved ? 0 : SWP_NOCLIENTMOVE) | (bSized ? 0 : SWP_NOCLIENTSIZE);
    SendMessage(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

void CWindowManager::SetWindowTextRaw(HWND hWnd, const std::string& text) {
    if (Window* w = Find(hWnd)) w->text = text;
}

const std::string* CWindowManager::GetWindowTextRaw(HWND hWnd) const {
    const Window* w = Find(hWnd);
    return w ? &w->text : nullptr;
}

BOOL CWindowManager::GetScrollInfo(HWND hWnd, int nBar, LPSCROLLINFO lpsi) const {
    const Window* w = Find(hWnd);
    if (!w || !lpsi || nBar < SB_HORZ || nBar > SB_CTL) return FALSE;
    const SCROLLINFO& bar = w->bars[nBar];
    if (lpsi->fMask & SIF_RANGE) {
        lpsi->nMin = bar.nMin;
        lpsi->nMax = bar.nMax;
    }
    if (lpsi->fMask & SIF_PAGE) lpsi->nPage = bar.nPage;
    if (lpsi->fMask & SIF_POS) lpsi->nPos = bar.nPos;
    // Nothing tracks a thumb here, so the tracking position is the position.
    if (lpsi->fMask & SIF_TRACKPOS) lpsi->nTrackPos = bar.nPos;
    return TRUE;
}

int CWindowManager::SetScrollInfo(HWND hWnd, int nBar, LPCSCROLLINFO lpsi) {
    Window* w = Find(hWnd);
    if (!w || !lpsi || nBar < SB_HORZ || nBar > SB_CTL) return 0;
    SCROLLINFO& bar = w->bars[nBar];
    if (lpsi->fMask & SIF_RANGE) {
        // An inverted range, or one wider than the platform allows, becomes 0..0.
        const int64_t span = static_cast<int64_t>(lpsi->nMax) - lpsi->nMin;
        if (span < 0 || span >= 0x80000000LL) {
            bar.nMin = 0;
            bar.nMax = 0;
        } else {
            bar.nMin = lpsi->nMin;
            bar.nMax = lpsi->nMax;
        }
    }
    if (lpsi->fMask & SIF_PAGE) bar.nPage = lpsi->nPage;
    if (lpsi->fMask & SIF_POS) bar.nPos = lpsi->nPos;

    // The page fits the range and the position stays where a page still fits.
    const int64_t range = static_cast<int64_t>(bar.nMax) - bar.nMin + 1;
    if (static_cast<int64_t>(bar.nPage) > range) bar.nPage = static_cast<UINT>(range);
    const int64_t maxPos = static_cast<int64_t>(bar.nMax) - std::max<int64_t>(static_cast<int64_t>(bar.nPage) - 1, 0);
    if (bar.nPos < bar.nMin) {
        bar.nPos = bar.nMin;
    } else if (bar.nPos > maxPos) {
        bar.nPos = static_cast<int>(maxPos);
    }
    bar.nTrackPos = bar.nPos;
    return bar.nPos;
}
