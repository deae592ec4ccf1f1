#include "simulation/AscanSynthesis.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "platform/base/Saturate.h"

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
// Beam spread in the wedge: the echo falls to 1/e of its peak this far off the beam axis (two-way).
constexpr double kBeamSpread = 3.0 * kDegree;
// Full-screen height reached by the hole echo on the beam axis.
constexpr double kGain = 0.8;
// Reflectivities relative to the hole seen directly.
constexpr double kHoleReflectivity = 1.0;
constexpr double kSkipReflectivity = 0.5;  // losses on the way via the backwall
constexpr double kCornerReflectivity = 1.2;
constexpr double kNoiseAmplitude = 0.015;

double Directivity(const CInspectionScene& s, double wedgeAngle) {
    const double off = (wedgeAngle - s.m_wedgeAngle) / kBeamSpread;
    return std::exp(-off * off);
}

// Uniform in [0, 1) from 53 random bits; the standard distributions differ between libraries,
// and a seed must give the same file everywhere.
double Uniform(std::mt19937_64& rng) { return static_cast<double>(rng() >> 11) * 0x1.0p-53; }

}  // namespace

bool SolveShearPath(const CInspectionScene& s, double exitX, CPlanePoint target, double& wedgeAngle,
                    double& oneWayTime) {
    const CPlanePoint c = s.ProbeCentre(exitX);
    const double vw = s.m_wedge.m_longitudinal;
    const double vs = s.m_part.m_shear;
    const double depth = -target.y;
    if (!(depth > 0.0)) return false;
    auto exitAt = [&](double phi) { return c.x + c.y * std::tan(phi); };
    // Horizontal miss of the refracted ray at the target's depth; it grows with the angle.
    auto miss = [&](double phi) {
        const double theta = std::asin(std::sin(phi) * vs / vw);
        return exitAt(phi) + depth * std::tan(theta) - target.x;
    };
    const double critical = std::asin(vw / vs);
    double lo = -critical + 1e-9, hi = critical - 1e-9;
    if (miss(lo) > 0.0 || miss(hi) < 0.0) return false;
    for (int i = 0; i < 100; ++i) {
        const double mid = 0.5 * (lo + hi);
        (miss(mid) < 0.0 ? lo : hi) = mid;
    }
    const double phi = 0.5 * (lo + hi);
    const double exit = exitAt(phi);
    if (exit < s.WedgeBack(exitX) || exit > s.WedgeFront(exitX)) return false;
    const double theta = std::asin(std::sin(phi) * vs / vw);
    wedgeAngle = phi;
    oneWayTime = c.y / (vw * std::cos(phi)) + depth / (vs * std::cos(theta));
    return true;
}

std::vector<CEcho> FindEchoes(const CInspectionScene& s, double exitX) {
    std::vector<CEcho> echoes;
    auto add = [&](CPlanePoint target, double shortenBy, double reflectivity) {
        double phi = 0.0, time = 0.0;
        if (!SolveShearPath(s, exitX, target, phi, time)) return;
        const CPlanePoint c = s.ProbeCentre(exitX);
        const double path = std::hypot(target.x - c.x, target.y - c.y);
        const double spreading = std::sqrt(20.0 / std::max(path, 1.0));
        const double d = Directivity(s, phi);
        CEcho e;
        e.m_time = 2.0 * (time - shortenBy / s.m_part.m_shear);
        e.m_amplitude = kGain * reflectivity * d * d * spreading;
        echoes.push_back(e);
    };
    // The hole reflects from its near surface, one radius short of its centre.
    add({s.m_holeX, s.m_holeY}, s.m_holeRadius, kHoleReflectivity);
    // Via the backwall: the hole's mirror image below the backwall lies on the unfolded path.
    add({s.m_holeX, -2.0 * s.m_thickness - s.m_holeY}, s.m_holeRadius, kSkipReflectivity);
    add({s.m_length, -s.m_thickness}, 0.0, kCornerReflectivity);
    return echoes;
}

void SynthesiseAscan(const std::vector<CEcho>& echoes, double frequency, double bandwidthPercent, double dataStart,
                     double interval, int32_t count, uint64_t noiseSeed, std::vector<float>& samples) {
    samples.assign(static_cast<size_t>(std::max(count, 0)), 0.0f);
    if (samples.empty() || !(interval > 0.0)) return;
    std::mt19937_64 rng(noiseSeed);
    std::vector<double> trace(samples.size());
    for (double& v : trace) v = kNoiseAmplitude * (Uniform(rng) + Uniform(rng) - 1.0);
    // A pulse is negligible beyond four of its half-amplitude durations from its centre.
    const double reach = 4.0 * PulseDuration(frequency, bandwidthPercent);
    for (const CEcho& e : echoes) {
        const double first = std::ceil((e.m_time - reach - dataStart) / interval);
        const double last = std::floor((e.m_time + reach - dataStart) / interval);
        const int64_t begin = std::max<int64_t>(TruncateToInt64(first), 0);
        const int64_t end = std::min<int64_t>(TruncateToInt64(last), static_cast<int64_t>(samples.size()) - 1);
        for (int64_t k = begin; k <= end; ++k) {
            const double t = dataStart + static_cast<double>(k) * interval;
            trace[static_cast<size_t>(k)] += e.m_amplitude * PulseValue(t - e.m_time, frequency, bandwidthPercent);
        }
    }
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<float>(std::clamp(trace[i], -1.0, 1.0));
}
