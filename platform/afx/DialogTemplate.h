#pragma once
// Dialog templates as a resource script describes them: the dialog's size in dialog units, its
// style and font, and its controls by id with kind, style, text and rectangle in dialog units.
// Property pages are built from them and the property frame draws them.
#include <string>
#include <vector>

#include "platform/base/WinDef.h"

// The id of controls nobody addresses (labels, group boxes).
constexpr int IDC_STATIC = -1;

// Control styles the templates use.
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD DS_SETFONT = 0x00000040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD BS_AUTORADIOBUTTON = 0x0009;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD SS_LEFT = 0x0000;

// The kind of a control, as its window class and button style say.
enum class EDialogItemKind { PushButton, Edit, CheckBox, RadioButton, GroupBox, Label, ComboBox };

struct DialogItem {
    int id = IDC_STATIC;
    EDialogItemKind kind = EDialogItemKind::Label;
    DWORD style = 0;
    std::string text;
    // x, y, width and height in dialog units.
    int x = 0, y = 0, cx = 0, cy = 0;
};

struct CDialogTemplate {
    UINT id = 0;
    DWORD style = 0;
    int cx = 0, cy = 0;  // dialog units
    std::string fontFace;
    int pointSize = 0;
    std::vector<DialogItem> items;

    // The control with that id (the first one; null for none or for IDC_STATIC).
    const DialogItem* FindItem(int id) const;
    // Dialog units to pixels with the template font's base units: x * baseX / 4, y * baseY / 8.
    CRect MapDialogRect(const DialogItem& item) const;
    CSize GetPixelSize() const;
    // The template font's average character width and height in pixels.
    CSize GetBaseUnits() const;
};
