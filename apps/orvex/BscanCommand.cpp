// orvex bscan: the A-scans of all snapshots side by side as an image (snapshot across, time down,
// amplitude as colour) with axes and a colour bar, as PNG, PDF or SVG.
#include "apps/orvex/Command.h"
#include "apps/orvex/OptionValues.h"
#include "host/BscanPicture.h"
#include "host/DocumentFile.h"

namespace {

int RunBscan(stCommandContext& ctx);

const stCommand kBscan{
    "bscan",
    "the A-scans of all snapshots side by side as an image (B-scan), PNG, PDF or SVG",
    "orvex bscan FILE.orvex|FILE.json -o OUT.png|OUT.pdf|OUT.svg [--size WxH] [--x MIN:MAX]\n"
    "            [--colormap gray|viridis] [--envelope] [--progress]",
    "Reads the A-scan of every snapshot as the viewer control hands it out (GetAscan) and draws\n"
    "them side by side: snapshot (probe position) across, time down, amplitude as colour, with a\n"
    "colour bar and its numbers. The axes are drawn by the line plot's own axis routines.\n\n"
    "Options:\n"
    "  -o OUT              the picture: .png, .pdf or .svg (required)\n"
    "  --size WxH          picture size in pixels (default 800x500)\n"
    "  --x MIN:MAX         the time window (default: the first snapshot's display window)\n"
    "  --colormap NAME     gray (default: black lowest, white highest) or viridis\n"
    "  --envelope          the magnitude of the analytic signal (Hilbert transform) instead of\n"
    "                      the raw signal\n"
    "  --progress          progress lines on stderr (given without asking for files of 16 MB on)\n"
    "Each pixel row shows the sample of largest magnitude within its time span, so no echo falls\n"
    "between rows. A file that cannot be read fails the job (exit status 1) and writes nothing.\n",
    RunBscan};
const CCommandRegistrar kRegister(kBscan);

int RunBscan(stCommandContext& ctx) {
    COptionParser parser({"-o", "--size", "--x", "--colormap"}, {"--envelope", "--progress"});
    std::string problem;
    if (!parser.Parse(ctx.m_args, problem)) return UsageError(kBscan, ctx.m_err, problem);
    if (parser.Positionals().size() != 1)
        return UsageError(kBscan, ctx.m_err, parser.Positionals().empty() ? "missing FILE.orvex" : "one FILE.orvex only");
    auto output = parser.Value("-o");
    if (!output || output->empty()) return UsageError(kBscan, ctx.m_err, "missing -o OUT.png");
    if (!HasExtension(*output, "png") && !HasExtension(*output, "pdf") && !HasExtension(*output, "svg"))
        return UsageError(kBscan, ctx.m_err, "-o needs a file ending in .png, .pdf or .svg");

    SBscanOptions options;
    if (auto size = parser.Value("--size"); size && !ParseSize(*size, options.width, options.height))
        return UsageError(kBscan, ctx.m_err,
                          "--size needs WxH with whole numbers from 1 to " + std::to_string(kMaxPageExtent));
    if (auto text = parser.Value("--x")) {
        float lo = 0.0f, hi = 0.0f;
        if (!ParseRange(*text, lo, hi)) return UsageError(kBscan, ctx.m_err, "--x needs MIN:MAX with MIN below MAX");
        options.x = SBscanOptions::SRange{lo, hi};
    }
    if (auto map = parser.Value("--colormap")) {
        if (*map == "gray") options.colourMap = SBscanOptions::EColourMap::Gray;
        else if (*map == "viridis") options.colourMap = SBscanOptions::EColourMap::Viridis;
        else return UsageError(kBscan, ctx.m_err, "--colormap needs gray or viridis");
    }
    options.envelope = parser.Has("--envelope");

    const std::string input = parser.Positionals()[0];
    CAscanTraceSource source;
    std::string error;
    if (!source.Open(input, error)) return JobFailed(ctx.m_err, error);
    AscanProgress progress;
    if (WantsProgress(input, parser.Has("--progress")))
        progress = MakeProgressLines([&ctx](const std::string& line) { ctx.m_err << line << "\n"; }, "orvex bscan",
                                     "snapshots", 0);
    if (!WriteBscan(source.GetViewer().get(), options, *output, error, progress)) return JobFailed(ctx.m_err, error);
    return kExitOk;
}

}  // namespace
