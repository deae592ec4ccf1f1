#pragma once
// The one window manager: the window tree, invalid regions and painting, the message queue and
// mouse input, timers on a clock the host advances, capture, the cursor, and the display behind
// them. CWnd and the free window functions reach it through CWindowManager::Current().
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/win/Cursor.h"
#include "platform/win/WinUser.h"

class CBitmap;
class CDC;
class CDisplay;
class CWnd;
struct PAINTSTRUCT;

class CWindowManager {
public:
    // Mouse input a host (or a desktop display) injects at surface coordinates.
    enum class MouseAction { Move, LeftDown, LeftUp, LeftDoubleClick, RightDown, RightUp };

    // One entry of the cursor-change record.
    struct CursorChange {
        uint64_t nTime;
        HCURSOR hCursor;
    };

    // Paint passes per paint step: a window that keeps invalidating itself while it paints is
    // painted again at most this many times.
    static constexpr int kMaxPaintPasses = 8;
    // Dispatch rounds per step: messages posted while dispatching wait for at most this many rounds.
    static constexpr int kMaxDispatchRounds = 16;
    // The largest top-level surface in pixels; a bigger top-level window fails to be created.
    static constexpr int64_t kMaxSurfacePixels = int64_t{1} << 26;
    // Window sizes are kept within the 16 bits that size and mouse messages carry.
    static constexpr int kMaxWindowExtent = 32767;
    // How many cursor changes the record keeps (the oldest go first).
    static constexpr size_t kMaxCursorRecord = 1024;

    // A manager with a headless display; it is the current manager until another is made or it
    // is destroyed (managers may be destroyed in any order).
    CWindowManager();
    // A manager with the given display; it becomes the current manager until it is destroyed.
    explicit CWindowManager(std::unique_ptr<CDisplay> display);
    // Destroys the windows still alive and makes the previous manager current again.
    ~CWindowManager();
    CWindowManager(const CWindowManager&) = delete;
    CWindowManager& operator=(const CWindowManager&) = delete;

    // The manager windows are created in: the innermost live one, or a process-wide default.
    static CWindowManager& Current();

    // ---- Window tree (WindowManager.cpp)

