#pragma once
// A scroll-bar control: a child window whose own bar (SB_CTL) starts with the empty range 0..0, as
// the platform's scroll-bar controls do. Headless, it draws nothing of its own.
#include "platform/win/CWnd.h"

class CScrollBar : public CWnd {
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask = SIF_ALL);
    BOOL SetScrollInfo(LPSCROLLINFO lpScrollInfo, BOOL bRedraw = TRUE);
    int GetScrollPos() const;
    int SetScrollPos(int nPos, BOOL bRedraw = TRUE);
};
