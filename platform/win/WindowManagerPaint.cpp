// Invalid regions and painting: which windows are invalid, the order they are painted in, and
// the surfaces and visible rectangles that paint and client contexts draw through.
#include <algorithm>
#include <cassert>

#include "platform/base/Saturate.h"
#include "platform/gdi/CDC.h"
#include "platform/win/CDisplay.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"
#include "platform/win/PaintStruct.h"
#include "platform/win/WindowRecord.h"

namespace {

CRect Offset(CRect r, POINT by) {
    r.OffsetRect(by);
    return r;
}

// What a context of a window that no longer exists draws on: nothing visible.
CBitmap& DeadSurface() {
    static CBitmap* const pSurface = [] {
        auto* p = new CBitmap();
        p->CreateBitmap(1, 1, 1, 32, nullptr);
        return p;
    }();
    return *pSurface;
}

}  // namespace

void CWindowManager::InvalidateClient(Window& w, const CRect& rcClient, bool bErase) {
    CRect r;
    if (!r.IntersectRect(&rcClient, CRect(0, 0, w.rect.Width(), w.rect.Height()))) return;
    w.invalid.UnionRect(&w.invalid, &r);
    w.erase = w.erase || bErase;
    // A parent that does not clip its children paints over them, so they paint again after it.
    if (w.style & WS_CLIPCHILDREN) return;
    for (HWND hChild : w.children) {
        Window* pChild = Find(hChild);
        if (!pChild || !(pChild->style & WS_VISIBLE)) continue;
        CRect rcChild;
        if (!rcChild.IntersectRect(&r, &pChild->rect)) continue;
        rcChild.OffsetRect(-pChild->rect.left, -pChild->rect.top);
        InvalidateClient(*pChild, rcChild, bErase);
    }
}

void CWindowManager::InvalidateParentArea(const Window& w) {
    Window* pParent = Find(w.parent);
    if (!pParent) return;
    InvalidateClient(*pParent, w.rect, true);
    InvalidateSiblingsAbove(*pParent, w.rect);
}

void CWindowManager::InvalidateSiblingsAbove(const Window& w, const CRect& rcClient) {
    // A window paints without clipping its siblings, so the windows above it (created after it,
    // at each level up the tree) paint again where it painted, and stay on top.
    CRect r;
    if (!r.IntersectRect(&rcClient, CRect(0, 0, w.rect.Width(), w.rect.Height()))) return;
    for (const Window* cur = &w; cur->parent; cur = Find(cur->parent)) {
        Window* pParent = Find(cur->parent);
        if (!pParent) return;
        r.OffsetRect(cur->rect.left, cur->rect.top);
        if (!r.IntersectRect(&r, CRect(0, 0, pParent->rect.Width(), pParent->rect.Height()))) return;
        const auto self = std::find(pParent->children.begin(), pParent->children.end(), cur->hwnd);
        if (self == pParent->children.end()) return;
        for (auto it = self + 1; it != pParent->children.end(); ++it) {
            Window* pSibling = Find(*it);
            if (!pSibling || !(pSibling->style & WS_VISIBLE)) continue;
            CRect rcSibling;
            if (!rcSibling.IntersectRect(&r, &pSibling->rect)) continue;
            rcSibling.OffsetRect(-pSibling->rect.left, -pSibling->rect.top);
            InvalidateClient(*pSibling, rcSibling, true);
        }
    }
}

BOOL CWindowManager::InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    const CRect rc = lpRect ? CRect(*lpRect) : CRect(0, 0, w->rect.Width(), w->rect.Height());
    InvalidateClient(*w, rc, bErase != FALSE);
    if (IsWindowVisible(hWnd)) InvalidateSiblingsAbove(*w, rc);
    return TRUE;
}

BOOL CWindowManager::ValidateRect(HWND hWnd, const RECT* lpRect) {
    Window* w = Find(hWnd);
    if (!w) return FALSE;
    CRect& inv = w->invalid;
    if (!lpRect) {
        inv.SetRectEmpty();
    } else {
        const CRect r(*lpRect);
        // The region is a bounding box: it shrinks only where r takes a whole strip off it.
        if (r.left <= inv.left && r.right >= inv.right) {
            if (r.top <= inv.top && r.bottom >= inv.bottom) {
                inv.SetRectEmpty();
            } else if (r.top <= inv.top && r.bottom > inv.top) {
                inv.top = r.bottom;
            } else if (r.bottom >= inv.bottom && r.top < inv.bottom) {
                inv.bottom = r.top;
            }
        } else if (r.top <= inv.top && r.bottom >= inv.bottom) {
            if (r.left <= inv.left && r.right > inv.left) {
                inv.left = r.right;
            } else if (r.right >= inv.right && r.left < inv.right) {
                inv.right = r.left;
            }
        }
    }
    if (inv.IsRectEmpty()) {
        inv.SetRectEmpty();
        w->erase = false;
    }
    return TRUE;
}

BOOL CWindowManager::GetUpdateRect(HWND hWnd, LPRECT lpRect) const {
    const Window* w = Find(hWnd);
    if (!w) return FALSE;
    if (lpRect) *lpRect = w->invalid;
    return w->invalid.IsRectEmpty() ? FALSE : TRUE;
}

