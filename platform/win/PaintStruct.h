#pragma once
// The record BeginPaint fills: the context, whether the background still needs erasing, and the
// rectangle to paint in client coordinates.
#include "platform/gdi/GdiTypes.h"

struct PAINTSTRUCT {
    HDC hdc;
    BOOL fErase;
    RECT rcPaint;
    BOOL fRestore;
    BOOL fIncUpdate;
    BYTE rgbReserved[32];
};
using LPPAINTSTRUCT = PAINTSTRUCT*;
