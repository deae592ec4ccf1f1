// The generated data set: deterministic, sized by its options, shaped for the viewer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "geometry/OrvexFile.h"
#include "platform/afx/CFile.h"
#include "simulation/AscanSynthesis.h"
#include "simulation/Generator.h"
#include "simulation/RayTracer.h"
#include "simulation/Scene.h"

namespace {

std::vector<BYTE> Bytes(const CSimulationData& d) {
    CMemFile file;
    WriteOrvex(file, d);
    return file.GetData();
}

CSimulationData Generate(int32_t rays, int32_t snapshots, int32_t samples, uint64_t seed) {
    stSimulationOptions o;
    o.m_rays = rays;
    o.m_snapshots = snapshots;
    o.m_samples = samples;
    o.m_seed = seed;
    CSimulationData d;
    GenerateSimulation(o, d);
    return d;
}

TEST(GeneratorTest, DeterministicForASeed) {
    EXPECT_EQ(Bytes(Generate(32, 4, 512, 7)), Bytes(Generate(32, 4, 512, 7)));
    EXPECT_NE(Bytes(Generate(32, 4, 512, 7)), Bytes(Generate(32, 4, 512, 8)));
}

TEST(GeneratorTest, SizesFollowTheOptions) {
    const CSimulationData d = Generate(40, 5, 1000, 1);
    ASSERT_EQ(d.m_snapshots.size(), 5u);
    for (const auto& s : d.m_snapshots) {
        EXPECT_EQ(s.m_samples.size(), 1000u);
        EXPECT_EQ(s.m_nSamples, 1000);
        EXPECT_EQ(s.m_nBundles, static_cast<int32_t>(s.m_bundles.size()));
        size_t wedgeLegs = 0;  // each ray starts with exactly one leg at time 0
        for (const auto& b : s.m_bundles)
            for (const auto& r : b.m_rays) wedgeLegs += r.m_startTime == 0.0 ? 1 : 0;
        EXPECT_EQ(wedgeLegs, 40u);
        EXPECT_EQ(s.m_outlineItems.size(), 2u);
        EXPECT_EQ(s.m_xLabel, "Time (us)");
        // The samples cover the display window exactly.
        EXPECT_NEAR(s.m_dataStart + s.m_nSamples * s.m_sampleInterval, s.m_windowStart + s.m_windowLength, 1e-9);
    }
    std::string problem;
    stSimulationOptions tooMany;
    tooMany.m_rays = 10'000'000;
    tooMany.m_snapshots = 2;
    EXPECT_FALSE(CheckSimulationOptions(tooMany, problem));
    EXPECT_NE(problem.find("--rays"), std::string::npos);
}

TEST(GeneratorTest, TheFirstSnapshotShowsWhatMatters) {
    const CSimulationData d = Generate(32, 16, 4096, 1);
    const CInspectionScene scene;
    const auto& first = d.m_snapshots[0];
    bool hitsHole = false, notDrawn = false, returns = false;
    double maxTime = 0;
    for (const auto& b : first.m_bundles) {
        for (const auto& r : b.m_rays) {
            // Every leg ends where its wave does, the ones back in the wedge included.
            ASSERT_TRUE(r.HasEnd());
            const CPoint3D e = r.GetEnd();
            hitsHole |= std::fabs(std::hypot(e.x - scene.m_holeX, e.y - scene.m_holeY) - scene.m_holeRadius) < 1e-6;
            maxTime = std::max(maxTime, r.GetTimeAtEnd());
            returns |= r.m_colour == RGB(140, 0, 170);  // the colour of waves back in the wedge
            notDrawn |= r.m_kind == CUTRay::kNotDrawn;
        }
    }
    EXPECT_TRUE(hitsHole) << "rays of the first snapshot reach the hole";
    EXPECT_TRUE(notDrawn) << "the longitudinal wave beyond its critical angle is a leg of kind 4";
    EXPECT_TRUE(returns) << "echoes return into the wedge";
    // Times in microseconds around the viewer's default cut at 10 and its 0.5 step.
    EXPECT_GT(maxTime, 20.0);
    EXPECT_LT(maxTime, 100.0);
    // Samples and limits within the A-scan control's -1..1 band, with the hole echo near its time.
    for (const auto& s : d.m_snapshots) {
        EXPECT_EQ(s.m_yMax, 1.0);
        EXPECT_EQ(s.m_yMin, -1.0);
        for (float v : s.m_samples) ASSERT_LE(std::fabs(v), 1.0f);
    }
    const auto peak = std::max_element(first.m_samples.begin(), first.m_samples.end(),
                                       [](float a, float b) { return std::fabs(a) < std::fabs(b); });
    const double peakTime = first.m_dataStart + (peak - first.m_samples.begin()) * first.m_sampleInterval;
    const std::vector<CEcho> echoes = FindEchoes(scene, scene.m_scanStart);
    ASSERT_FALSE(echoes.empty());
    EXPECT_NEAR(peakTime, echoes[0].m_time, 0.2);
    EXPECT_GT(std::fabs(*peak), 0.5f);
}

TEST(GeneratorTest, TheViewShowsTheWholePartAndEveryProbePosition) {
    const CSimulationData d = Generate(8, 16, 64, 1);
    CfRect extent;
    auto measure = [&](const CArrayOfArcs& arcs) {
        CfRect e;
        arcs.DrawYFlipped(nullptr, nullptr, d.m_viewRect, e, d.m_viewFrame);
        extent.BiggestPart(e);
    };
    measure(d.m_outline);
    for (const auto& s : d.m_snapshots)
        for (const auto& item : s.m_outlineItems) measure(item.m_arcs);
    EXPECT_LE(d.m_viewRect.left, extent.left);
    EXPECT_GE(d.m_viewRect.right, extent.right);
    EXPECT_LE(d.m_viewRect.bottom, extent.bottom);
    EXPECT_GE(d.m_viewRect.top, extent.top);
    // Shaped like the viewer's 500 x 400 window.
    EXPECT_NEAR(d.m_viewRect.Width() / d.m_viewRect.Height(), 1.25, 1e-4);
}

}  // namespace

