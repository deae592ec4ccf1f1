#pragma once
// The desktop tests run the real main window under Qt's offscreen platform (set here, before the
// application object exists) with a virtual clock the tests advance, and with the user's answers
// (message boxes, file dialogs, the unsaved-changes question) given by the test.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/ComLeakCheck.h"
#include "platform/win/WinClock.h"

class CMainWindow;
class COrvexAscanViewerCtrl;
class QApplication;

// The one application object of the test process.
QApplication& DesktopTestApplication();

// The demo document in the test's own folder, with the built-in simulation beside it.
class DemoFolderTest : public ComLeakCheck {
protected:
    void SetUp() override;
    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }
    std::string WriteFile(const std::string& name, const std::string& text) const;
    static std::string ReadFile(const std::string& path);

    std::filesystem::path m_folder;
};

// A main window with the demo document open.
class DesktopTest : public DemoFolderTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Pumps the window manager `ms` virtual milliseconds and lets Qt handle what is pending.
    void Step(uint64_t ms = 0);
    COrvexAscanViewerCtrl* Ascan() const;

    CVirtualClock m_clock;
    std::unique_ptr<CMainWindow> m_window;
    // What the prompts were asked, and the answers they give (oldest first).
    std::vector<QString> m_messagesShown;
    std::deque<std::optional<QString>> m_fileAnswers;
    std::vector<QString> m_fileTitles;
    std::vector<QStringList> m_fileFilters;
    int m_unsavedAsked = 0;
    int m_unsavedAnswer = 1;  // 0 save, 1 discard, 2 cancel
};
