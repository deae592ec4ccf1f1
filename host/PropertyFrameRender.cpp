// Drawing of the property frame: the platform's classic look, plainly, with every control at its
// template rectangle, so a person can compare the picture with the dialog it stands for.
#include <algorithm>
#include <sstream>

#include "host/PropertyFrame.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/win/SysColor.h"

namespace {

constexpr int kMargin = 7;
constexpr int kTabHeight = 21;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kComboEditHeight = 21;  // the closed drop-down's height; the template's includes the list
constexpr int kCheckSize = 13;
constexpr const char* kButtonTexts[3] = {"OK", "Cancel", "Apply"};

struct stColours {
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    COLORREF text = GetSysColor(COLOR_BTNTEXT);
    COLORREF window = RGB(255, 255, 255);
    COLORREF grey = RGB(128, 128, 128);
};

void HLine(CDC& dc, int x1, int x2, int y, COLORREF c) { dc.FillSolidRect(x1, y, x2 - x1, 1, c); }
void VLine(CDC& dc, int x, int y1, int y2, COLORREF c) { dc.FillSolidRect(x, y1, 1, y2 - y1, c); }

// A two-pixel bevel: raised (buttons) or sunken (edits, check boxes).
void Bevel(CDC& dc, const CRect& r, bool raised, const stColours& c) {
    const COLORREF outerTL = raised ? c.highlight : c.shadow;
    const COLORREF outerBR = raised ? c.dark : c.highlight;
    const COLORREF innerTL = raised ? c.face : c.dark;
    const COLORREF innerBR = raised ? c.shadow : c.face;
    HLine(dc, r.left, r.right, r.top, outerTL);
    VLine(dc, r.left, r.top, r.bottom, outerTL);
    HLine(dc, r.left, r.right, r.bottom - 1, outerBR);
    VLine(dc, r.right - 1, r.top, r.bottom, outerBR);
    HLine(dc, r.left + 1, r.right - 1, r.top + 1, innerTL);
    VLine(dc, r.left + 1, r.top + 1, r.bottom - 1, innerTL);
    HLine(dc, r.left + 1, r.right - 1, r.bottom - 2, innerBR);
    VLine(dc, r.right - 2, r.top + 1, r.bottom - 1, innerBR);
}

// An etched frame, as group boxes and the page area have.
void Etch(CDC& dc, const CRect& r, const stColours& c) {
    CRect inner(r.left + 1, r.top + 1, r.right, r.bottom);
    CRect outer(r.left, r.top, r.right - 1, r.bottom - 1);
    for (const auto& [rc, col] : {std::pair{inner, c.highlight}, std::pair{outer, c.shadow}}) {
        HLine(dc, rc.left, rc.right, rc.top, col);
        HLine(dc, rc.left, rc.right, rc.bottom - 1, col);
        VLine(dc, rc.left, rc.top, rc.bottom, col);
        VLine(dc, rc.right - 1, rc.top, rc.bottom, col);
    }
}

int TextHeight(CDC& dc) {
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    return tm.tmHeight;
}

// Text from the left of `r`, vertically centred, cut at the right edge.
void TextLeft(CDC& dc, const CRect& r, const std::string& text, int inset = 0) {
    CDCStateSaver saved(dc);
    dc.IntersectClipRect(&r);
    dc.TextOut(r.left + inset, r.top + (r.Height() - TextHeight(dc)) / 2, text);
}

void TextCentred(CDC& dc, const CRect& r, const std::string& text) {
    CSize size = dc.GetTextExtent(text);
    CDCStateSaver saved(dc);
    dc.IntersectClipRect(&r);
    dc.TextOut(r.left + (r.Width() - size.cx) / 2, r.top + (r.Height() - size.cy) / 2, text);
}

// Text broken into lines at spaces, from the top of `r`, as a static control wraps it.
void TextWrapped(CDC& dc, const CRect& r, const std::string& text) {
    CDCStateSaver saved(dc);
    dc.IntersectClipRect(&r);
    const int lineHeight = TextHeight(dc);
    std::istringstream words(text);
    std::string word, line;
    int y = r.top;
    auto flush = [&] {
        dc.TextOut(r.left, y, line);
        y += lineHeight;
        line.clear();
    };
    while (words >> word) {
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && dc.GetTextExtent(candidate).cx > r.Width()) {
            flush();
            candidate = word;
        }
        line = candidate;
    }
    if (!line.empty()) flush();
}