namespace {

// Waves that pass back into the wedge arrive at its inclined top (the probe face's plane) or at
// one of its end faces: they end there, with the arrival time, and never leave the wedge.
TEST(GeneratorTest, ReturningWavesEndInsideTheWedge) {
    const CInspectionScene scene;
    int returning = 0;
    for (double exitX : {scene.m_scanStart, 0.5 * (scene.m_scanStart + scene.m_scanEnd), scene.m_scanEnd}) {
        const CPlanePoint c = scene.ProbeCentre(exitX), e = scene.FaceDirection(), d = scene.BeamAxis();
        for (int i = -20; i <= 20; ++i) {
            // Rays across the aperture, fanned about the beam axis.
            const double off = 0.5 * scene.m_aperture * i / 20.0, turn = 0.02 * i;
            const CPlanePoint start{c.x + off * e.x, c.y + off * e.y};
            const CPlanePoint dir{d.x * std::cos(turn) - d.y * std::sin(turn), d.x * std::sin(turn) + d.y * std::cos(turn)};
            std::vector<CTracedLeg> legs;
            TraceRay(scene, exitX, start, dir, legs);
            for (const CTracedLeg& leg : legs) {
                EXPECT_TRUE(leg.m_hasEnd);
                if (leg.m_mode != EWaveMode::Returning) continue;
                ++returning;
                const double length = std::hypot(leg.m_end.x - leg.m_start.x, leg.m_end.y - leg.m_start.y);
                EXPECT_NEAR(leg.m_endTime, leg.m_startTime + length / scene.m_wedge.m_longitudinal, 1e-9);
                // Inside the wedge's footprint, above the block, not above the inclined top.
                EXPECT_GE(leg.m_end.x, scene.WedgeBack(exitX) - 1e-9);
                EXPECT_LE(leg.m_end.x, scene.WedgeFront(exitX) + 1e-9);
                EXPECT_GT(leg.m_end.y, 0.0);
                EXPECT_LE(leg.m_end.y, scene.WedgeTopAt(exitX, leg.m_end.x) + 1e-9);
                // On the top, or on an end face.
                const bool onTop = std::fabs(leg.m_end.y - scene.WedgeTopAt(exitX, leg.m_end.x)) < 1e-9;
                const bool onEnd = std::fabs(leg.m_end.x - scene.WedgeBack(exitX)) < 1e-9 ||
                                   std::fabs(leg.m_end.x - scene.WedgeFront(exitX)) < 1e-9;
                EXPECT_TRUE(onTop || onEnd) << leg.m_end.x << ", " << leg.m_end.y;
            }
        }
    }
    EXPECT_GT(returning, 0);
}

}  // namespace
