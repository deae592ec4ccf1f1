#pragma once
// Mouse cursors: the platform's standard cursors, the module's own cursor resources registered by
// id, and the current cursor of the window manager.
#include <vector>

#include "platform/win/WinUser.h"

struct HICON__;
using HICON = HICON__*;
using HCURSOR = HICON;

// A resource named by a number, as the platform packs it into a name pointer.
#define MAKEINTRESOURCE(i) (reinterpret_cast<LPTSTR>(static_cast<uintptr_t>(static_cast<WORD>(i))))
// True when a resource name is a packed number rather than a string.
#define IS_INTRESOURCE(p) ((reinterpret_cast<uintptr_t>(p) >> 16) == 0)

// The standard cursors.
#define IDC_ARROW MAKEINTRESOURCE(32512)
#define IDC_IBEAM MAKEINTRESOURCE(32513)
#define IDC_WAIT MAKEINTRESOURCE(32514)
#define IDC_CROSS MAKEINTRESOURCE(32515)
#define IDC_UPARROW MAKEINTRESOURCE(32516)
#define IDC_SIZENWSE MAKEINTRESOURCE(32642)
#define IDC_SIZENESW MAKEINTRESOURCE(32643)
#define IDC_SIZEWE MAKEINTRESOURCE(32644)
#define IDC_SIZENS MAKEINTRESOURCE(32645)
#define IDC_SIZEALL MAKEINTRESOURCE(32646)
#define IDC_NO MAKEINTRESOURCE(32648)
#define IDC_HAND MAKEINTRESOURCE(32649)

// A cursor shape: a monochrome AND mask and XOR mask, one bit per pixel, rows top to bottom,
// each row padded to 16 bits as the platform's cursor resources are. Empty masks are allowed
// (a headless display never draws the cursor).
struct CCursorResource {
    UINT nId = 0;
    int nWidth = 32;
    int nHeight = 32;
    POINT ptHotSpot{0, 0};
    std::vector<BYTE> andMask;
    std::vector<BYTE> xorMask;
};

// Makes a cursor resource of the module available to LoadCursor under its id. Registering an id
// again replaces the shape for later loads; handles loaded before stay valid.
void RegisterCursorResource(const CCursorResource& resource);

// A standard cursor when hInstance is null, else one of the module's registered cursor resources;
// null when there is no such cursor. String names are not supported and give null.
HCURSOR LoadCursor(HINSTANCE hInstance, LPCTSTR lpCursorName);
// The module's cursor resource with this id, or null.
HCURSOR LoadCursor(UINT nIDResource);
// A standard cursor (IDC_ARROW, IDC_CROSS, ...), or null for an unknown id.
HCURSOR LoadStandardCursor(LPCTSTR lpCursorName);

// Makes a cursor current in the window manager and returns the previous one; null hides it.
HCURSOR SetCursor(HCURSOR hCursor);
// The current cursor.
HCURSOR GetCursor();

// The resource or standard id a cursor was loaded under (32512 for the arrow), 0 for null.
UINT GetCursorId(HCURSOR hCursor);
// TRUE for the platform's standard cursors, FALSE for the module's own and for null.
BOOL IsStandardCursor(HCURSOR hCursor);
// The shape of one of the module's cursors; null for standard cursors and null handles.
const CCursorResource* GetCursorResource(HCURSOR hCursor);
