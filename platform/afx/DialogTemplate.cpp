#include "platform/afx/DialogTemplate.h"

namespace {
// The dialog font's base units at the screen's 96 dots per inch. "MS Sans Serif" 8 points, the
// face every template here names, averages 6 pixels wide in a 13-pixel cell; other faces are taken
// as the same size, since the drawing uses one stand-in face for all of them.
constexpr int kBaseUnitX = 6;
constexpr int kBaseUnitY = 13;
}  // namespace

const DialogItem* CDialogTemplate::FindItem(int itemId) const {
    if (itemId == IDC_STATIC) return nullptr;
    for (const DialogItem& item : items)
        if (item.id == itemId) return &item;
    return nullptr;
}

CSize CDialogTemplate::GetBaseUnits() const { return CSize(kBaseUnitX, kBaseUnitY); }

CRect CDialogTemplate::MapDialogRect(const DialogItem& item) const {
    CSize base = GetBaseUnits();
    int left = item.x * base.cx / 4;
    int top = item.y * base.cy / 8;
    int right = (item.x + item.cx) * base.cx / 4;
    int bottom = (item.y + item.cy) * base.cy / 8;
    return CRect(left, top, right, bottom);
}

CSize CDialogTemplate::GetPixelSize() const {
    CSize base = GetBaseUnits();
    return CSize(cx * base.cx / 4, cy * base.cy / 8);
}
