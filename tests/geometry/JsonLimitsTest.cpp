// The JSON form at its limits: every float and double a data set can hold converts and reads back
// to the same value, and short entries cannot make a data set many times the size of its file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>

#include "geometry/SimulationDataJson.h"

namespace {

std::string ToJson(const CSimulationData& d) {
    std::ostringstream out;
    WriteSimulationDataJson(out, d);
    return out.str();
}

uint32_t Bits(float f) {
    uint32_t u;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

}  // namespace

// The extremes, then random bit patterns: each sample reads back bit for bit (NaN as a NaN).
TEST(JsonLimitsTest, EveryFloatRoundTrips) {
    std::vector<float> values = {
        std::numeric_limits<float>::max(),           // written as 3.4028235e+38, just above it as a double
        -std::numeric_limits<float>::max(),
        std::nextafter(std::numeric_limits<float>::max(), 0.0f),
        std::numeric_limits<float>::min(),           // smallest normal
        std::numeric_limits<float>::denorm_min(),    // smallest subnormal
        -std::numeric_limits<float>::denorm_min(),
        0.0f, -0.0f, 0.1f, 1.0f / 3.0f,
        std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
        std::numeric_limits<float>::quiet_NaN(),
    };
    std::mt19937 random(20261208);
    for (int i = 0; i < 20000; ++i) {
        const uint32_t u = random();
        float f;
        std::memcpy(&f, &u, sizeof f);
        values.push_back(f);
    }
    CSimulationData d;
    d.m_probeFrequency = std::numeric_limits<double>::max();
    d.m_probeBandwidth = std::numeric_limits<double>::denorm_min();
    d.m_viewRect = CfRect(std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                          std::numeric_limits<float>::denorm_min(), -0.0f);
    d.m_snapshots.resize(1);
    d.m_snapshots[0].m_samples = values;
    d.m_snapshots[0].m_nSamples = static_cast<int32_t>(values.size());
    CSimulationData back;
    ASSERT_NO_THROW(ReadSimulationDataJsonText(ToJson(d), back));
    EXPECT_EQ(back.m_probeFrequency, d.m_probeFrequency);
    EXPECT_EQ(back.m_probeBandwidth, d.m_probeBandwidth);
    EXPECT_EQ(Bits(back.m_viewRect.left), Bits(d.m_viewRect.left));
    EXPECT_EQ(Bits(back.m_viewRect.bottom), Bits(d.m_viewRect.bottom));
    EXPECT_EQ(Bits(back.m_viewRect.right), Bits(d.m_viewRect.right));
    EXPECT_EQ(Bits(back.m_viewRect.top), Bits(d.m_viewRect.top));
    const std::vector<float>& got = back.m_snapshots.at(0).m_samples;
    ASSERT_EQ(got.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        if (std::isnan(values[i])) EXPECT_TRUE(std::isnan(got[i])) << i;
        else EXPECT_EQ(Bits(got[i]), Bits(values[i])) << i << ": " << values[i];
    }
}

// A double that rounds to a finite float is that float; from half a unit above the largest, it
// is out of range.
TEST(JsonLimitsTest, DoublesRoundingToAFiniteFloatAreAccepted) {
    struct Row { const char* text; bool ok; float value; } rows[] = {
        {"3.4028235e+38", true, std::numeric_limits<float>::max()},
        {"3.40282356e+38", true, std::numeric_limits<float>::max()},   // still below the midpoint
        {"-3.4028235e+38", true, -std::numeric_limits<float>::max()},
        {"3.4028236e+38", false, 0},                                    // past the midpoint: infinity
        {"1e39", false, 0},
        {"1e308", false, 0},
        {"1e-50", true, 0.0f},                                          // underflows to zero, as a cast does
    };
    for (const Row& r : rows) {
        CSimulationData d;
        const std::string text = std::string(R"({"viewRect": {"left": )") + r.text +
                                 R"(, "bottom": 0, "right": 1, "top": 1}})";
        if (r.ok) {
            ASSERT_NO_THROW(ReadSimulationDataJsonText(text, d)) << r.text;
            EXPECT_EQ(d.m_viewRect.left, r.value) << r.text;
        } else {
            EXPECT_THROW(ReadSimulationDataJsonText(text, d), CJsonDataError) << r.text;
        }
    }
}

// Empty snapshots repeated ("{}" is three bytes with its comma, a snapshot far more): refused
// with a message naming the member, not built at a hundred times the file's size. Entries with
// content of their own cost less per byte and are read.
TEST(JsonLimitsTest, ShortEntriesCannotAmplifyMemory) {
    auto snapshots = [](const std::string& entry, int count) {
        std::string text = R"({"snapshots": [)";
        for (int i = 0; i < count; ++i) text += (i ? "," : "") + entry;
        return text + "]}";
    };
    CSimulationData d;
    try {
        ReadSimulationDataJsonText(snapshots("{}", 400000), d);
        ADD_FAILURE() << "400000 empty snapshots were accepted";
    } catch (const CJsonDataError& e) {
        EXPECT_NE(std::string(e.what()).find("snapshots: 400000 entries take more memory than a file of this size may"),
                  std::string::npos)
            << e.what();
    }
    ASSERT_NO_THROW(ReadSimulationDataJsonText(snapshots("{\"bundles\": [{\"rays\": []}]}", 400000), d));
    EXPECT_EQ(d.m_snapshots.size(), 400000u);
    // A modest number of empty snapshots stays within what any file may take.
    ASSERT_NO_THROW(ReadSimulationDataJsonText(snapshots("{}", 1000), d));
    EXPECT_EQ(d.m_snapshots.size(), 1000u);
}
