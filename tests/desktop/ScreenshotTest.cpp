// The desktop application on a real X server (Xvfb): the demo document opened, its animation run
// for a second of real time, the window's pixels read back from the server and compared with the
// page a headless run draws in the same state. The test runs this program again under xvfb-run;
// without xvfb-run it is skipped. It also writes the screenshots the documentation shows (the
// window and each property dialog) into the build folder.
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "DesktopTestSupport.h"
#include "desktop/MainWindow.h"
#include "desktop/PagePump.h"
#include "desktop/PageView.h"
#include "desktop/PropertyDialog.h"
#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "platform/gdi/CBitmap.h"

namespace {

constexpr const char* kUnderXvfb = "ORVEX_DESKTOP_UNDER_XVFB";

std::filesystem::path ShotsDir() {
    const std::filesystem::path dir = std::filesystem::path(ORVEX_BINARY_DIR) / "desktop-screenshots";
    std::filesystem::create_directories(dir);
    return dir;
}

// Waits for the X server to show what Qt drew.
void Settle() {
    QCoreApplication::processEvents();
    QTest::qWait(300);
}

QImage GrabWidget(QWidget* w) {
    return QGuiApplication::primaryScreen()->grabWindow(w->window()->winId()).toImage().convertToFormat(
        QImage::Format_RGB32);
}

class DesktopScreenshotTest : public DemoFolderTest {};

TEST_F(DesktopScreenshotTest, TheWindowShowsWhatAHeadlessRunDrawsInTheSameState) {
    if (std::getenv(kUnderXvfb) == nullptr) {
#ifndef ORVEX_XVFB_RUN
        GTEST_SKIP() << "xvfb-run is not installed";
#else
        const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        // Under the sanitizers the X platform brings a system library's leak with it.
        const std::string suppressions = std::string(ORVEX_SOURCE_DIR) + "/tests/desktop/xvfb-lsan.supp";
        const std::string command = std::string(kUnderXvfb) + "=1 QT_QPA_PLATFORM=xcb LSAN_OPTIONS=suppressions='" +
                                    suppressions + "':print_suppressions=0 " ORVEX_XVFB_RUN
                                    " -a -s '-screen 0 1280x800x24' '" + self +
                                    "' --gtest_filter=DesktopScreenshotTest.* > '" +
                                    (ShotsDir() / "run.log").string() + "' 2>&1";
        const int status = std::system(command.c_str());
        EXPECT_EQ(status, 0) << "see " << (ShotsDir() / "run.log").string();
        EXPECT_TRUE(std::filesystem::exists(ShotsDir() / "window.png"));
        return;
#endif
    }

    QApplication& app = DesktopTestApplication();
    ASSERT_EQ(app.platformName(), "xcb");
    QCursor::setPos(1279, 799);  // the pointer off the window: no hover readout in the picture
    CRealClock clock;
    auto window = std::make_unique<CMainWindow>(clock);
    // Nobody is there to answer: the animation's change is thrown away at the end.
    window->GetPrompts().unsaved = [](QWidget*, const QString&) { return EUnsavedAnswer::Discard; };
    window->resize(1140, 640);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    ASSERT_TRUE(window->OpenDocument(QString::fromStdString(PathOf("demo.json"))));
    Settle();

    // The pulse runs for a second of real time, then the clock stops driving the page.
    QAction* animate = window->GetMacrosMenu()->findChild<QAction*>("macro:Animate");
    ASSERT_NE(animate, nullptr);
    const uint64_t started = window->GetDocument().GetTime();
    animate->trigger();
    QTest::qWait(1000);
    window->GetPump().Stop();
    const uint64_t stopped = window->GetDocument().GetTime();
    EXPECT_GE(stopped - started, 400u) << "the animation did not run on the real clock";
    Settle();

    CPageView* view = window->GetPageView();
    const QImage shot = GrabWidget(view);
    shot.save(QString::fromStdString((ShotsDir() / "window.png").string()));
    const QPoint at = view->mapTo(view->window(), QPoint(0, 0));
    const QImage page = shot.copy(QRect(at, QSize(1100, 420)));
    page.save(QString::fromStdString((ShotsDir() / "page.png").string()));

    CBitmap live;
    ASSERT_TRUE(window->GetDocument().CopyPage(live));

    // The zoomed views, for a person to look at.
    for (int percent : {50, 200}) {
        window->SetZoomPercent(percent);
        Settle();
        GrabWidget(view).save(QString::fromStdString((ShotsDir() / ("zoom" + std::to_string(percent) + ".png")).string()));
    }
    window->SetZoomPercent(100);

    // The property dialogs, each tab, for the documentation (looked at by a person). Before the
    // headless run: a document that closes takes the properties verb's hook with it.
    for (const char* control : {"OrvexViewer1", "OrvexAscanViewer1"}) {
        ASSERT_TRUE(window->SelectControl(control));
        ASSERT_TRUE(window->ShowSelectedProperties()) << window->GetMessagePanel()->toPlainText().toStdString();
        CPropertyDialog* dialog = window->GetPropertyDialog();
        ASSERT_NE(dialog, nullptr);
        for (int i = 0; i < dialog->GetTabs()->count(); ++i) {
            dialog->GetTabs()->setCurrentIndex(i);
            Settle();
            const QImage d = QGuiApplication::primaryScreen()->grabWindow(dialog->winId()).toImage();
            d.save(QString::fromStdString((ShotsDir() / (std::string(control) + "-page" + std::to_string(i + 1) +
                                                         ".png")).string()));
        }
        dialog->reject();
        Settle();
    }
    // The same state headless: opened, the same time, the macro, the rest of the time.
    CBitmap headless;
    {
        CHostDocument doc;
        std::string error;
        ASSERT_TRUE(doc.Open(PathOf("demo.json"), error)) << error;
        doc.Pump(static_cast<DWORD>(started));
        ASSERT_TRUE(CallMethodByName(doc.GetExtendedControl("OrvexViewer1").get(), "AnimatePulse", {}, error));
        doc.Pump(static_cast<DWORD>(stopped - started));
        ASSERT_TRUE(doc.CopyPage(headless));
        doc.Close();
    }
    ASSERT_EQ(headless.GetWidth(), 1100);
    int surfaceDiffers = 0, screenDiffers = 0;
    for (int y = 0; y < 420; ++y)
        for (int x = 0; x < 1100; ++x) {
            const uint32_t h = headless.GetPixels()[y * 1100 + x] & 0xFFFFFF;
            surfaceDiffers += (live.GetPixels()[y * 1100 + x] & 0xFFFFFF) != h;
            const QRgb p = page.pixel(x, y);
            screenDiffers += RGB(qRed(p), qGreen(p), qBlue(p)) != h;
        }
    EXPECT_EQ(surfaceDiffers, 0);
    // Loosely: the server's picture may differ in a few pixels, not in what it shows.
    EXPECT_LE(screenDiffers, 1100 * 420 / 1000) << "of " << 1100 * 420 << " pixels";

    window->CloseDocument();
    window.reset();
}

}  // namespace
