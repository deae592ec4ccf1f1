#include "simulation/Generator.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

#include "simulation/AscanSynthesis.h"
#include "simulation/RayTracer.h"
#include "simulation/Scene.h"

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// The fan of rays spans this much either side of the beam axis.
constexpr double kFanHalfAngle = 4.0 * kDegree;
// At most this many probe elements, one bundle each.
constexpr int32_t kMaxElements = 16;
// Scan step limit: positions closer than the beam width make no new picture.
constexpr double kMaxScanStep = 2.0;

constexpr COLORREF kWedgeWaveColour = RGB(230, 120, 0);
constexpr COLORREF kShearColour = RGB(200, 0, 0);
constexpr COLORREF kLongitudinalColour = RGB(0, 0, 210);
constexpr COLORREF kReturningColour = RGB(140, 0, 170);

// Label geometry: character width and height in millimetres.
constexpr double kCharWidth = 1.5;
constexpr double kCharHeight = 2.5;

double Uniform(std::mt19937_64& rng) { return static_cast<double>(rng() >> 11) * 0x1.0p-53; }

COLORREF ModeColour(EWaveMode mode) {
    switch (mode) {
    case EWaveMode::WedgeLongitudinal: return kWedgeWaveColour;
    case EWaveMode::Shear: return kShearColour;
    case EWaveMode::Longitudinal:
    case EWaveMode::HeadWave: return kLongitudinalColour;
    case EWaveMode::Returning: return kReturningColour;
    }
    return 0;
}

CUTRay ToLeg(const CTracedLeg& t, int32_t penWidth) {
    const CPoint3D origin(t.m_start.x, t.m_start.y, 0.0);
    CUTRay leg = t.m_hasEnd ? CUTRay(origin, CPoint3D(t.m_end.x, t.m_end.y, 0.0), t.m_startTime, t.m_endTime)
                            : CUTRay(origin, CVector3D(t.m_direction.x, t.m_direction.y, 0.0), t.m_speed, t.m_startTime);
    leg.m_kind = t.m_mode == EWaveMode::HeadWave ? CUTRay::kNotDrawn : 0;
    leg.m_colour = ModeColour(t.m_mode);
    leg.m_penWidth = penWidth;
    return leg;
}

// A label whose text's top-left corner lies at (left, top) in the plane z = 0, reading along +x
// in the default view. The viewer writes a label from anchor + span1 towards anchor with the
// cell's top at anchor + span1 + span2, hence the spans pointing left and down.
CSimulationData::stLabel MakeLabel(const char* text, double left, double top) {
    const double width = kCharWidth * static_cast<double>(std::char_traits<char>::length(text));
    CSimulationData::stLabel label;
    label.m_text = text;
    label.m_anchor = CPoint3D(left + width, top + kCharHeight, 0.0);
    label.m_span1 = CVector3D(-width, 0.0, 0.0);
    label.m_span2 = CVector3D(0.0, -kCharHeight, 0.0);
    return label;
}

// The rays of one probe position, one bundle per element.
void AddRays(const CInspectionScene& scene, double exitX, const stSimulationOptions& options,
             const std::vector<double>& jitter, CSimulationData::stSnapshot& snapshot) {
    const int32_t rays = options.m_rays;
    const int32_t elements = std::min(rays, kMaxElements);
    snapshot.m_bundles.assign(static_cast<size_t>(elements), CBundle());
    const CPlanePoint c = scene.ProbeCentre(exitX);
    const CPlanePoint axis = scene.BeamAxis();
    const CPlanePoint face = scene.FaceDirection();
    std::vector<CTracedLeg> legs;
    for (int32_t r = 0; r < rays; ++r) {
        // Rays spread evenly across the face, and across the fan in a different order so that
        // neighbours on the face point different ways; the middle ray is the beam axis itself.
        const double u = (r + 0.5) / rays;
        const bool isAxis = r == rays / 2;
        const double along = isAxis ? 0.0 : (u - 0.5) * scene.m_aperture;
        const double fan = isAxis ? 0.0 : (2.0 * jitter[static_cast<size_t>(r)] - 1.0) * kFanHalfAngle;
        const CPlanePoint start{c.x + along * face.x, c.y + along * face.y};
        const double cs = std::cos(fan), sn = std::sin(fan);
        const CPlanePoint dir{axis.x * cs - axis.y * sn, axis.x * sn + axis.y * cs};
        legs.clear();
        TraceRay(scene, exitX, start, dir, legs);
        auto& bundle = snapshot.m_bundles[static_cast<size_t>(std::min<int64_t>(
            static_cast<int64_t>(r) * elements / rays, elements - 1))].m_rays;
        for (const CTracedLeg& leg : legs) bundle.push_back(ToLeg(leg, isAxis ? 2 : 1));
    }
    snapshot.m_nBundles = elements;
}

}  // namespace