void DrawCheckMark(CDC& dc, const CRect& box, COLORREF colour) {
    // A 7-pixel tick, three pixels thick, as the classic check box draws it.
    const int x = box.left + 3, y = box.top + 5;
    for (int i = 0; i < 7; ++i) {
        int dy = i < 3 ? i : 4 - i;
        dc.FillSolidRect(x + i, y + dy, 1, 3, colour);
    }
}

void DrawControl(CDC& dc, const CDialogControl& control, const CRect& r, bool focused, const stColours& c) {
    switch (control.GetKind()) {
    case EDialogItemKind::PushButton:
        dc.FillSolidRect(&r, c.face);
        Bevel(dc, r, true, c);
        TextCentred(dc, r, control.GetWindowText());
        break;
    case EDialogItemKind::Edit: {
        dc.FillSolidRect(&r, c.window);
        Bevel(dc, r, false, c);
        CRect inner(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
        TextLeft(dc, inner, control.GetWindowText(), 2);
        break;
    }
    case EDialogItemKind::CheckBox:
    case EDialogItemKind::RadioButton: {
        const int top = r.top + (r.Height() - kCheckSize) / 2;
        CRect box(r.left, top, r.left + kCheckSize, top + kCheckSize);
        if (control.GetKind() == EDialogItemKind::CheckBox) {
            dc.FillSolidRect(&box, c.window);
            Bevel(dc, box, false, c);
            if (control.GetCheck()) DrawCheckMark(dc, box, c.text);
        } else {
            CPen rim;
            rim.CreatePen(PS_SOLID, 1, c.shadow);
            CBrush white;
            white.CreateSolidBrush(c.window);
            CSelectObject pen(dc, rim);
            CSelectObject brush(dc, white);
            dc.Ellipse(&box);
            if (control.GetCheck()) dc.FillSolidRect(box.left + 4, box.top + 4, 5, 5, c.text);
        }
        TextLeft(dc, CRect(r.left + kCheckSize + 4, r.top, r.right, r.bottom), control.GetWindowText());
        break;
    }
    case EDialogItemKind::GroupBox: {
        const int half = TextHeight(dc) / 2;
        Etch(dc, CRect(r.left, r.top + half, r.right, r.bottom), c);
        const std::string& text = control.GetWindowText();
        if (!text.empty()) {
            CSize size = dc.GetTextExtent(text);
            dc.FillSolidRect(r.left + 6, r.top, size.cx + 4, size.cy, c.face);
            dc.TextOut(r.left + 8, r.top, text);
        }
        break;
    }
    case EDialogItemKind::Label:
        TextWrapped(dc, r, control.GetWindowText());
        break;
    case EDialogItemKind::ComboBox: {
        CRect edit(r.left, r.top, r.right, r.top + std::min<int>(kComboEditHeight, r.Height()));
        dc.FillSolidRect(&edit, c.window);
        Bevel(dc, edit, false, c);
        CRect arrow(edit.right - 2 - 17, edit.top + 2, edit.right - 2, edit.bottom - 2);
        dc.FillSolidRect(&arrow, c.face);
        Bevel(dc, arrow, true, c);
        const int ax = arrow.left + arrow.Width() / 2, ay = arrow.top + arrow.Height() / 2 - 1;
        for (int i = 0; i < 4; ++i) HLine(dc, ax - 3 + i, ax + 4 - i, ay + i, c.text);
        TextLeft(dc, CRect(edit.left + 2, edit.top + 2, arrow.left, edit.bottom - 2), control.GetWindowText(), 2);
        break;
    }
    }
    if (focused && control.GetKind() != EDialogItemKind::Label && control.GetKind() != EDialogItemKind::GroupBox) {
        // The focus is shown as a dotted rectangle just inside the control.
        CRect f(r.left + 3, r.top + 3, r.right - 3, r.bottom - 3);
        if (control.GetKind() == EDialogItemKind::ComboBox) f.bottom = r.top + kComboEditHeight - 3;
        for (int x = f.left; x < f.right; x += 2) {
            dc.SetPixel(x, f.top, c.text);
            dc.SetPixel(x, f.bottom - 1, c.text);
        }
        for (int y = f.top; y < f.bottom; y += 2) {
            dc.SetPixel(f.left, y, c.text);
            dc.SetPixel(f.right - 1, y, c.text);
        }
    }
}

CSize PageSize(const CPropertyFrame& frame) {
    CSize size(0, 0);
    for (int i = 0; i < frame.GetPageCount(); ++i) {
        if (const CDialogTemplate* t = frame.GetPage(i)->GetTemplate()) {
            CSize s = t->GetPixelSize();
            size.cx = std::max(size.cx, s.cx);
            size.cy = std::max(size.cy, s.cy);
        }
    }
    return size;
}

}  // namespace

