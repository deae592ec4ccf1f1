#pragma once
// What the window manager keeps for one window (internal to platform/win).
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/CBitmap.h"
#include "platform/win/CWindowManager.h"

struct CWindowManager::Window {
    HWND hwnd = nullptr;
    CWnd* wnd = nullptr;
    HWND parent = nullptr;
    // Creation order: the bottom of the z-order first.
    std::vector<HWND> children;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT id = 0;
    // In the parent's client coordinates; screen coordinates for a top-level window. No window has
    // a non-client area, so this is also the client area.
    CRect rect;
    std::string text;
    // The invalid region, kept as its bounding box (client coordinates), and whether the
    // background is to be erased when it is painted.
    CRect invalid;
    bool erase = false;
    // SB_HORZ, SB_VERT and SB_CTL.
    SCROLLINFO bars[3]{};
    // The raster surface of a top-level window; children paint on their top-level's.
    std::unique_ptr<CBitmap> surface;
    bool destroying = false;
};
