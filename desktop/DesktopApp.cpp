#include "desktop/DesktopApp.h"

#include <QApplication>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStringList>
#include <cstdlib>

#include "desktop/MainWindow.h"
#include "platform/win/WinClock.h"

namespace {

// Qt ends the process when no display answers; the user gets one line instead.
bool HasDisplay() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0') return true;
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && std::equal(tail.rbegin(), tail.rend(), s.rbegin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == b;
           });
}

}  // namespace

int RunDesktopApplication(const std::string& path, std::ostream& err) {
    if (!HasDisplay()) {
        err << "orvex: no display to open a window on (set DISPLAY, or QT_QPA_PLATFORM=offscreen)\n";
        return 1;
    }
    static int argc = 1;
    static char name[] = "orvex";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QApplication::setApplicationName("OrvexViewer");
    CRealClock clock;
    CMainWindow window(clock);
    if (!path.empty()) {
        const QString file = QString::fromStdString(path);
        const bool opened = EndsWith(path, ".orvex") ? window.OpenSimulation(file) : window.OpenDocument(file);
        if (!opened) {
            // The panel's last line says why.
            const QStringList lines = window.GetMessagePanel()->toPlainText().split('\n');
            err << "orvex: " << lines.last().toStdString() << "\n";
            return 1;
        }
    }
    window.resize(1140, 620);
    window.show();
    return app.exec();
}
