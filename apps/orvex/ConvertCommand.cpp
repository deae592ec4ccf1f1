// orvex convert: .orvex <-> JSON, chosen by extension. Checks structure and types, not physics.
#include "apps/orvex/Command.h"
#include "apps/orvex/DataFiles.h"

namespace {

int RunConvert(stCommandContext& ctx);

const stCommand kConvert{
    "convert",
    "convert a data set between the .orvex and JSON forms",
    "orvex convert IN OUT",
    "Reads IN and writes OUT, each in the form its extension names: .orvex (binary) or .json.\n"
    "Every value is kept as it is; converting .orvex to JSON and back gives the same bytes.\n"
    "The conversion checks structure and types, not physics: a zero sample interval or a negative\n"
    "time converts. Non-finite numbers are written in JSON as \"NaN\", \"Infinity\", \"-Infinity\".\n",
    RunConvert};
const CCommandRegistrar kRegister(kConvert);

bool KnownForm(const std::string& path) {
    const std::string ext = FileExtension(path);
    return ext == "orvex" || ext == "json";
}

int RunConvert(stCommandContext& ctx) {
    COptionParser parser({}, {});
    std::string problem;
    if (!parser.Parse(ctx.m_args, problem)) return UsageError(kConvert, ctx.m_err, problem);
    const auto& files = parser.Positionals();
    if (files.size() < 2) return UsageError(kConvert, ctx.m_err, files.empty() ? "missing IN and OUT" : "missing OUT");
    if (files.size() > 2) return UsageError(kConvert, ctx.m_err, "unexpected argument " + files[2]);
    for (const std::string& f : files)
        if (!KnownForm(f)) return UsageError(kConvert, ctx.m_err, f + ": extension must be .orvex or .json");

    CSimulationData data;
    std::string error;
    if (!LoadDataFile(files[0], data, error)) return JobFailed(ctx.m_err, error);
    if (!SaveDataFile(files[1], data, error)) return JobFailed(ctx.m_err, error);
    return kExitOk;
}

}  // namespace
