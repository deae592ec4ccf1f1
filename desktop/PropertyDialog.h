#pragma once
// The property frame as a modal Qt dialog. It is a view of the host's CPropertyFrame, not a
// second implementation: each tab is a page, each template control a Qt widget at the place its
// template gives (dialog units mapped with the template font's base units), what the user does to
// a widget goes to the page as the user's action (UserSetText, UserClick, UserCheck, UserSelect),
// and the widgets are refreshed from the page after every action, so the page's data exchange,
// its command handlers and its validation messages work as they do headless. OK, Cancel and
// Apply call the frame's.
#include <QDialog>
#include <map>
#include <vector>

#include "desktop/DesktopPrompts.h"

class CPropertyFrame;
class COlePropertyPage;
class QPushButton;
class QTabWidget;
class QFont;

class CPropertyDialog : public QDialog {
    Q_OBJECT

public:
    // The frame must be the host's open frame (GetOpenPropertyFrame); the dialog closes when the
    // frame does. Message boxes and file dialogs of the pages go through `prompts`.
    CPropertyDialog(CPropertyFrame& frame, const SDesktopPrompts& prompts, QWidget* parent = nullptr);
    ~CPropertyDialog() override;

    // The widget of a control of page `index`, or null (for tests and for the screenshots).
    QWidget* GetControlWidget(int pageIndex, int controlId) const;
    QPushButton* GetOkButton() const { return m_ok; }
    QPushButton* GetCancelButton() const { return m_cancel; }
    QPushButton* GetApplyButton() const { return m_apply; }
    QTabWidget* GetTabs() const { return m_tabs; }
    // False once the frame it shows has closed (another frame opened, the document closed).
    bool ShowsOpenFrame() const { return Frame() != nullptr; }
    // Shows the page's state in its widgets again.
    void Refresh();

    void done(int result) override;

private:
    struct SPageWidgets {
        QWidget* page = nullptr;
        bool built = false;
        std::map<int, QWidget*> controls;
    };

    CPropertyFrame* Frame() const;
    void BuildPage(int index);
    void OnTabChanged(int index);
    void AfterUserAction();
    void OnOk();
    void OnApply();
    void InstallPagePrompts();

    CPropertyFrame* m_pFrame;
    const SDesktopPrompts& m_prompts;
    QTabWidget* m_tabs = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QPushButton* m_apply = nullptr;
    std::vector<SPageWidgets> m_pages;
    bool m_bRefreshing = false;
};