bool CheckSimulationOptions(const stSimulationOptions& o, std::string& problem) {
    if (o.m_rays < 1) problem = "--rays must be at least 1";
    else if (o.m_snapshots < 1) problem = "--snapshots must be at least 1";
    else if (o.m_samples < 1) problem = "--samples must be at least 1";
    else if (static_cast<int64_t>(o.m_rays) * o.m_snapshots > kMaxRaysTimesSnapshots)
        problem = "--rays times --snapshots must not exceed " + std::to_string(kMaxRaysTimesSnapshots);
    else if (static_cast<int64_t>(o.m_samples) * o.m_snapshots > kMaxSamplesTimesSnapshots)
        problem = "--samples times --snapshots must not exceed " + std::to_string(kMaxSamplesTimesSnapshots);
    else return true;
    return false;
}

void GenerateSimulation(const stSimulationOptions& options, CSimulationData& data) {
    std::string problem;
    assert(CheckSimulationOptions(options, problem));
    (void)problem;
    const CInspectionScene scene;
    data.Empty();
    data.m_probeFrequency = 5.0;
    data.m_probeBandwidth = 50.0;
    data.m_displaySnapshot = 1;
    data.m_outline = scene.PartOutline();
    data.m_extraOutline = scene.ScanLineOutline();

    // The same fan for every position: only the probe moves.
    std::mt19937_64 rng(options.m_seed);
    std::vector<double> jitter(static_cast<size_t>(options.m_rays));
    for (size_t r = 0; r < jitter.size(); ++r) {
        // A golden-ratio sequence spreads the fan evenly; the seed shifts each ray a little.
        const double base = std::fmod((static_cast<double>(r) + 0.5) * 0.6180339887498949, 1.0);
        jitter[r] = std::clamp(base + (Uniform(rng) - 0.5) / options.m_rays, 0.0, 1.0);
    }

    // The scan starts where the beam axis meets the hole, so the first snapshot (whose rays the
    // viewer shows) has rays reflected at the hole, and moves towards the far corner.
    const int32_t n = options.m_snapshots;
    const double span = scene.m_scanEnd - scene.m_scanStart;
    const double step = n > 1 ? std::min(kMaxScanStep, span / (n - 1)) : 0.0;
    const double interval = kAscanLength / options.m_samples;
    data.m_snapshots.resize(static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) {
        const double exitX = scene.m_scanStart + k * step;
        auto& s = data.m_snapshots[static_cast<size_t>(k)];
        s.m_outlineItems.resize(2);
        s.m_outlineItems[0].m_arcs = scene.WedgeOutline(exitX);
        s.m_outlineItems[1].m_arcs = scene.ProbeOutline(exitX);
        AddRays(scene, exitX, options, jitter, s);
        s.m_windowStart = kAscanStart;
        s.m_windowLength = kAscanLength;
        s.m_yMax = 1.0;
        s.m_yMin = -1.0;
        s.m_sampleInterval = interval;
        s.m_windowSampleInterval = interval;
        s.m_dataStart = kAscanStart;
        s.m_xLabel = kAscanXLabel;
        SynthesiseAscan(FindEchoes(scene, exitX), data.m_probeFrequency, data.m_probeBandwidth, kAscanStart, interval,
                        options.m_samples, options.m_seed * 1000003u + static_cast<uint64_t>(k), s.m_samples);
        CSimulationData::SyncSampleCount(s);
    }

    const CPlanePoint probe = scene.ProbeCentre(scene.m_scanStart);
    data.m_labels.push_back(MakeLabel("Probe", probe.x - 16.0, probe.y + 10.0));
    data.m_labels.push_back(MakeLabel("SDH", scene.m_holeX + 3.0, scene.m_holeY + 1.0));
    data.m_labels.push_back(MakeLabel("Backwall", scene.m_length * 0.4, -scene.m_thickness - 1.5));

    // A front view of the whole part and the wedge at every position, with a margin, shaped like
    // the viewer's initial window (500 x 400) so nothing is wasted.
    double left = -5.0, right = scene.m_length + 5.0;
    double bottom = -scene.m_thickness - 8.0;
    double top = std::max(scene.WedgeTopAt(scene.m_scanEnd, scene.WedgeFront(scene.m_scanEnd)), probe.y + 12.0) + 4.0;
    constexpr double kAspect = 500.0 / 400.0;
    const double height = std::max(top - bottom, (right - left) / kAspect);
    const double width = height * kAspect;
    const double cx = 0.5 * (left + right), cy = 0.5 * (bottom + top);
    left = cx - width / 2, right = cx + width / 2, bottom = cy - height / 2, top = cy + height / 2;
    data.m_viewFrame = CCoordinates3D();
    data.m_viewRect = CfRect(static_cast<float>(left), static_cast<float>(bottom), static_cast<float>(right),
                             static_cast<float>(top));
}
