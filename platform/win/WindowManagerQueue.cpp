// The message side of the window manager: sent and posted messages, mouse input, the queue
// PeekMessage looks into, timers, the clock and the pump, capture, activation and the cursor.
#include <algorithm>
#include <cassert>
#include <limits>

#include "platform/base/Saturate.h"
#include "platform/win/CDisplay.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"
#include "platform/win/WindowRecord.h"

LRESULT CWindowManager::SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = FromHandle(hWnd);
    if (!wnd) return 0;
    const MSG msg{hWnd, message, wParam, lParam, static_cast<DWORD>(m_nNow), m_ptCursor};
    return CWnd::CallWindowProc(wnd, msg);
}

BOOL CWindowManager::PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!Find(hWnd)) return FALSE;
    m_posted.push_back(MSG{hWnd, message, wParam, lParam, static_cast<DWORD>(m_nNow), m_ptCursor});
    return TRUE;
}

bool CWindowManager::MatchesFilter(const CWindowManager& m, HWND hMsg, UINT message, HWND hFilter, UINT lo,
                                   UINT hi) {
    if (hFilter && hMsg != hFilter && !m.IsChild(hFilter, hMsg)) return false;
    if (lo == 0 && hi == 0) return true;
    return message >= lo && message <= hi;
}

HWND CWindowManager::ResolveInputTarget(const InputItem& item) const {
    if (m_hCapture && Find(m_hCapture)) return m_hCapture;
    const Window* top = Find(item.hTopLevel);
    if (!top) return nullptr;
    const CPoint ptSurface(SaturatingAdd(item.ptScreen.x, -top->rect.left),
                           SaturatingAdd(item.ptScreen.y, -top->rect.top));
    return WindowFromSurfacePoint(item.hTopLevel, ptSurface);
}

BOOL CWindowManager::TakeInput(size_t index, LPMSG lpMsg) {
    const InputItem item = m_input[index];
    m_input.erase(m_input.begin() + static_cast<std::ptrdiff_t>(index));
    const HWND hTarget = ResolveInputTarget(item);
    if (!hTarget) return FALSE;
    m_ptCursor = item.ptScreen;
    // The platform asks the window under the mouse for its cursor before each mouse message,
    // unless the mouse is captured.
    if (!m_hCapture) {
        SendMessage(hTarget, WM_SETCURSOR, reinterpret_cast<WPARAM>(hTarget), MAKELPARAM(HTCLIENT, item.message));
        if (!IsWindow(hTarget)) return FALSE;
    }
    POINT pt = item.ptScreen;
    ScreenToClient(hTarget, &pt);
    *lpMsg = MSG{hTarget, item.message, item.keys, MAKELPARAM(pt.x, pt.y), item.time, item.ptScreen};
    return TRUE;
}

BOOL CWindowManager::PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    assert(lpMsg);
    const bool bRemove = (wRemoveMsg & PM_REMOVE) != 0;
    for (auto it = m_posted.begin(); it != m_posted.end(); ++it) {
        if (!MatchesFilter(*this, it->hwnd, it->message, hWnd, wMsgFilterMin, wMsgFilterMax)) continue;
        *lpMsg = *it;
        if (bRemove) m_posted.erase(it);
        return TRUE;
    }
    for (size_t i = 0; i < m_input.size();) {
        const HWND hTarget = ResolveInputTarget(m_input[i]);
        if (!hTarget || !MatchesFilter(*this, hTarget, m_input[i].message, hWnd, wMsgFilterMin, wMsgFilterMax)) {
            ++i;
            continue;
        }
        if (!bRemove) {
            POINT pt = m_input[i].ptScreen;
            ScreenToClient(hTarget, &pt);
            *lpMsg = MSG{hTarget, m_input[i].message, m_input[i].keys, MAKELPARAM(pt.x, pt.y), m_input[i].time,
                         m_input[i].ptScreen};
            return TRUE;
        }
        if (TakeInput(i, lpMsg)) return TRUE;
        // The input found no window after all; it is gone, look on from the same place.
    }
    return FALSE;
}

