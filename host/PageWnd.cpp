#include "host/PageWnd.h"

#include "platform/win/CPaintDC.h"

namespace {
constexpr const char* kPageTitle = "OrvexViewer page";
}

BOOL CPageWnd::CreatePage(int width, int height) {
    return CreateEx(0, nullptr, kPageTitle, WS_POPUP | WS_VISIBLE, CRect(0, 0, width, height), nullptr, 0);
}

void CPageWnd::OnPaint() { CPaintDC dc(this); }
