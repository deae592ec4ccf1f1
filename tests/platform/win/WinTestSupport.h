#pragma once
// Helpers for the window-layer tests: a fresh window manager per test and a window that records
// the messages it gets, so tests can check order and parameters.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/win/CPaintDC.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"

// A window that writes "name:event" lines to a shared log and lets a test hook its handlers.
class CProbeWnd : public CWnd {
public:
    CProbeWnd(std::string name, std::vector<std::string>* log) : m_name(std::move(name)), m_log(log) {}

    // What OnCreate returns.
    int m_nCreateResult = 0;
    // Fills the paint context's clip box with this colour in OnPaint, when set.
    bool m_bFillOnPaint = false;
    COLORREF m_fillColour = RGB(255, 0, 0);
    // Runs inside the handlers, after logging.
    std::function<void()> m_onPaint;
    std::function<void(UINT_PTR)> m_onTimer;
    std::function<void(UINT, CPoint)> m_onMouseMove;
    std::function<void(UINT, CPoint)> m_onLButtonDown;
    std::function<BOOL(UINT nHitTest, UINT message)> m_onSetCursor;
    std::function<void(WINDOWPOS*)> m_onPosChanging;
    // Parameters of the last mouse message.
    UINT m_nLastFlags = 0;
    CPoint m_ptLast;
    int m_nPaints = 0;
    PAINTSTRUCT m_lastPaint{};

    void Log(const std::string& event) {
        if (m_log) m_log->push_back(m_name + ":" + event);
    }
    // Creates a visible child of parent at rect.
    BOOL CreateChild(CWnd* parent, const CRect& rect, DWORD extraStyle = WS_VISIBLE, UINT id = 1) {
        return Create(nullptr, m_name.c_str(), extraStyle, rect, parent, id);
    }
    // Creates a visible top-level window (a page) at rect.
    BOOL CreateTop(const CRect& rect, DWORD style = WS_VISIBLE) {
        return CreateEx(0, nullptr, m_name.c_str(), style, rect, nullptr, 0);
    }

protected:
    int OnCreate(LPCREATESTRUCT cs) override {
        Log("create " + std::to_string(cs->cx) + "x" + std::to_string(cs->cy));
        return m_nCreateResult;
    }
    void OnDestroy() override { Log("destroy"); }
    void OnNcDestroy() override {
        Log("ncdestroy");
        CWnd::OnNcDestroy();
    }
    void OnSize(UINT, int cx, int cy) override { Log("size " + std::to_string(cx) + "x" + std::to_string(cy)); }
    void OnWindowPosChanging(WINDOWPOS* pos) override {
        Log("poschanging");
        if (m_onPosChanging) m_onPosChanging(pos);
    }
    BOOL OnEraseBkgnd(CDC* pDC) override {
        Log("erase");
        return CWnd::OnEraseBkgnd(pDC);
    }
    void OnPaint() override {
        CPaintDC dc(this);  // erases first, when an erase is pending
        Log("paint");
        ++m_nPaints;
        m_lastPaint = dc.m_ps;
        if (m_bFillOnPaint) {
            CRect box;
            dc.GetClipBox(&box);
            dc.FillSolidRect(&box, m_fillColour);
        }
        if (m_onPaint) m_onPaint();
    }
    void OnTimer(UINT_PTR id) override {
        Log("timer " + std::to_string(id));
        if (m_onTimer) m_onTimer(id);
    }
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message) override {
        Log("setcursor " + std::to_string(nHitTest) + " " + std::to_string(message));
        if (m_onSetCursor) return m_onSetCursor(nHitTest, message);
        return CWnd::OnSetCursor(pWnd, nHitTest, message);
    }
    void OnMouseMove(UINT nFlags, CPoint pt) override { Mouse("move", nFlags, pt, m_onMouseMove); }
    void OnLButtonDown(UINT nFlags, CPoint pt) override { Mouse("ldown", nFlags, pt, m_onLButtonDown); }
    void OnLButtonUp(UINT nFlags, CPoint pt) override { Mouse("lup", nFlags, pt, nullptr); }
    void OnLButtonDblClk(UINT nFlags, CPoint pt) override { Mouse("ldbl", nFlags, pt, nullptr); }
    void OnRButtonUp(UINT nFlags, CPoint pt) override { Mouse("rup", nFlags, pt, nullptr); }
    void OnCaptureChanged(CWnd*) override { Log("capturechanged"); }

private:
    void Mouse(const char* what, UINT nFlags, CPoint pt, const std::function<void(UINT, CPoint)>& hook) {
        Log(std::string(what) + " " + std::to_string(pt.x) + "," + std::to_string(pt.y));
        m_nLastFlags = nFlags;
        m_ptLast = pt;
        if (hook) hook(nFlags, pt);
    }

    std::string m_name;
    std::vector<std::string>* m_log;
};

// Each test gets its own manager, so windows, timers and the clock start fresh.
class WinTest : public ::testing::Test {
protected:
    CWindowManager m_manager;
    std::vector<std::string> m_log;

    // The colour of a top-level window's surface at a point.
    COLORREF SurfacePixel(const CWnd& top, int x, int y) const {
        const CBitmap* surface = m_manager.GetSurface(top.m_hWnd);
        if (!surface || x < 0 || y < 0 || x >= surface->GetWidth() || y >= surface->GetHeight()) return CLR_INVALID;
        return surface->GetPixels()[static_cast<size_t>(y) * surface->GetWidth() + x];
    }
    // The log entries that contain a word, in order.
    std::vector<std::string> LogWith(const std::string& word) const {
        std::vector<std::string> out;
        for (const auto& line : m_log) {
            if (line.find(word) != std::string::npos) out.push_back(line);
        }
        return out;
    }
};
