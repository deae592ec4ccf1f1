// orvex demo: the built-in simulation drawn every way the controls draw it, and the demo document
// run with its macros; prints each file it writes.
#include "apps/orvex/Command.h"
#include "host/DemoJob.h"

namespace {

int RunDemo(stCommandContext& ctx);

const stCommand kDemo{
    "demo",
    "the main job on built-in data: simulate, render, run the demo document",
    "orvex demo [-o DIR]",
    "Simulates the built-in inspection (the defaults of orvex simulate) and writes under DIR:\n"
    "  demo.orvex                      the simulation\n"
    "  viewer_front/side/top.png       the viewer in its three standard views\n"
    "  viewer_full/end/pulse.png       the three ray plot types (cut and pulse at 12 us)\n"
    "  ascan_snapshot_NN.png           the A-scan of each snapshot (probe position)\n"
    "  frames/pulse_NNN.png            one cycle of the pulse animation, 200 ms apart\n"
    "  bscan.png, gates.txt            the B-scan and gate readouts of every snapshot\n"
    "  pulse.gif                       the pulse animation with captions\n"
    "  demo.json, demo_document.png    the demo document (examples/demo.json) as it opens\n"
    "  demo_document.pdf/.svg          that page printed on A4\n"
    "  tour_*.png                      the pictures its Tour macro takes\n"
    "and prints each file as it is written.\n\n"
    "Options:\n"
    "  -o DIR              the folder to write into (default build/demo; made when missing)\n",
    RunDemo};
const CCommandRegistrar kRegister(kDemo);

int RunDemo(stCommandContext& ctx) {
    COptionParser parser({"-o"}, {});
    std::string problem;
    if (!parser.Parse(ctx.m_args, problem)) return UsageError(kDemo, ctx.m_err, problem);
    if (!parser.Positionals().empty()) return UsageError(kDemo, ctx.m_err, "unexpected " + parser.Positionals()[0]);
    SDemoOptions options;
    if (auto dir = parser.Value("-o")) {
        if (dir->empty()) return UsageError(kDemo, ctx.m_err, "-o needs a folder");
        options.outputDir = *dir;
    }
    std::string error;
    auto wrote = [&ctx](const std::string& path) { ctx.m_out << "wrote " << path << "\n" << std::flush; };
    if (!RunDemoJob(options, wrote, error)) return JobFailed(ctx.m_err, error);
    return kExitOk;
}

}  // namespace
