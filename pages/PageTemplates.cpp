// The dialog templates of the three pages: every control with its id, kind, style, text and
// rectangle in dialog units, in the order of the resource script (which is also the tab order and
// decides where a radio group ends).
#include "pages/PageTemplates.h"

#include "pages/PageResourceIds.h"
#include "platform/win/WinUser.h"

namespace {

using K = EDialogItemKind;

constexpr int kPageWidth = 250;
constexpr int kPageHeight = 110;
constexpr const char* kPageFont = "MS Sans Serif";
constexpr int kPagePointSize = 8;

constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP;
constexpr DWORD kButton = WS_TABSTOP;

DialogItem Item(int id, K kind, DWORD style, const char* text, int x, int y, int cx, int cy) {
    return DialogItem{id, kind, WS_CHILD | WS_VISIBLE | style, text, x, y, cx, cy};
}

CDialogTemplate Page(UINT id, std::vector<DialogItem> items) {
    CDialogTemplate t;
    t.id = id;
    t.style = WS_CHILD | DS_SETFONT;
    t.cx = kPageWidth;
    t.cy = kPageHeight;
    t.fontFace = kPageFont;
    t.pointSize = kPagePointSize;
    t.items = std::move(items);
    return t;
}

}  // namespace

const CDialogTemplate& GetOrvexViewerPropPageTemplate() {
    static const CDialogTemplate t = Page(
        IDD_PROPPAGE_ORVEXVIEWER,
        {
            Item(IDC_BROWSE, K::PushButton, kButton | BS_PUSHBUTTON, "Browse...", 181, 6, 57, 16),
            Item(IDC_FILENAME, K::Edit, kEdit | ES_AUTOHSCROLL, "", 6, 6, 172, 14),
            Item(IDC_ANIMATE, K::CheckBox, kButton | BS_AUTOCHECKBOX, "Animate Pulse", 120, 27, 65, 10),
            Item(IDC_FULLRAYS, K::RadioButton, kButton | BS_AUTORADIOBUTTON | WS_GROUP, "Full Rays", 13, 37, 70, 10),
            Item(IDC_ENDRAYSATTIME, K::RadioButton, BS_AUTORADIOBUTTON, "End Rays At Time", 13, 49, 70, 10),
            Item(IDC_PULSE, K::RadioButton, BS_AUTORADIOBUTTON, "Pulse", 13, 62, 70, 10),
            Item(IDC_RAYENDTIME, K::Edit, kEdit | ES_AUTOHSCROLL | WS_GROUP, "", 61, 82, 49, 13),
            Item(IDC_TIMEINCREMENT, K::Edit, kEdit | ES_AUTOHSCROLL, "", 180, 54, 49, 12),
            Item(IDC_STARTTIME, K::Edit, kEdit | ES_AUTOHSCROLL, "", 180, 68, 49, 12),
            Item(IDC_ENDTIME, K::Edit, kEdit | ES_AUTOHSCROLL, "", 180, 82, 49, 12),
            Item(IDC_STATIC, K::GroupBox, BS_GROUPBOX, "Ray Plot Type", 7, 27, 82, 48),
            Item(IDC_STATIC, K::GroupBox, BS_GROUPBOX, "Pulse Animation Setup", 118, 43, 117, 54),
            Item(IDC_STATIC, K::Label, SS_LEFT, "Time Increment", 123, 56, 52, 10),
            Item(IDC_STATIC, K::Label, SS_LEFT, "Start Time", 123, 70, 43, 10),
            Item(IDC_STATIC, K::Label, SS_LEFT, "End Time", 123, 84, 37, 10),
            Item(IDC_STATIC, K::Label, SS_LEFT, "Ray End Time", 7, 84, 48, 10),
        });
    return t;
}

