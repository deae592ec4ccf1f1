// orvex gates: gate readouts (peak amplitude, its time, the flank time at a threshold) of the
// A-scans of a simulation file, as a table or JSON.
#include <iostream>

#include "apps/orvex/Command.h"
#include "apps/orvex/GateOptions.h"
#include "host/GateMeasureJob.h"

namespace {

int RunGates(stCommandContext& ctx);

const stCommand kGates{
    "gates",
    "gate readouts of the A-scans: peak amplitude, its time, flank time",
    "orvex gates FILE.orvex|FILE.json --gate START:END[:THRESHOLD]... [--snapshot K|all] [--json]\n"
    "            [--progress]",
    "Reads the A-scans as the viewer control hands them out (GetAscan) and measures each gate on\n"
    "each chosen snapshot: the peak amplitude (the largest magnitude in the gate), the time of\n"
    "that sample, and the flank time, where the magnitude first reaches THRESHOLD (interpolated\n"
    "between samples). docs/measurements.md has the exact definitions.\n\n"
    "Options:\n"
    "  --gate START:END[:THRESHOLD]  a gate in the A-scan's time unit, both ends included; repeat\n"
    "                      the option for more gates (named Gate 1, Gate 2, ... in the output)\n"
    "  --snapshot K|all    the snapshot (0 is the first) or every snapshot; default the one the\n"
    "                      viewer shows after loading\n"
    "  --json              a JSON document instead of the table\n"
    "  --progress          progress lines on stderr (given without asking for files of 16 MB on)\n"
    "A gate without samples reads '-' (null in JSON); so does a flank that is never reached.\n"
    "A file that cannot be read, or has no snapshot K, fails the job (exit status 1).\n",
    RunGates};
const CCommandRegistrar kRegister(kGates);

int RunGates(stCommandContext& ctx) {
    COptionParser parser({"--gate", "--snapshot"}, {"--json", "--progress"});
    std::vector<std::string> rest = ctx.m_args;
    SGatesOptions options;
    std::string problem;
    if (!TakeGateOptions(rest, options.gates, problem)) return UsageError(kGates, ctx.m_err, problem);
    if (!parser.Parse(rest, problem)) return UsageError(kGates, ctx.m_err, problem);
    if (parser.Positionals().size() != 1)
        return UsageError(kGates, ctx.m_err, parser.Positionals().empty() ? "missing FILE.orvex" : "one FILE.orvex only");
    if (options.gates.empty()) return UsageError(kGates, ctx.m_err, "missing --gate START:END[:THRESHOLD]");
    options.inputPath = parser.Positionals()[0];
    if (auto text = parser.Value("--snapshot")) {
        long long k = 0;
        if (*text == "all") options.allSnapshots = true;
        else if (ParseInteger(*text, 0, 0x7FFFFFFF, k)) options.snapshot = static_cast<LONG>(k);
        else return UsageError(kGates, ctx.m_err, "--snapshot needs a whole number from 0, or all");
    }
    options.json = parser.Has("--json");

    AscanProgress progress;
    if (WantsProgress(options.inputPath, parser.Has("--progress")))
        progress = MakeProgressLines([&ctx](const std::string& line) { ctx.m_err << line << "\n"; }, "orvex gates",
                                     "snapshots", 0);
    std::vector<SGateTableRow> rows;
    std::string error;
    if (!MeasureGates(options, rows, error, progress)) return JobFailed(ctx.m_err, error);
    ctx.m_out << (options.json ? FormatGateJson(options, rows) : FormatGateTable(options, rows));
    return kExitOk;
}

}  // namespace
