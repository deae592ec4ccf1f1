// orvex render: a simulation file drawn by the viewer control, as a PNG.
#include <cmath>

#include "apps/orvex/Command.h"
#include "apps/orvex/OptionValues.h"
#include "host/DocumentFile.h"
#include "host/RenderJob.h"

namespace {

int RunRender(stCommandContext& ctx);

const stCommand kRender{
    "render",
    "draw a simulation file with the viewer control into a PNG",
    "orvex render FILE.orvex|FILE.json -o OUT.png [--size WxH] [--view front|side|top] [--rotate D]\n"
    "             [--spin D] [--tilt D] [--plot full|end|pulse] [--time T] [--scale F] [--stamp]",
    "Opens a page with one viewer control, loads the simulation file into it (FILE.json: the JSON\n"
    "form), applies the options through the control's automation interface and writes what the\n"
    "page shows.\n\n"
    "Options:\n"
    "  -o OUT.png          the picture to write (required)\n"
    "  --size WxH          page and viewer size in pixels (default 500x400)\n"
    "  --view VIEW         front, side or top: a standard view, applied first\n"
    "  --rotate D          rotate the view by D degrees (after --view)\n"
    "  --spin D            spin the view by D degrees (after --rotate)\n"
    "  --tilt D            tilt the view by D degrees (after --spin)\n"
    "  --plot TYPE         full: whole rays; end: rays cut at the time; pulse: the pulse at the time\n"
    "  --time T            the ray time (RayEndTime); without --plot it means --plot end\n"
    "  --scale F           draw F times larger (1 to 4): page, fonts and pens together\n"
    "  --stamp             a caption below the picture: the file, the snapshot, how rays are drawn\n\n"
    "A file that cannot be read fails the job (exit status 1) and writes no picture.\n",
    RunRender};
const CCommandRegistrar kRegister(kRender);

int RunRender(stCommandContext& ctx) {
    COptionParser parser({"-o", "--size", "--view", "--rotate", "--spin", "--tilt", "--plot", "--time", "--scale"},
                         {"--stamp"});
    std::string problem;
    if (!parser.Parse(ctx.m_args, problem)) return UsageError(kRender, ctx.m_err, problem);
    if (parser.Positionals().size() != 1)
        return UsageError(kRender, ctx.m_err, parser.Positionals().empty() ? "missing FILE.orvex" : "one FILE.orvex only");
    auto output = parser.Value("-o");
    if (!output || output->empty()) return UsageError(kRender, ctx.m_err, "missing -o OUT.png");
    if (!HasExtension(*output, "png")) return UsageError(kRender, ctx.m_err, "-o needs a file ending in .png");

    SRenderOptions options;
    options.inputPath = parser.Positionals()[0];
    options.outputPath = *output;
    if (auto size = parser.Value("--size"); size && !ParseSize(*size, options.width, options.height))
        return UsageError(kRender, ctx.m_err,
                          "--size needs WxH with whole numbers from 1 to " + std::to_string(kMaxPageExtent));
    if (auto view = parser.Value("--view")) {
        if (*view == "front") options.view = SRenderOptions::EView::Front;
        else if (*view == "side") options.view = SRenderOptions::EView::Side;
        else if (*view == "top") options.view = SRenderOptions::EView::Top;
        else return UsageError(kRender, ctx.m_err, "--view needs front, side or top");
    }
    struct {
        const char* name;
        std::optional<float>* target;
    } angles[] = {{"--rotate", &options.rotate}, {"--spin", &options.spin}, {"--tilt", &options.tilt}};
    for (auto& angle : angles) {
        if (auto text = parser.Value(angle.name)) {
            double d = 0;
            // Angles beyond a float are not angles anyone means.
            if (!ParseNumber(*text, d) || std::fabs(d) > 1e30)
                return UsageError(kRender, ctx.m_err, std::string(angle.name) + " needs a number of degrees");
            *angle.target = static_cast<float>(d);
        }
    }
    if (auto plot = parser.Value("--plot")) {
        if (*plot == "full") options.plotType = 0;
        else if (*plot == "end") options.plotType = 1;
        else if (*plot == "pulse") options.plotType = 2;
        else return UsageError(kRender, ctx.m_err, "--plot needs full, end or pulse");
    }
    if (auto time = parser.Value("--time")) {
        double t = 0;
        if (!ParseNumber(*time, t)) return UsageError(kRender, ctx.m_err, "--time needs a number");
        options.time = t;
        // A time is only drawn by the cut and the pulse: on its own it asks for the cut.
        if (!options.plotType) options.plotType = 1;
    }
    if (auto scale = parser.Value("--scale"); scale && !ParseScale(*scale, options.scale))
        return UsageError(kRender, ctx.m_err, "--scale needs a number from 1 to 4");
    options.stamp = parser.Has("--stamp");

    std::string error;
    if (!RunRenderJob(options, error)) return JobFailed(ctx.m_err, error);
    return kExitOk;
}

}  // namespace