const CDialogTemplate& GetOrvexViewerPropPage2Template() {
    static const CDialogTemplate t = Page(
        IDD_PROPPAGE_ORVEXVIEWER2,
        {
            Item(IDC_TOPVIEW, K::PushButton, kButton | BS_PUSHBUTTON, "Top View", 7, 4, 66, 18),
            Item(IDC_FRONTVIEW, K::PushButton, kButton | BS_PUSHBUTTON, "Front View", 7, 25, 66, 18),
            Item(IDC_SIDEVIEW, K::PushButton, kButton | BS_PUSHBUTTON, "Side View", 7, 46, 66, 18),
            Item(IDC_XAXISX, K::Edit, kEdit | ES_AUTOHSCROLL, "", 95, 11, 49, 12),
            Item(IDC_XAXISY, K::Edit, kEdit | ES_AUTOHSCROLL, "", 95, 25, 49, 12),
            Item(IDC_XAXISZ, K::Edit, kEdit | ES_AUTOHSCROLL, "", 95, 39, 49, 12),
            Item(IDC_YAXISX, K::Edit, kEdit | ES_AUTOHSCROLL, "", 96, 64, 49, 12),
            Item(IDC_YAXISY, K::Edit, kEdit | ES_AUTOHSCROLL, "", 96, 78, 49, 12),
            Item(IDC_YAXISZ, K::Edit, kEdit | ES_AUTOHSCROLL, "", 96, 92, 49, 12),
            Item(IDC_WNDTOP, K::Edit, kEdit | ES_AUTOHSCROLL, "", 188, 12, 49, 12),
            Item(IDC_WNDBOTTOM, K::Edit, kEdit | ES_AUTOHSCROLL, "", 188, 26, 50, 12),
            Item(IDC_WNDLEFT, K::Edit, kEdit | ES_AUTOHSCROLL, "", 188, 40, 50, 12),
            Item(IDC_WNDRIGHT, K::Edit, kEdit | ES_AUTOHSCROLL, "", 188, 54, 50, 12),
            Item(IDC_STATIC, K::Label, SS_LEFT, "X", 83, 11, 8, 12),
            Item(IDC_STATIC, K::Label, SS_LEFT, "Y", 83, 25, 8, 12),
            Item(IDC_STATIC, K::Label, SS_LEFT, "Z", 83, 39, 8, 12),
            Item(IDC_STATIC, K::Label, SS_LEFT, "X", 83, 64, 8, 12),
            Item(IDC_STATIC, K::Label, SS_LEFT, "Y", 83, 78, 8, 12),
            Item(IDC_STATIC, K::Label, SS_LEFT, "Z", 83, 92, 8, 12),
            Item(IDC_STATIC, K::GroupBox, BS_GROUPBOX, "View Coord - X Axis", 79, 0, 70, 54),
            Item(IDC_STATIC, K::GroupBox, BS_GROUPBOX, "View Coord - Y Axis", 79, 55, 70, 52),
            Item(IDC_STATIC, K::GroupBox, BS_GROUPBOX, "View Rect", 157, 0, 86, 69),
            Item(IDC_STATIC, K::Label, SS_LEFT, "Top", 161, 14, 24, 10),
            Item(IDC_STATIC, K::Label, SS_LEFT, "Bottom", 161, 28, 24, 10),
            Item(IDC_STATIC, K::Label, SS_LEFT, "Left", 161, 42, 24, 10),
            Item(IDC_STATIC, K::Label, SS_LEFT, "Right", 161, 56, 24, 10),
        });
    return t;
}

const CDialogTemplate& GetOrvexAscanViewerPropPageTemplate() {
    static const CDialogTemplate t = Page(
        IDD_PROPPAGE_ORVEXASCANVIEWER,
        {
            Item(IDC_STATIC, K::Label, SS_LEFT, "Link to this Orvex Viewer Control", 9, 7, 100, 8),
            Item(IDC_FILETEXT, K::Label, SS_LEFT, "This file is associated with the OrvexViewer control called.", 7,
                 16, 236, 19),
            Item(IDC_VIEWERLIST, K::ComboBox, kButton | CBS_DROPDOWN | WS_VSCROLL, "", 7, 42, 236, 51),
            Item(IDC_ASCANWINDOW, K::GroupBox, BS_GROUPBOX, "Ascan Window", 7, 62, 226, 41),
            Item(IDC_XMINLABEL, K::Label, SS_LEFT, "X Min.", 15, 72, 22, 10),
            Item(IDC_XMAXLABEL, K::Label, SS_LEFT, "X Max.", 15, 86, 22, 10),
            Item(IDC_YMINLABEL, K::Label, SS_LEFT, "Y Min.", 123, 72, 22, 10),
            Item(IDC_YMAXLABEL, K::Label, SS_LEFT, "Y Max.", 123, 86, 22, 10),
            Item(IDC_ASCANXMIN, K::Edit, kEdit | ES_AUTOHSCROLL, "", 49, 70, 66, 12),
            Item(IDC_ASCANXMAX, K::Edit, kEdit | ES_AUTOHSCROLL, "", 49, 85, 66, 12),
            Item(IDC_ASCANYMIN, K::Edit, kEdit | ES_AUTOHSCROLL, "", 155, 69, 66, 12),
            Item(IDC_ASCANYMAX, K::Edit, kEdit | ES_AUTOHSCROLL, "", 155, 84, 66, 12),
        });
    return t;
}