    // Creates the window of wnd, sending WM_CREATE (-1 aborts) and then WM_SIZE and WM_MOVE;
    // null on failure. cs.hwndParent must be a window when cs.style has WS_CHILD.
    HWND CreateWindowFor(CWnd* wnd, CREATESTRUCT& cs);
    // WM_DESTROY to the window, then its children are destroyed, then WM_NCDESTROY; its timers,
    // queued messages and capture die with it.
    BOOL DestroyWindow(HWND hWnd);
    // TRUE while hWnd names a live window.
    BOOL IsWindow(HWND hWnd) const;
    // The object of a live window, or null.
    CWnd* FromHandle(HWND hWnd) const;
    // The parent of a child window; null for a top-level window.
    HWND GetParent(HWND hWnd) const;
    // The top-level window at the root of hWnd's tree (hWnd itself for a top-level window).
    HWND GetTopLevel(HWND hWnd) const;
    // TRUE when hChild is a descendant of hParent.
    BOOL IsChild(HWND hParent, HWND hChild) const;
    // Children in creation order (the bottom of the z-order first).
    std::vector<HWND> GetChildren(HWND hWnd) const;
    // Top-level windows in creation order.
    std::vector<HWND> GetTopLevelWindows() const { return m_topLevels; }
    DWORD GetStyle(HWND hWnd) const;
    DWORD GetExStyle(HWND hWnd) const;
    int GetDlgCtrlID(HWND hWnd) const;
    // Visible when the window and all its ancestors have WS_VISIBLE.
    BOOL IsWindowVisible(HWND hWnd) const;
    // Shows or hides; returns whether the window was visible before.
    BOOL ShowWindow(HWND hWnd, int nCmdShow);
    // (0, 0, width, height): windows have no non-client area.
    BOOL GetClientRect(HWND hWnd, LPRECT lpRect) const;
    // The window's rectangle in screen coordinates.
    BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) const;
    BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) const;
    BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) const;
    // Moves and sizes through WM_WINDOWPOSCHANGING (whose handler may change the record) and
    // WM_WINDOWPOSCHANGED (whose default processing sends WM_MOVE and WM_SIZE). x and y are in
    // the parent's client coordinates (screen coordinates for a top-level window).
    BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags);
    // The text WM_SETTEXT stored (DefWindowProc's storage).
    void SetWindowTextRaw(HWND hWnd, const std::string& text);
    const std::string* GetWindowTextRaw(HWND hWnd) const;
    // A window's own scroll bar (SB_HORZ, SB_VERT) or a scroll-bar control's (SB_CTL).
    BOOL GetScrollInfo(HWND hWnd, int nBar, LPSCROLLINFO lpsi) const;
    int SetScrollInfo(HWND hWnd, int nBar, LPCSCROLLINFO lpsi);

    // ---- Invalidation and painting (WindowManagerPaint.cpp)

    // Adds a client rectangle (null: all of it) to the invalid region; a window without
    // WS_CLIPCHILDREN passes the covered parts on to its visible children, and the windows above
    // it (later siblings, at every level up) that overlap the rectangle paint again after it.
    BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
    // Takes a client rectangle (null: all of it) out of the invalid region.
    BOOL ValidateRect(HWND hWnd, const RECT* lpRect);
    // The bounding box of the invalid region; FALSE when nothing is invalid.
    BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect) const;
    // Paints the window now if it is invalid, then its invalid descendants.
    void UpdateWindow(HWND hWnd);
    // Paints every invalid visible window, parents before children and siblings in creation
    // order, repeating while a pass leaves windows invalid, up to kMaxPaintPasses.
    void PaintAll();
    // TRUE when some visible window is invalid.
    BOOL HasInvalidWindows() const;
    // BeginPaint: points dc at the invalid part of the window, validates the window, sends
    // WM_ERASEBKGND when an erase is pending and fills ps.
    void BeginPaint(HWND hWnd, CDC& dc, PAINTSTRUCT& ps);
    // EndPaint: hands the painted rectangle to the display.
    void EndPaint(HWND hWnd, const PAINTSTRUCT& ps);
    // Points dc at the visible part of the window's client area.
    void PrepareClientDC(HWND hWnd, CDC& dc);
    // Hands what a client context may have drawn to the display.
    void ReleaseClientDC(HWND hWnd);
    // The raster surface of a top-level window (the one hWnd paints on for a child), or null.
    CBitmap* GetSurface(HWND hWnd) const;
    // Where the window's client origin lies on its top-level surface.
    CPoint GetClientOriginOnSurface(HWND hWnd) const;
    // The part of the window's client area that can show on its surface (surface coordinates);
    // empty when the window or an ancestor is hidden.
    CRect GetVisibleSurfaceRect(HWND hWnd) const;

    // ---- Messages, input, timers and the clock (WindowManagerQueue.cpp)

    LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // FALSE when hWnd is not a window.
    BOOL PostMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Looks at posted messages, then mouse input, for hWnd or its descendants (null: any window)
    // within the message range (0, 0: all). Taking mouse input out of the queue (PM_REMOVE) sends
    // WM_SETCURSOR first when the mouse is not captured, as the platform does.
    BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
    // Delivers a message to its window procedure (or its timer callback).
    LRESULT DispatchMessage(const MSG* lpMsg);
    // Dispatches queued messages in bounded rounds.
    void DispatchQueued();
    // Queues mouse input at a point of a top-level window's surface. The target (the capture
    // window, else the window under the point) is decided when the input is taken from the
    // queue; the key state is the button state after this input. FALSE when hTopLevel is not a
    // top-level window.
    BOOL QueueMouseInput(HWND hTopLevel, MouseAction action, CPoint ptSurface);
    // The MK_LBUTTON / MK_RBUTTON state of the injected input so far.
    UINT GetMouseButtons() const { return m_nButtons; }
    // The screen position of the last mouse input taken from the queue.
    POINT GetCursorPos() const { return m_ptCursor; }
    // The deepest visible window under a point of a top-level surface, or null.
    HWND WindowFromSurfacePoint(HWND hTopLevel, CPoint ptSurface) const;

    // A timer first ticks one period after it is set; setting an id again restarts it. The
    // period is clamped to USER_TIMER_MINIMUM..USER_TIMER_MAXIMUM. 0 when hWnd is not a window.
    UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
    // FALSE when there is no such timer.
    BOOL KillTimer(HWND hWnd, UINT_PTR nIDEvent);
    // How many timers a window has (all windows for null).
    size_t GetTimerCount(HWND hWnd) const;
    // The clock in milliseconds.
    uint64_t GetTime() const { return m_nNow; }
    // Advances the clock to each due timer tick up to and including now + ms, in time order,
    // dispatching the queue and painting after each step; Pump(0) dispatches and paints without
    // advancing time. Not re-entrant.
    void Pump(DWORD ms);

    // Capture: input goes to this window wherever the mouse is. WM_CAPTURECHANGED tells the
    // window that loses it.
    HWND SetCapture(HWND hWnd);
    BOOL ReleaseCapture();
    HWND GetCapture() const { return m_hCapture; }
    // The active top-level window; activation sends WM_ACTIVATE to both windows involved.
    HWND SetActiveWindow(HWND hWnd);
    HWND GetActiveWindow() const { return m_hActive; }

    // The current cursor; a change is recorded and told to the display.
    HCURSOR SetCursor(HCURSOR hCursor);
    HCURSOR GetCursor() const { return m_hCursor; }
    // The cursor changes so far, oldest first.
    const std::deque<CursorChange>& GetCursorChanges() const { return m_cursorChanges; }
    void ClearCursorChanges() { m_cursorChanges.clear(); }

    CDisplay& GetDisplay() { return *m_display; }
    // Puts another display in place (a desktop host showing a document that opened headless): the
    // new one is told every top-level surface and shown all of it; the old one is handed back.
    std::unique_ptr<CDisplay> SetDisplay(std::unique_ptr<CDisplay> display);

