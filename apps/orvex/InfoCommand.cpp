// orvex info: a summary of a data set, as text or JSON.
#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "apps/orvex/Command.h"
#include "apps/orvex/DataFiles.h"
#include "geometry/OrvexFile.h"
#include "host/JobDataFile.h"

namespace {

int RunInfo(stCommandContext& ctx);

const stCommand kInfo{
    "info",
    "summarise a simulation file",
    "orvex info FILE.orvex [--json]",
    "Prints the number of snapshots, bundles and legs, the ray time range, the probe, the view,\n"
    "and for each snapshot its bundles, legs, ray times, A-scan window and sample count.\n"
    "A .json file is read in the JSON form.\n\n"
    "Options:\n"
    "  --json   print the summary as a JSON object\n",
    RunInfo};
const CCommandRegistrar kRegister(kInfo);

struct stTimes {
    double m_min = 1e100;
    double m_max = -1e100;
    void Merge(double lo, double hi) {
        if (lo < m_min) m_min = lo;
        if (hi > m_max) m_max = hi;
    }
    bool Any() const { return m_min <= m_max; }
};

struct stSnapshotSummary {
    size_t m_bundles = 0;
    int32_t m_drawn = 0;
    size_t m_legs = 0;
    size_t m_legsWithoutEnd = 0;
    size_t m_legsNotDrawn = 0;
    stTimes m_times;
};

void AddLegs(stSnapshotSummary& sum, const CUTRay* legs, size_t count) {
    double lo = 1e100, hi = -1e100;
    CBundle::MergeExtremeTimes(legs, count, lo, hi);
    sum.m_times.Merge(lo, hi);
    sum.m_legs += count;
    for (size_t i = 0; i < count; ++i) {
        sum.m_legsWithoutEnd += legs[i].HasEnd() ? 0 : 1;
        sum.m_legsNotDrawn += legs[i].m_kind == CUTRay::kNotDrawn ? 1 : 0;
    }
}

// The legs of an .orvex file are counted as they are read and not kept: a summary of a gigabyte
// file then costs about what reading it does.
class CLegTally : public CLegVisitor {
public:
    void OnLegs(size_t snapshot, const CUTRay* legs, size_t count) override {
        if (m_snapshots.size() <= snapshot) m_snapshots.resize(snapshot + 1);
        AddLegs(m_snapshots[snapshot], legs, count);
    }
    std::vector<stSnapshotSummary> m_snapshots;
};

// legs: the tally of the snapshot's legs when they were not kept.
stSnapshotSummary Summarise(const CSimulationData::stSnapshot& s, const stSnapshotSummary* legs) {
    stSnapshotSummary sum;
    if (legs) sum = *legs;
    sum.m_bundles = s.m_bundles.size();
    sum.m_drawn = s.m_nBundles;
    if (!legs)
        for (const CBundle& b : s.m_bundles) AddLegs(sum, b.m_rays.data(), b.m_rays.size());
    return sum;
}

// Numbers for people: up to 6 significant digits.
std::string Num(double v) {
    std::ostringstream s;
    s.precision(6);
    s << v;
    return s.str();
}

nlohmann::json JsonNumber(double v) {
    if (std::isfinite(v)) return v;
    return std::isnan(v) ? "NaN" : (v > 0 ? "Infinity" : "-Infinity");
}

nlohmann::json Triple(double x, double y, double z) { return {JsonNumber(x), JsonNumber(y), JsonNumber(z)}; }

int RunInfo(stCommandContext& ctx) {
    COptionParser parser({}, {"--json"});
    std::string problem;
    if (!parser.Parse(ctx.m_args, problem)) return UsageError(kInfo, ctx.m_err, problem);
    const auto& files = parser.Positionals();
    if (files.empty()) return UsageError(kInfo, ctx.m_err, "missing FILE");
    if (files.size() > 1) return UsageError(kInfo, ctx.m_err, "unexpected argument " + files[1]);

    CSimulationData data;
    std::string error;
    CLegTally tally;
    const bool json = IsJsonPath(files[0]);
    if (!(json ? LoadDataFile(files[0], data, error) : LoadOrvexFileVisitingLegs(files[0], data, tally, error))) {
        if (json) IsDocumentFile(files[0], error);
        return JobFailed(ctx.m_err, error);
    }
    tally.m_snapshots.resize(data.m_snapshots.size());

    std::vector<stSnapshotSummary> snapshots;
    stTimes all;
    size_t bundles = 0, legs = 0;
    for (size_t i = 0; i < data.m_snapshots.size(); ++i) {
        const auto& s = data.m_snapshots[i];
        snapshots.push_back(Summarise(s, json ? nullptr : &tally.m_snapshots[i]));
        const auto& sum = snapshots.back();
        if (sum.m_times.Any()) all.Merge(sum.m_times.m_min, sum.m_times.m_max);
        bundles += sum.m_bundles;
        legs += sum.m_legs;
    }
    const CCoordinates3D& f = data.m_viewFrame;
    const CfRect& r = data.m_viewRect;

    if (parser.Has("--json")) {
        nlohmann::json j;
        j["file"] = files[0];
        j["snapshots"] = data.m_snapshots.size();
        j["displaySnapshot"] = data.m_displaySnapshot;
        j["bundles"] = bundles;
        j["legs"] = legs;
        j["rayTimes"] = all.Any() ? nlohmann::json{JsonNumber(all.m_min), JsonNumber(all.m_max)} : nlohmann::json(nullptr);
        j["probeFrequency"] = JsonNumber(data.m_probeFrequency);
        j["probeBandwidth"] = JsonNumber(data.m_probeBandwidth);
        j["outlineArcs"] = data.m_outline.GetSize();
        j["extraOutlineArcs"] = data.m_extraOutline.GetSize();
        j["labels"] = data.m_labels.size();
        j["viewFrame"] = {{"origin", Triple(f.GetOrigin().x, f.GetOrigin().y, f.GetOrigin().z)},
                          {"xAxis", Triple(f.GetXAxis().x, f.GetXAxis().y, f.GetXAxis().z)},
                          {"yAxis", Triple(f.GetYAxis().x, f.GetYAxis().y, f.GetYAxis().z)},
                          {"zAxis", Triple(f.GetZAxis().x, f.GetZAxis().y, f.GetZAxis().z)}};
        j["viewRect"] = {{"left", JsonNumber(r.left)}, {"bottom", JsonNumber(r.bottom)},
                         {"right", JsonNumber(r.right)}, {"top", JsonNumber(r.top)}};
        nlohmann::json list = nlohmann::json::array();
        for (size_t i = 0; i < data.m_snapshots.size(); ++i) {
            const auto& s = data.m_snapshots[i];
            const auto& sum = snapshots[i];
            list.push_back({{"snapshot", i},
                            {"outlineItems", s.m_outlineItems.size()},
                            {"bundles", sum.m_bundles},
                            {"nBundles", sum.m_drawn},
                            {"legs", sum.m_legs},
                            {"legsWithoutEnd", sum.m_legsWithoutEnd},
                            {"legsNotDrawn", sum.m_legsNotDrawn},
                            {"rayTimes", sum.m_times.Any() ? nlohmann::json{JsonNumber(sum.m_times.m_min),
                                                                            JsonNumber(sum.m_times.m_max)}
                                                           : nlohmann::json(nullptr)},
                            {"ascanWindow", {JsonNumber(s.m_windowStart), JsonNumber(s.m_windowStart + s.m_windowLength)}},
                            {"yRange", {JsonNumber(s.m_yMin), JsonNumber(s.m_yMax)}},
                            {"samples", s.m_samples.size()},
                            {"sampleInterval", JsonNumber(s.m_sampleInterval)},
                            {"dataStart", JsonNumber(s.m_dataStart)},
                            {"xLabel", s.m_xLabel}});
        }
        j["snapshotList"] = list;
        ctx.m_out << j.dump(1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
        return kExitOk;
    }

    std::ostream& out = ctx.m_out;
    out << files[0] << ": " << data.m_snapshots.size() << " snapshots, " << bundles << " bundles, " << legs << " legs\n";
    out << "ray times: " << (all.Any() ? Num(all.m_min) + " to " + Num(all.m_max) : std::string("none")) << "\n";
    out << "probe: " << Num(data.m_probeFrequency) << " MHz, bandwidth " << Num(data.m_probeBandwidth) << " %\n";
    out << "outline: " << data.m_outline.GetSize() << " arcs; extra outline: " << data.m_extraOutline.GetSize()
        << " arcs; labels: " << data.m_labels.size() << "; display snapshot " << data.m_displaySnapshot << "\n";
    out << "view: X (" << Num(f.GetXAxis().x) << ", " << Num(f.GetXAxis().y) << ", " << Num(f.GetXAxis().z) << ") Y ("
        << Num(f.GetYAxis().x) << ", " << Num(f.GetYAxis().y) << ", " << Num(f.GetYAxis().z) << "), rectangle left "
        << Num(r.left) << " bottom " << Num(r.bottom) << " right " << Num(r.right) << " top " << Num(r.top) << "\n";
    for (size_t i = 0; i < data.m_snapshots.size(); ++i) {
        const auto& s = data.m_snapshots[i];
        const auto& sum = snapshots[i];
        out << "snapshot " << i << ": " << sum.m_bundles << " bundles (" << sum.m_drawn << " drawn), " << sum.m_legs
            << " legs, ray times "
            << (sum.m_times.Any() ? Num(sum.m_times.m_min) + " to " + Num(sum.m_times.m_max) : std::string("none"))
            << "; A-scan window " << Num(s.m_windowStart) << " to " << Num(s.m_windowStart + s.m_windowLength) << ", "
            << s.m_samples.size() << " samples\n";
    }
    return kExitOk;
}

}  // namespace
