// orvex ascan: the A-scan of a simulation file, plotted by the A-scan control linked to a viewer
// by name, as a PNG.
#include "apps/orvex/Command.h"
#include "apps/orvex/GateOptions.h"
#include "apps/orvex/OptionValues.h"
#include "host/AscanExport.h"
#include "host/AscanJob.h"
#include "host/DocumentFile.h"
#include "host/GateMeasureJob.h"

namespace {

int RunAscan(stCommandContext& ctx);
int RunAscanCsv(stCommandContext& ctx, const std::string& csv, const COptionParser& parser);

const stCommand kAscan{
    "ascan",
    "plot the A-scan of a simulation file with the A-scan control into a PNG",
    "orvex ascan FILE.orvex|FILE.json -o OUT.png [--size WxH] [--snapshot K] [--x MIN:MAX] [--y MIN:MAX]\n"
    "            [--scale F] [--stamp] [--csv OUT.csv] [--gate START:END[:THRESHOLD]... --readout]\n"
    "orvex ascan FILE.orvex|FILE.json --csv OUT.csv [--snapshot K|all] [--progress]",
    "Opens a page with a viewer control (OrvexViewer1) holding the simulation file (FILE.json: the\n"
    "JSON form) and an A-scan control\n"
    "(OrvexAscanViewer1) that finds the viewer by its name and plots the A-scan of the viewer's\n"
    "current snapshot in the viewer's display window; writes what the page shows.\n\n"
    "Options:\n"
    "  -o OUT.png          the picture to write (required)\n"
    "  --size WxH          page and A-scan control size in pixels (default 600x250)\n"
    "  --snapshot K        the viewer's CurrentSnapShot, set before the A-scan is built: 0 is the\n"
    "                      first snapshot, as orvex info numbers them\n"
    "  --x MIN:MAX         the time window (AscanXMin, AscanXMax), set after the link\n"
    "  --y MIN:MAX         the amplitude window (AscanYMin, AscanYMax), set after the link\n"
    "  --scale F           draw F times larger (1 to 4): page, fonts and pens together\n"
    "  --stamp             a caption below the picture: the file and the snapshot\n"
    "  --gate START:END[:THRESHOLD]  a gate to read out (repeat for more; orvex help gates)\n"
    "  --readout           a caption line per gate below the picture: its peak amplitude and\n"
    "                      time and its flank time, as orvex gates measures them\n"
    "  --csv OUT.csv       the A-scan's samples as CSV: a time column (times as the plot places\n"
    "                      them) and an amplitude column per snapshot; with or without -o\n"
    "  --snapshot all      with --csv and no -o: every snapshot, one column each\n"
    "  --progress          progress lines on stderr for --csv (given without asking for files\n"
    "                      of 16 MB on)\n"
    "An axis not given keeps the viewer's display window. A window beyond the data is cut to it\n"
    "(or, with nothing left, not taken), and a line on stderr says so.\n\n"
    "A file that cannot be read, or has no snapshot K, fails the job (exit status 1) and writes\n"
    "no picture.\n",
    RunAscan};
const CCommandRegistrar kRegister(kAscan);

int RunAscan(stCommandContext& ctx) {
    COptionParser parser({"-o", "--size", "--snapshot", "--x", "--y", "--scale", "--csv"},
                         {"--stamp", "--progress", "--readout"});
    std::string problem;
    std::vector<std::string> args = ctx.m_args;
    SGatesOptions gates;
    if (!TakeGateOptions(args, gates.gates, problem)) return UsageError(kAscan, ctx.m_err, problem);
    if (!parser.Parse(args, problem)) return UsageError(kAscan, ctx.m_err, problem);
    if (parser.Has("--readout") != !gates.gates.empty())
        return UsageError(kAscan, ctx.m_err, "--readout and --gate go together: the gates to read out");
    if (parser.Positionals().size() != 1)
        return UsageError(kAscan, ctx.m_err, parser.Positionals().empty() ? "missing FILE.orvex" : "one FILE.orvex only");
    auto output = parser.Value("-o");
    const auto csv = parser.Value("--csv");
    if (csv && !HasExtension(*csv, "csv")) return UsageError(kAscan, ctx.m_err, "--csv needs a file ending in .csv");
    const bool allSnapshots = parser.Value("--snapshot") == std::optional<std::string>("all");
    if (allSnapshots && (!csv || output))
        return UsageError(kAscan, ctx.m_err, "--snapshot all is for --csv without -o (a picture shows one snapshot)");
    if (csv && !output) {
        if (!gates.gates.empty()) return UsageError(kAscan, ctx.m_err, "--readout needs the picture (-o OUT.png)");
        return RunAscanCsv(ctx, *csv, parser);
    }
    if (!output || output->empty()) return UsageError(kAscan, ctx.m_err, "missing -o OUT.png");
    if (!HasExtension(*output, "png")) return UsageError(kAscan, ctx.m_err, "-o needs a file ending in .png");

    SAscanOptions options;
    options.inputPath = parser.Positionals()[0];
    options.outputPath = *output;
    if (auto size = parser.Value("--size"); size && !ParseSize(*size, options.width, options.height))
        return UsageError(kAscan, ctx.m_err,
                          "--size needs WxH with whole numbers from 1 to " + std::to_string(kMaxPageExtent));
    if (auto text = parser.Value("--snapshot")) {
        long long k = 0;
        if (!ParseInteger(*text, 0, 0x7FFFFFFF, k))
            return UsageError(kAscan, ctx.m_err, "--snapshot needs a whole number from 0");
        options.snapshot = static_cast<LONG>(k);
    }
    struct {
        const char* name;
        std::optional<SAscanOptions::SRange>* target;
    } ranges[] = {{"--x", &options.x}, {"--y", &options.y}};
    for (auto& range : ranges) {
        if (auto text = parser.Value(range.name)) {
            SAscanOptions::SRange r;
            if (!ParseRange(*text, r.min, r.max))
                return UsageError(kAscan, ctx.m_err, std::string(range.name) + " needs MIN:MAX with MIN below MAX");
            *range.target = r;
        }
    }

    if (auto scale = parser.Value("--scale"); scale && !ParseScale(*scale, options.scale))
        return UsageError(kAscan, ctx.m_err, "--scale needs a number from 1 to 4");
    options.stamp = parser.Has("--stamp");

    std::string error;
    if (!gates.gates.empty()) {
        // Measured on the snapshot the picture shows, through a viewer of its own.
        gates.inputPath = options.inputPath;
        gates.snapshot = options.snapshot;
        std::vector<SGateTableRow> rows;
        if (!MeasureGates(gates, rows, error)) return JobFailed(ctx.m_err, error);
        options.readout = FormatGateReadout(gates, rows);
    }
    std::vector<std::string> notes;
    const bool ok = RunAscanJob(options, error, &notes);
    for (const std::string& note : notes) ctx.m_err << "orvex ascan: " << note << "\n";
    if (!ok) return JobFailed(ctx.m_err, error);
    if (csv) return RunAscanCsv(ctx, *csv, parser);
    return kExitOk;
}

int RunAscanCsv(stCommandContext& ctx, const std::string& csv, const COptionParser& parser) {
    SAscanCsvOptions options;
    options.inputPath = parser.Positionals()[0];
    options.outputPath = csv;
    if (auto text = parser.Value("--snapshot")) {
        long long k = 0;
        if (*text == "all") options.allSnapshots = true;
        else if (ParseInteger(*text, 0, 0x7FFFFFFF, k)) options.snapshot = static_cast<LONG>(k);
        else return UsageError(kAscan, ctx.m_err, "--snapshot needs a whole number from 0, or all with --csv");
    }
    AscanProgress progress;
    if (WantsProgress(options.inputPath, parser.Has("--progress")))
        progress = MakeProgressLines([&ctx](const std::string& line) { ctx.m_err << line << "\n"; }, "orvex ascan",
                                     "snapshots", 0);
    std::string error;
    if (!WriteAscanCsv(options, error, progress)) return JobFailed(ctx.m_err, error);
    return kExitOk;
}

}  // namespace