void CWindowManager::UpdateWindow(HWND hWnd) {
    if (Find(hWnd)) PaintTree(hWnd);
}

void CWindowManager::PaintTree(HWND hWnd) {
    const Window* w = Find(hWnd);
    if (!w || !IsWindowVisible(hWnd)) return;
    if (!w->invalid.IsRectEmpty()) SendMessage(hWnd, WM_PAINT, 0, 0);
    // Siblings in creation order, so later ones end up on top.
    for (HWND hChild : GetChildren(hWnd)) PaintTree(hChild);
}

BOOL CWindowManager::HasInvalidWindows() const {
    for (const auto& [hWnd, w] : m_windows) {
        if (!w->invalid.IsRectEmpty() && IsWindowVisible(hWnd)) return TRUE;
    }
    return FALSE;
}

void CWindowManager::PaintAll() {
    for (int pass = 0; pass < kMaxPaintPasses && HasInvalidWindows(); ++pass) {
        for (HWND hTop : std::vector<HWND>(m_topLevels)) PaintTree(hTop);
    }
}

CBitmap* CWindowManager::GetSurface(HWND hWnd) const {
    const Window* top = Find(GetTopLevel(hWnd));
    return top ? top->surface.get() : nullptr;
}

CPoint CWindowManager::GetClientOriginOnSurface(HWND hWnd) const {
    CPoint origin(0, 0);
    for (const Window* w = Find(hWnd); w && w->parent; w = Find(w->parent)) {
        origin.x = SaturatingAdd(origin.x, w->rect.left);
        origin.y = SaturatingAdd(origin.y, w->rect.top);
    }
    return origin;
}

CRect CWindowManager::GetVisibleSurfaceRect(HWND hWnd) const {
    const Window* w = Find(hWnd);
    const CBitmap* surface = GetSurface(hWnd);
    if (!w || !surface || !IsWindowVisible(hWnd)) return CRect();
    CRect visible(GetClientOriginOnSurface(hWnd), w->rect.Size());
    // Each ancestor's client area clips what its descendants show.
    for (const Window* p = Find(w->parent); p; p = Find(p->parent)) {
        const CRect rcParent(GetClientOriginOnSurface(p->hwnd), p->rect.Size());
        if (!visible.IntersectRect(&visible, &rcParent)) return CRect();
    }
    const CRect rcSurface(0, 0, surface->GetWidth(), surface->GetHeight());
    if (!visible.IntersectRect(&visible, &rcSurface)) return CRect();
    return visible;
}

void CWindowManager::BeginPaint(HWND hWnd, CDC& dc, PAINTSTRUCT& ps) {
    ps = PAINTSTRUCT{};
    Window* w = Find(hWnd);
    CBitmap* surface = GetSurface(hWnd);
    if (!w || !surface) {
        dc.SetSurface(&DeadSurface(), CPoint(0, 0), CRect());
        ps.hdc = dc.m_hDC;
        return;
    }
    CRect rcPaint;
    rcPaint.IntersectRect(&w->invalid, CRect(0, 0, w->rect.Width(), w->rect.Height()));
    const bool bErase = w->erase;
    w->invalid.SetRectEmpty();
    w->erase = false;

    const CPoint origin = GetClientOriginOnSurface(hWnd);
    CRect visible = GetVisibleSurfaceRect(hWnd);
    const CRect rcPaintOnSurface = Offset(rcPaint, origin);
    if (!visible.IntersectRect(&visible, &rcPaintOnSurface)) visible.SetRectEmpty();
    dc.SetSurface(surface, origin, visible);

    ps.hdc = dc.m_hDC;
    ps.rcPaint = rcPaint;
    ps.fErase = FALSE;
    if (bErase) {
        // fErase tells the painter the background is still to be erased.
        const LRESULT erased = SendMessage(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
        ps.fErase = erased ? FALSE : TRUE;
    }
}

void CWindowManager::EndPaint(HWND hWnd, const PAINTSTRUCT& ps) {
    CBitmap* surface = GetSurface(hWnd);
    if (!surface) return;
    CRect dirty = Offset(CRect(ps.rcPaint), GetClientOriginOnSurface(hWnd));
    const CRect visible = GetVisibleSurfaceRect(hWnd);
    if (dirty.IntersectRect(&dirty, &visible)) m_display->Present(GetTopLevel(hWnd), *surface, dirty);
}

void CWindowManager::PrepareClientDC(HWND hWnd, CDC& dc) {
    CBitmap* surface = GetSurface(hWnd);
    if (!surface) {
        dc.SetSurface(&DeadSurface(), CPoint(0, 0), CRect());
        return;
    }
    dc.SetSurface(surface, GetClientOriginOnSurface(hWnd), GetVisibleSurfaceRect(hWnd));
}

void CWindowManager::ReleaseClientDC(HWND hWnd) {
    CBitmap* surface = GetSurface(hWnd);
    const CRect visible = GetVisibleSurfaceRect(hWnd);
    if (surface && !visible.IsRectEmpty()) m_display->Present(GetTopLevel(hWnd), *surface, visible);
}
