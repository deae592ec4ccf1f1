// orvex animate: the viewer's pulse animation, frame by frame as the control steps it, as an
// animated GIF.
#include "apps/orvex/Command.h"
#include "apps/orvex/OptionValues.h"
#include "host/AnimationJob.h"
#include "host/DocumentFile.h"

namespace {

int RunAnimate(stCommandContext& ctx);

const stCommand kAnimate{
    "animate",
    "the viewer's pulse animation as an animated GIF",
    "orvex animate FILE.orvex|FILE.json -o OUT.gif [--size WxH] [--plot pulse|end] [--fps N] [--stamp]\n"
    "            [--progress]",
    "Opens a page with a viewer control holding the simulation file and runs its own animation:\n"
    "the first frame at PulseAnimateStartLimit, then one frame per tick of the control's timer\n"
    "(RayEndTime plus RayEndTimeIncrement), up to the tick that wraps past\n"
    "PulseAnimateEndLimit back to the start. The GIF loops.\n\n"
    "Options:\n"
    "  -o OUT.gif          the animation to write (required)\n"
    "  --size WxH          page and viewer size in pixels (default 500x400)\n"
    "  --plot pulse|end    the travelling pulse (default) or the rays cut at the time\n"
    "  --fps N             frames per second, 1 to 50 (default 5, the control's 200 ms tick)\n"
    "  --stamp             a caption below each frame: the file, the snapshot and the time\n"
    "  --progress          a progress line per tenth of the frames on stderr (given without\n"
    "                      asking for files of 16 MB on)\n"
    "Each frame has a palette of its own colours, exact for the viewer's few colours. A file that\n"
    "cannot be read fails the job (exit status 1) and writes nothing.\n",
    RunAnimate};
const CCommandRegistrar kRegister(kAnimate);

int RunAnimate(stCommandContext& ctx) {
    COptionParser parser({"-o", "--size", "--plot", "--fps"}, {"--stamp", "--progress"});
    std::string problem;
    if (!parser.Parse(ctx.m_args, problem)) return UsageError(kAnimate, ctx.m_err, problem);
    if (parser.Positionals().size() != 1)
        return UsageError(kAnimate, ctx.m_err, parser.Positionals().empty() ? "missing FILE.orvex" : "one FILE.orvex only");
    auto output = parser.Value("-o");
    if (!output || output->empty()) return UsageError(kAnimate, ctx.m_err, "missing -o OUT.gif");
    if (HasExtension(*output, "png"))
        return UsageError(kAnimate, ctx.m_err,
                          "-o OUT.png: this build's libpng cannot write animated PNG; use a file ending in .gif");
    if (!HasExtension(*output, "gif")) return UsageError(kAnimate, ctx.m_err, "-o needs a file ending in .gif");

    SAnimateOptions options;
    options.inputPath = parser.Positionals()[0];
    options.outputPath = *output;
    if (auto size = parser.Value("--size"); size && !ParseSize(*size, options.width, options.height))
        return UsageError(kAnimate, ctx.m_err,
                          "--size needs WxH with whole numbers from 1 to " + std::to_string(kMaxPageExtent));
    if (auto plot = parser.Value("--plot")) {
        if (*plot == "pulse") options.plotType = 2;
        else if (*plot == "end") options.plotType = 1;
        else return UsageError(kAnimate, ctx.m_err, "--plot needs pulse or end");
    }
    if (auto fps = parser.Value("--fps")) {
        long long n = 0;
        if (!ParseInteger(*fps, 1, 50, n)) return UsageError(kAnimate, ctx.m_err, "--fps needs a whole number from 1 to 50");
        options.fps = static_cast<int>(n);
    }
    options.stamp = parser.Has("--stamp");

    AscanProgress progress;
    if (WantsProgress(options.inputPath, parser.Has("--progress")))
        progress = MakeProgressLines([&ctx](const std::string& line) { ctx.m_err << line << "\n"; }, "orvex animate",
                                     "frames", 0);
    SAnimateResult result;
    std::string error;
    if (!RunAnimateJob(options, result, error, progress)) return JobFailed(ctx.m_err, error);
    for (const std::string& note : result.notes) ctx.m_err << "orvex animate: " << note << "\n";
    return kExitOk;
}

}  // namespace