LRESULT CWindowManager::DispatchMessage(const MSG* lpMsg) {
    assert(lpMsg);
    if (lpMsg->message == WM_TIMER && lpMsg->lParam != 0) {
        if (!Find(lpMsg->hwnd)) return 0;
        auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
        proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, static_cast<DWORD>(m_nNow));
        return 0;
    }
    CWnd* wnd = FromHandle(lpMsg->hwnd);
    if (!wnd) return 0;
    return CWnd::CallWindowProc(wnd, *lpMsg);
}

void CWindowManager::DispatchQueued() {
    // Each round handles what was queued when it began, so a window that keeps posting to itself
    // cannot hold the pump forever.
    for (int round = 0; round < kMaxDispatchRounds; ++round) {
        const size_t queued = m_posted.size() + m_input.size();
        if (queued == 0) break;
        for (size_t k = 0; k < queued; ++k) {
            MSG msg;
            if (!PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) break;
            DispatchMessage(&msg);
        }
    }
}

BOOL CWindowManager::QueueMouseInput(HWND hTopLevel, MouseAction action, CPoint ptSurface) {
    const Window* top = Find(hTopLevel);
    if (!top || top->parent) return FALSE;
    UINT message = WM_MOUSEMOVE;
    switch (action) {
    case MouseAction::Move:
        break;
    case MouseAction::LeftDown:
        message = WM_LBUTTONDOWN;
        m_nButtons |= MK_LBUTTON;
        break;
    case MouseAction::LeftUp:
        message = WM_LBUTTONUP;
        m_nButtons &= ~MK_LBUTTON;
        break;
    case MouseAction::LeftDoubleClick:
        // The second press of a double click: the button is down until the next release.
        message = WM_LBUTTONDBLCLK;
        m_nButtons |= MK_LBUTTON;
        break;
    case MouseAction::RightDown:
        message = WM_RBUTTONDOWN;
        m_nButtons |= MK_RBUTTON;
        break;
    case MouseAction::RightUp:
        message = WM_RBUTTONUP;
        m_nButtons &= ~MK_RBUTTON;
        break;
    }
    const POINT ptScreen{SaturatingAdd(ptSurface.x, top->rect.left), SaturatingAdd(ptSurface.y, top->rect.top)};
    m_input.push_back(InputItem{hTopLevel, message, m_nButtons, ptScreen, static_cast<DWORD>(m_nNow)});
    return TRUE;
}

HWND CWindowManager::WindowFromSurfacePoint(HWND hTopLevel, CPoint ptSurface) const {
    const Window* w = Find(hTopLevel);
    if (!w || w->parent || !(w->style & WS_VISIBLE)) return nullptr;
    if (!CRect(0, 0, w->rect.Width(), w->rect.Height()).PtInRect(ptSurface)) return nullptr;
    CPoint pt = ptSurface;
    for (;;) {
        const Window* hit = nullptr;
        // The topmost child first: the last created.
        for (auto it = w->children.rbegin(); it != w->children.rend(); ++it) {
            const Window* c = Find(*it);
            if (c && (c->style & WS_VISIBLE) && c->rect.PtInRect(pt)) {
                hit = c;
                break;
            }
        }
        if (!hit) return w->hwnd;
        pt.Offset(-hit->rect.left, -hit->rect.top);
        w = hit;
    }
}

UINT_PTR CWindowManager::SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    if (!Find(hWnd)) return 0;
    const UINT period = std::clamp(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    const Timer timer{hWnd, nIDEvent, period, m_nNow + period, ++m_nTimerSeq, lpTimerFunc};
    auto it = std::find_if(m_timers.begin(), m_timers.end(),
                           [&](const Timer& t) { return t.hWnd == hWnd && t.id == nIDEvent; });
    if (it != m_timers.end()) {
        *it = timer;
    } else {
        m_timers.push_back(timer);
    }
    return nIDEvent != 0 ? nIDEvent : 1;
}

