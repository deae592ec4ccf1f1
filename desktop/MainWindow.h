#pragma once
// The desktop application's window: the document's page live in a scrolling view, the File,
// Macros, View and Help menus, a message panel for what macros print and for errors, and the
// property dialogs. One document is open at a time; a clock drives its window manager.
#include <QMainWindow>
#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "desktop/DesktopPrompts.h"
#include "host/Printing.h"
#include "platform/win/CWindowManager.h"

class CClock;
class CHostDocument;
class CMacroHost;
class CPagePump;
class CPageView;
class CPropertyDialog;
class QActionGroup;
class QMenu;
class QPlainTextEdit;
class QScrollArea;
class QLabel;

class CMainWindow : public QMainWindow {
public:
    // The clock must outlive the window. The pump starts at once unless `startPump` is false
    // (tests step it themselves).
    explicit CMainWindow(const CClock& clock, bool startPump = true, QWidget* parent = nullptr);
    ~CMainWindow() override;

    // ---- Documents (each false with a line in the message panel on failure)

    // Opens a document file (closing the one that is open, asking about its unsaved changes).
    bool OpenDocument(const QString& path);
    // Opens a simulation file in a new untitled document: a viewer and a linked A-scan control
    // side by side, as the demo document places them.
    bool OpenSimulation(const QString& path);
    // Saves through the document's own saving (what host.save writes); an untitled document asks
    // for a name.
    bool Save();
    bool SaveAs(const QString& path);
    // Closes the document; with unsaved changes it asks first and false means the user stayed.
    bool CloseDocument();
    // True when saving now would write something other than what was opened or last saved.
    bool IsModified();
    bool HasDocument() const;
    CHostDocument& GetDocument() { return *m_pDocument; }
    const QString& GetDocumentPath() const { return m_path; }

    // ---- Page, selection and the rest

    // The control the properties and animation commands act on (the last one clicked; the first
    // control when a document opens).
    QString GetSelectedControl() const { return m_selected; }
    bool SelectControl(const QString& name);
    // Opens the selected control's property dialog (the properties verb).
    bool ShowSelectedProperties();
    // The open property dialog, or null.
    CPropertyDialog* GetPropertyDialog() const;
    // Starts or stops the pulse animation of the selected viewer.
    bool ToggleAnimation();
    // Shows the B-scan of the selected viewer (or of the page's first viewer) in a window of its own.
    bool ShowBscan();
    QDialog* GetBscanWindow() const;
    // Runs a macro of the document, or a Lua file; output and errors go to the message panel.
    bool RunMacro(const QString& name);
    bool RunScriptFile(const QString& path);
    bool ExportPng(const QString& path);
    bool PrintTo(const QString& path, const SPrintOptions& options);
    void SetZoomPercent(int percent);

    CPageView* GetPageView() const { return m_pageView; }
    CPagePump& GetPump() { return *m_pump; }
    QPlainTextEdit* GetMessagePanel() const { return m_messages; }
    QMenu* GetMacrosMenu() const { return m_macrosMenu; }
    SDesktopPrompts& GetPrompts() { return m_prompts; }
    // Adds a line to the message panel.
    void Report(const QString& line);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenus();
    void RebuildMacrosMenu();
    void AttachDocument();
    void AfterStep();
    void ShowPendingPropertyFrame();
    void OnMouse(CWindowManager::MouseAction action, CPoint ptSurface);
    void UpdateTitle();
    bool Reopen(const std::function<bool(std::string& error)>& open, const QString& path);
    void PrintWithDialog();

    const CClock& m_clock;
    SDesktopPrompts m_prompts;
    std::unique_ptr<CHostDocument> m_pDocument;
    std::unique_ptr<CMacroHost> m_pMacros;
    std::unique_ptr<CPagePump> m_pump;
    QString m_path;
    std::string m_savedText;
    QString m_selected;
    CPageView* m_pageView = nullptr;
    QScrollArea* m_scroll = nullptr;
    QPlainTextEdit* m_messages = nullptr;
    QMenu* m_macrosMenu = nullptr;
    QActionGroup* m_zoomGroup = nullptr;
    QLabel* m_status = nullptr;
    QPointer<CPropertyDialog> m_dialog;
    QPointer<QDialog> m_bscan;
    bool m_bFramePending = false;
};
