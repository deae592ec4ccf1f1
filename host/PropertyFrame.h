#pragma once
// The property frame: a control's property pages as tabs with OK, Cancel and Apply. Headless it
// is modeless: opening returns at once, and the frame stays open, reachable from macros, until OK
// or Cancel. One frame is open at a time; opening another cancels the first.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/afx/COlePropertyPage.h"

class COleControl;
class CBitmap;

class CPropertyFrame {
public:
    // Creates the control's pages through the module's class objects, hands each the control and
    // shows the first. Null (with a reason) when the control has no pages or a page cannot be made.
    static std::unique_ptr<CPropertyFrame> Create(IUnknown* control, const std::string& caption, std::string& error);
    ~CPropertyFrame();
    CPropertyFrame(const CPropertyFrame&) = delete;
    CPropertyFrame& operator=(const CPropertyFrame&) = delete;

    const std::string& GetCaption() const { return m_caption; }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    COlePropertyPage* GetPage(int index) const;
    int GetActiveIndex() const { return m_active; }
    COlePropertyPage* GetActivePage() const { return GetPage(m_active); }
    // Shows a tab (a page is built and loaded the first time it is shown). FALSE out of range.
    BOOL SetActivePage(int index);
    // TRUE when a shown page has changes not yet applied.
    BOOL IsApplyEnabled() const;
    // Applies every shown page in tab order; at a page that refuses a value it stops, shows that
    // page and answers FALSE (the pages before it have been written).
    BOOL Apply();

    // The frame as it looks: tabs, the active page's controls and the three buttons.
    CSize GetSize() const;
    BOOL Render(CBitmap& bitmap) const;

private:
    CPropertyFrame() = default;
    std::string m_caption;
    std::vector<COlePropertyPage*> m_pages;  // one reference each
    std::vector<bool> m_shown;
    int m_active = 0;
};

// ---- The host's one open frame.

// Opens a frame on a control (the properties verb); the caption names the control. FALSE, with
// the reason in the debugger output, when the control has no pages.
BOOL OpenPropertyFrame(IUnknown* control, const std::string& controlName);
// The open frame, or null.
CPropertyFrame* GetOpenPropertyFrame();
// OK: applies, and closes when every page accepted its values. FALSE leaves the frame open.
BOOL PropertyFrameOK();
// Cancel: closes without writing anything. Also what a document does before it closes.
void ClosePropertyFrame();
// Message boxes shown while the frame was open (refused values), oldest first.
const std::vector<std::string>& GetPropertyFrameMessages();
// The answer of the next file dialog (nothing: Cancel). Kept until a dialog takes it.
void SetFileDialogAnswer(std::optional<std::string> path);
// Writes the open frame to a PNG file; FALSE with a reason when no frame is open or the file
// cannot be written.
BOOL RenderPropertyFrame(const std::string& path, std::string& error);
