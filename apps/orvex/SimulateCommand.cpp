// orvex simulate: writes a generated data set.
#include "apps/orvex/Command.h"
#include "apps/orvex/DataFiles.h"
#include "simulation/Generator.h"

namespace {

int RunSimulate(stCommandContext& ctx);

const stCommand kSimulate{
    "simulate",
    "write a simulated inspection (probe on a wedge over a steel block with a side-drilled hole)",
    "orvex simulate [--rays N] [--snapshots M] [--samples K] [--seed S] -o FILE.orvex",
    "Simulates a 45-degree shear-wave probe on an acrylic wedge scanning a 100 x 30 mm steel block\n"
    "with a 3 mm side-drilled hole: one snapshot per probe position, each with the probe's outline,\n"
    "the legs of its rays (refracted, reflected at the hole and the backwall) and an A-scan. The\n"
    "same options and seed always give the same file.\n\n"
    "Options:\n"
    "  -o FILE        the file to write (required); FILE.json writes the JSON form\n"
    "  --rays N       rays leaving the probe in each snapshot, each with several legs (default 32)\n"
    "  --snapshots M  probe positions along the scan line (default 16)\n"
    "  --samples K    A-scan samples per snapshot, over the same 45 us (default 4096)\n"
    "  --seed S       seed of the ray fan and the noise (default 1)\n"
    "N times M must not exceed 10000000, K times M 1000000000.\n",
    RunSimulate};
const CCommandRegistrar kRegister(kSimulate);

int RunSimulate(stCommandContext& ctx) {
    COptionParser parser({"-o", "--output", "--rays", "--snapshots", "--samples", "--seed"}, {});
    std::string problem;
    if (!parser.Parse(ctx.m_args, problem)) return UsageError(kSimulate, ctx.m_err, problem);
    if (!parser.Positionals().empty())
        return UsageError(kSimulate, ctx.m_err, "unexpected argument " + parser.Positionals().front());
    auto output = parser.Value("-o");
    if (!output) output = parser.Value("--output");
    if (!output || output->empty()) return UsageError(kSimulate, ctx.m_err, "missing -o FILE");
    if (FileExtension(*output) != "orvex" && FileExtension(*output) != "json")
        return UsageError(kSimulate, ctx.m_err, "-o needs a file ending in .orvex or .json");

    stSimulationOptions options;
    struct {
        const char* name;
        int32_t* target;
    } counts[] = {{"--rays", &options.m_rays}, {"--snapshots", &options.m_snapshots}, {"--samples", &options.m_samples}};
    for (auto& c : counts) {
        if (auto v = parser.Value(c.name)) {
            long long n = 0;
            if (!ParseInteger(*v, 1, INT32_MAX, n))
                return UsageError(kSimulate, ctx.m_err, std::string(c.name) + " needs a whole number from 1, not '" + *v + "'");
            *c.target = static_cast<int32_t>(n);
        }
    }
    if (auto v = parser.Value("--seed")) {
        unsigned long long seed = 0;
        if (!ParseUnsigned(*v, seed)) return UsageError(kSimulate, ctx.m_err, "--seed needs a whole number, not '" + *v + "'");
        options.m_seed = seed;
    }
    if (!CheckSimulationOptions(options, problem)) return UsageError(kSimulate, ctx.m_err, problem);

    CSimulationData data;
    GenerateSimulation(options, data);
    std::string error;
    if (!SaveDataFile(*output, data, error)) return JobFailed(ctx.m_err, error);
    return kExitOk;
}

}  // namespace
