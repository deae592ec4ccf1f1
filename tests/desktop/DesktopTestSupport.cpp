#include "DesktopTestSupport.h"

#include <QApplication>
#include <QTest>
#include <fstream>
#include <iterator>

#include "TestScratch.h"
#include "ascan/OrvexAscanViewerCtrl.h"
#include "desktop/MainWindow.h"
#include "desktop/PagePump.h"
#include "geometry/OrvexFile.h"
#include "host/DemoJob.h"
#include "host/HostDocument.h"
#include "simulation/Generator.h"

QApplication& DesktopTestApplication() {
    static QApplication* app = [] {
        // The screenshot test runs this program again under Xvfb with the X platform chosen.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "test_desktop";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);  // lives until the process ends
    }();
    return *app;
}

void DemoFolderTest::SetUp() {
    ComLeakCheck::SetUp();
    m_folder = TestScratchDir();
    CSimulationData data;
    GenerateSimulation(stSimulationOptions{}, data);
    std::string error;
    ASSERT_TRUE(SaveOrvexFile(PathOf(kDemoDataFile), data, error)) << error;
    WriteFile("demo.json", DemoDocumentText());
}

std::string DemoFolderTest::WriteFile(const std::string& name, const std::string& text) const {
    std::ofstream(PathOf(name), std::ios::binary) << text;
    return PathOf(name);
}

std::string DemoFolderTest::ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

void DesktopTest::SetUp() {
    DemoFolderTest::SetUp();
    if (HasFatalFailure()) return;
    DesktopTestApplication();
    m_window = std::make_unique<CMainWindow>(m_clock, false);
    SDesktopPrompts& prompts = m_window->GetPrompts();
    prompts.message = [this](QWidget*, const QString&, const QString& text) { m_messagesShown.push_back(text); };
    prompts.file = [this](QWidget*, const QString& title, const QStringList& filters, bool, const QString&) {
        m_fileTitles.push_back(title);
        m_fileFilters.push_back(filters);
        std::optional<QString> answer;
        if (!m_fileAnswers.empty()) {
            answer = m_fileAnswers.front();
            m_fileAnswers.pop_front();
        }
        return answer;
    };
    prompts.unsaved = [this](QWidget*, const QString&) {
        ++m_unsavedAsked;
        return m_unsavedAnswer == 0 ? EUnsavedAnswer::Save
               : m_unsavedAnswer == 1 ? EUnsavedAnswer::Discard
                                      : EUnsavedAnswer::Cancel;
    };
    m_window->resize(1200, 640);
    m_window->show();
    ASSERT_TRUE(m_window->OpenDocument(QString::fromStdString(PathOf("demo.json"))));
    Step();
}

void DesktopTest::TearDown() {
    if (m_window) {
        m_unsavedAnswer = 1;
        m_window->CloseDocument();
        m_window.reset();
    }
    QCoreApplication::processEvents();
    DemoFolderTest::TearDown();
}

void DesktopTest::Step(uint64_t ms) {
    m_clock.Advance(ms);
    m_window->GetPump().Step();
    QCoreApplication::processEvents();
}

COrvexAscanViewerCtrl* DesktopTest::Ascan() const {
    return dynamic_cast<COrvexAscanViewerCtrl*>(m_window->GetDocument().GetControl("OrvexAscanViewer1"));
}