private:
    struct Window;
    struct InputItem {
        HWND hTopLevel;
        UINT message;
        WPARAM keys;
        POINT ptScreen;
        DWORD time;
    };
    struct Timer {
        HWND hWnd;
        UINT_PTR id;
        UINT period;
        uint64_t due;
        uint64_t seq;
        TIMERPROC proc;
    };

    Window* Find(HWND hWnd) const;
    void DestroyTree(HWND hWnd);
    void PaintTree(HWND hWnd);
    void InvalidateClient(Window& w, const CRect& rcClient, bool bErase);
    void InvalidateParentArea(const Window& w);
    void InvalidateSiblingsAbove(const Window& w, const CRect& rcClient);
    BOOL ResizeSurface(Window& w);
    void FireDueTimers();
    HWND ResolveInputTarget(const InputItem& item) const;
    BOOL TakeInput(size_t index, LPMSG lpMsg);
    static bool MatchesFilter(const CWindowManager& m, HWND hMsg, UINT message, HWND hFilter, UINT lo, UINT hi);

    std::unique_ptr<CDisplay> m_display;
    std::unordered_map<HWND, std::unique_ptr<Window>> m_windows;
    std::vector<HWND> m_topLevels;
    uintptr_t m_nNextHandle = 0x10000;
    std::deque<MSG> m_posted;
    std::deque<InputItem> m_input;
    std::vector<Timer> m_timers;
    uint64_t m_nTimerSeq = 0;
    uint64_t m_nNow = 0;
    bool m_bInPump = false;
    HWND m_hCapture = nullptr;
    HWND m_hActive = nullptr;
    UINT m_nButtons = 0;
    POINT m_ptCursor{0, 0};
    HCURSOR m_hCursor = nullptr;
    std::deque<CursorChange> m_cursorChanges;
};
