// orvex open: the desktop application (Qt 6), the document live in a window.
#include "apps/orvex/Command.h"

#ifdef ORVEX_HAVE_DESKTOP
#include "desktop/DesktopApp.h"
#endif

namespace {

int RunOpen(stCommandContext& ctx);

const stCommand kOpen{
    "open",
    "the desktop application (Qt 6): the document live in a window",
    "orvex open [DOC.json | FILE.orvex]",
    "Opens a document in a desktop window, its controls live: the viewer animates in real time,\n"
    "the A-scan plot zooms, pans and makes gates with the mouse, and a right-button click opens a\n"
    "control's properties as a dialog. A simulation file opens in a new untitled document with a\n"
    "viewer and a linked A-scan control side by side. Without a file the window opens empty.\n\n"
    "Menus: File (open, save, export PNG, print to PDF or SVG, quit), Macros (the document's\n"
    "macros, a Lua script), View (properties, animation, zoom), Help. docs/desktop.md has more.\n\n"
    "Needs a display (DISPLAY or WAYLAND_DISPLAY, or QT_QPA_PLATFORM); without one, or when the\n"
    "file cannot be opened, the job fails (exit status 1).\n",
    RunOpen};
const CCommandRegistrar kRegister(kOpen);

int RunOpen(stCommandContext& ctx) {
    COptionParser parser({}, {});
    std::string problem;
    if (!parser.Parse(ctx.m_args, problem)) return UsageError(kOpen, ctx.m_err, problem);
    if (parser.Positionals().size() > 1) return UsageError(kOpen, ctx.m_err, "one file only");
    const std::string path = parser.Positionals().empty() ? std::string() : parser.Positionals()[0];
#ifdef ORVEX_HAVE_DESKTOP
    return RunDesktopApplication(path, ctx.m_err);
#else
    (void)path;
    return JobFailed(ctx.m_err, "this orvex was built without Qt 6; install qt6-base-dev and build again");
#endif
}

}  // namespace