CSize CPropertyFrame::GetSize() const {
    CSize page = PageSize(*this);
    return CSize(kMargin + page.cx + 4 + kMargin, kMargin + kTabHeight + page.cy + 4 + kMargin + kButtonHeight + kMargin);
}

BOOL CPropertyFrame::Render(CBitmap& bitmap) const {
    const COlePropertyPage* active = GetActivePage();
    if (active == nullptr || active->GetTemplate() == nullptr) return FALSE;
    const CSize size = GetSize();
    if (!bitmap.CreateBitmap(size.cx, size.cy, 1, 32, nullptr)) return FALSE;
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr)) return FALSE;
    CSelectObject target(dc, bitmap);
    const stColours c;
    dc.FillSolidRect(0, 0, size.cx, size.cy, c.face);

    const CDialogTemplate& tmpl = *active->GetTemplate();
    CFont font;
    // The template's font in points, at the screen's resolution.
    font.CreatePointFont(tmpl.pointSize * 10, tmpl.fontFace.c_str());
    CSelectObject selectFont(dc, font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(c.text);

    // The page area and the tabs above it; the active tab joins the page.
    const CSize pageSize = PageSize(*this);
    const CRect pageArea(kMargin, kMargin + kTabHeight, kMargin + pageSize.cx + 4, kMargin + kTabHeight + pageSize.cy + 4);
    Bevel(dc, pageArea, true, c);
    int x = kMargin;
    for (int i = 0; i < GetPageCount(); ++i) {
        const std::string caption = GetPage(i)->GetCaption();
        const int width = dc.GetTextExtent(caption).cx + 12;
        const bool isActive = i == m_active;
        CRect tab(x - (isActive ? 2 : 0), kMargin + (isActive ? 0 : 2), x + width + (isActive ? 2 : 0),
                  pageArea.top + (isActive ? 2 : 0));
        dc.FillSolidRect(&tab, c.face);
        HLine(dc, tab.left + 2, tab.right - 2, tab.top, c.highlight);
        VLine(dc, tab.left, tab.top + 2, tab.bottom, c.highlight);
        dc.SetPixel(tab.left + 1, tab.top + 1, c.highlight);
        VLine(dc, tab.right - 2, tab.top + 2, tab.bottom, c.shadow);
        VLine(dc, tab.right - 1, tab.top + 2, tab.bottom, c.dark);
        dc.SetPixel(tab.right - 2, tab.top + 1, c.dark);
        TextCentred(dc, CRect(tab.left, tab.top + 1, tab.right, tab.bottom - 1), caption);
        x += width;
    }

    // The active page's controls at their template rectangles.
    {
        CDCStateSaver saved(dc);
        dc.SetViewportOrg(pageArea.left + 2, pageArea.top + 2);
        for (const CDialogControl& control : active->GetControls())
            DrawControl(dc, control, tmpl.MapDialogRect(control.GetItem()),
                        control.GetId() != IDC_STATIC && control.GetId() == active->GetFocusId(), c);
    }

    // OK, Cancel and Apply, right-aligned; Apply is grey until something changed.
    int bx = size.cx - kMargin - 3 * kButtonWidth - 2 * kButtonGap;
    const int by = pageArea.bottom + kMargin;
    for (int i = 0; i < 3; ++i) {
        CRect button(bx, by, bx + kButtonWidth, by + kButtonHeight);
        dc.FillSolidRect(&button, c.face);
        Bevel(dc, button, true, c);
        const bool enabled = i != 2 || IsApplyEnabled();
        dc.SetTextColor(enabled ? c.text : c.grey);
        TextCentred(dc, button, kButtonTexts[i]);
        bx += kButtonWidth + kButtonGap;
    }
    return TRUE;
}