BOOL CWindowManager::KillTimer(HWND hWnd, UINT_PTR nIDEvent) {
    auto it = std::find_if(m_timers.begin(), m_timers.end(),
                           [&](const Timer& t) { return t.hWnd == hWnd && t.id == nIDEvent; });
    if (it == m_timers.end()) return FALSE;
    m_timers.erase(it);
    return TRUE;
}

size_t CWindowManager::GetTimerCount(HWND hWnd) const {
    if (!hWnd) return m_timers.size();
    return static_cast<size_t>(std::count_if(m_timers.begin(), m_timers.end(),
                                             [hWnd](const Timer& t) { return t.hWnd == hWnd; }));
}

void CWindowManager::FireDueTimers() {
    // Timers due now tick in the order they were set; a timer set again or killed by an earlier
    // tick of this step no longer matches its sequence number and is left alone.
    std::vector<Timer> due;
    for (const Timer& t : m_timers) {
        if (t.due <= m_nNow) due.push_back(t);
    }
    std::sort(due.begin(), due.end(),
              [](const Timer& a, const Timer& b) { return a.due != b.due ? a.due < b.due : a.seq < b.seq; });
    for (const Timer& d : due) {
        auto it = std::find_if(m_timers.begin(), m_timers.end(), [&](const Timer& t) { return t.seq == d.seq; });
        if (it == m_timers.end()) continue;
        it->due = m_nNow + it->period;
        const MSG msg{d.hWnd, WM_TIMER, d.id, reinterpret_cast<LPARAM>(d.proc), static_cast<DWORD>(m_nNow),
                      m_ptCursor};
        DispatchMessage(&msg);
    }
}

void CWindowManager::Pump(DWORD ms) {
    assert(!m_bInPump && "Pump is not re-entrant");
    struct PumpScope {
        bool& flag;
        explicit PumpScope(bool& f) : flag(f) { flag = true; }
        ~PumpScope() { flag = false; }
    } scope(m_bInPump);

    DispatchQueued();
    PaintAll();
    const uint64_t end = m_nNow + ms;
    for (;;) {
        uint64_t next = std::numeric_limits<uint64_t>::max();
        for (const Timer& t : m_timers) {
            if (t.due <= end) next = std::min(next, t.due);
        }
        if (next == std::numeric_limits<uint64_t>::max()) break;
        m_nNow = std::max(m_nNow, next);
        FireDueTimers();
        DispatchQueued();
        PaintAll();
    }
    if (m_nNow < end) {
        m_nNow = end;
        DispatchQueued();
        PaintAll();
    }
}

HWND CWindowManager::SetCapture(HWND hWnd) {
    const HWND hPrevious = m_hCapture;
    if (!Find(hWnd)) return hPrevious;
    m_hCapture = hWnd;
    if (hPrevious && hPrevious != hWnd) {
        SendMessage(hPrevious, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    }
    return hPrevious;
}

BOOL CWindowManager::ReleaseCapture() {
    const HWND hPrevious = m_hCapture;
    m_hCapture = nullptr;
    if (hPrevious) SendMessage(hPrevious, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND CWindowManager::SetActiveWindow(HWND hWnd) {
    const HWND hTop = GetTopLevel(hWnd);
    const HWND hPrevious = m_hActive;
    if (!hTop || hTop == hPrevious) return hPrevious;
    m_hActive = hTop;
    if (IsWindow(hPrevious)) {
        SendMessage(hPrevious, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hTop));
    }
    SendMessage(hTop, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(hPrevious));
    return hPrevious;
}

HCURSOR CWindowManager::SetCursor(HCURSOR hCursor) {
    const HCURSOR hPrevious = m_hCursor;
    if (hCursor == hPrevious) return hPrevious;
    m_hCursor = hCursor;
    m_cursorChanges.push_back(CursorChange{m_nNow, hCursor});
    if (m_cursorChanges.size() > kMaxCursorRecord) m_cursorChanges.pop_front();
    m_display->OnCursorChanged(hCursor);
    return hPrevious;
}
