// The physics of the generator at known values.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "simulation/AscanSynthesis.h"
#include "simulation/Physics.h"
#include "simulation/Scene.h"

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;

TEST(PhysicsTest, SnellAtKnownAngles) {
    // A 45-degree shear wedge in steel: acrylic longitudinal 2.73, steel shear 3.23 mm/us.
    const double incidence = IncidentAngleFor(45.0 * kDeg, kAcrylic.m_longitudinal, kSteel.m_shear);
    EXPECT_NEAR(incidence / kDeg, 36.71, 0.01);
    double refracted = 0;
    ASSERT_TRUE(RefractedAngle(incidence, kAcrylic.m_longitudinal, kSteel.m_shear, refracted));
    EXPECT_NEAR(refracted / kDeg, 45.0, 1e-9);
    // The longitudinal wave is beyond its critical angle (27.5 degrees) at that incidence.
    EXPECT_FALSE(RefractedAngle(incidence, kAcrylic.m_longitudinal, kSteel.m_longitudinal, refracted));
    ASSERT_TRUE(RefractedAngle(20.0 * kDeg, kAcrylic.m_longitudinal, kSteel.m_longitudinal, refracted));
    EXPECT_NEAR(std::sin(refracted), std::sin(20.0 * kDeg) * 5.92 / 2.73, 1e-12);
    // Normal incidence goes straight through.
    ASSERT_TRUE(RefractedAngle(0.0, 2.73, 5.92, refracted));
    EXPECT_EQ(refracted, 0.0);
}

TEST(PhysicsTest, BackwallEchoTimes) {
    // 30 mm of steel, longitudinal at normal incidence: 60 / 5.92 us.
    EXPECT_NEAR(BackwallEchoTime(30.0, kSteel.m_longitudinal), 10.1351, 1e-4);
    // 25 mm, shear at 45 degrees: 2 x 25 / (3.23 cos 45).
    EXPECT_NEAR(BackwallEchoTime(25.0, kSteel.m_shear, 45.0 * kDeg), 21.8919, 1e-4);
}

TEST(PhysicsTest, PulseShape) {
    // 5 MHz at 50 %: the viewer's pulse duration.
    const double w = PulseDuration(5.0, 50.0);
    EXPECT_NEAR(w, 0.353017, 1e-6);
    EXPECT_EQ(PulseValue(0.0, 5.0, 50.0), 1.0);
    // The envelope is one half at w / 2; sample it where the carrier is at a crest.
    const double crest = std::round(w / 2 * 5.0) / 5.0;  // a whole number of periods
    const double envelopeAtCrest = std::exp(-4.0 * std::numbers::ln2 * crest * crest / (w * w));
    EXPECT_NEAR(PulseValue(crest, 5.0, 50.0), envelopeAtCrest, 1e-12);
    EXPECT_NEAR(std::exp(-4.0 * std::numbers::ln2 * 0.25), 0.5, 1e-12);
    // Negligible four durations out.
    EXPECT_LT(std::fabs(PulseValue(4 * w, 5.0, 50.0)), 1e-18);
}

TEST(PhysicsTest, ShearPathToTheHoleFollowsTheBeamAxis) {
    const CInspectionScene scene;
    // The scan starts where the beam axis meets the hole's centre.
    double phi = 0, time = 0;
    ASSERT_TRUE(SolveShearPath(scene, scene.m_scanStart, {scene.m_holeX, scene.m_holeY}, phi, time));
    EXPECT_NEAR(phi, scene.m_wedgeAngle, 1e-9);
    // Wedge path 15 mm at 2.73 and 15 sqrt 2 mm of steel at 3.23.
    EXPECT_NEAR(time, 15.0 / 2.73 + 15.0 * std::sqrt(2.0) / 3.23, 1e-9);
    // A point above the steel cannot be reached through it.
    EXPECT_FALSE(SolveShearPath(scene, scene.m_scanStart, {50.0, 1.0}, phi, time));
}

}  // namespace
