// The JSON form: round trips to the same .orvex bytes, defaults of absent members, and errors
// that name the member and index.
#include <gtest/gtest.h>

#include <sstream>

#include "SampleData.h"
#include "geometry/OrvexFile.h"
#include "geometry/SimulationDataJson.h"
#include "platform/afx/CFile.h"

namespace {

std::string ToJson(const CSimulationData& d) {
    std::ostringstream out;
    WriteSimulationDataJson(out, d);
    return out.str();
}

std::vector<BYTE> OrvexBytes(const CSimulationData& d) {
    CMemFile file;
    WriteOrvex(file, d);
    return file.GetData();
}

TEST(JsonTest, RoundTripGivesTheSameOrvexBytes) {
    CSimulationData original = MakeSampleData();
    original.m_snapshots[0].m_dataStart = std::nan("");
    original.m_snapshots[0].m_yMin = -std::numeric_limits<double>::infinity();
    // Strings survive when they are UTF-8 (a NUL and a micro sign here); other bytes are replaced.
    original.m_snapshots[1].m_xLabel = std::string("\0 \xc2\xb5s", 5);
    CSimulationData back;
    ReadSimulationDataJsonText(ToJson(original), back);
    EXPECT_EQ(OrvexBytes(back), OrvexBytes(original));
}

TEST(JsonTest, WritesTheDocumentedShape) {
    const std::string text = ToJson(MakeSampleData());
    // Spot checks of the public contract's names and conventions.
    for (const char* expected : {"\"probeFrequency\": 2.25", "\"displaySnapshot\": 2", "\"nBundles\": 1",
                                 "\"colour\": \"#E67800\"", "\"colour\": 4278190081", "\"kind\": 4",
                                 "\"speed\": 2.73", "\"endTime\": \"Infinity\"", "\"xLabel\": \"Time (us)\"",
                                 "\"zAxis\": [-1.0, 0.0, 0.0]", "\"left\": -5.0", "\"bottom\": -47.17",
                                 "0.1, -0.25, 1e-30, -0.0, 3.4e+38"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected;
    // A bundle count equal to the bundles is left out (absent means all).
    CSimulationData d;
    d.m_snapshots.resize(1);
    EXPECT_EQ(ToJson(d).find("nBundles"), std::string::npos);
}

TEST(JsonTest, AbsentMembersTakeTheirDefaults) {
    CSimulationData d;
    ReadSimulationDataJsonText(R"({"viewFrame": {"xAxis": [0,0,1], "yAxis": [0,1,0]},
        "snapshots": [{"bundles": [{"rays": [{"origin": [0,0,0], "end": [1,0,0], "startTime": 1, "endTime": 2}]}]}]})",
                               d);
    EXPECT_EQ(d.m_probeFrequency, 5.0);
    EXPECT_EQ(d.m_probeBandwidth, 50.0);
    EXPECT_EQ(d.m_displaySnapshot, 1);
    // zAxis = yAxis ^ xAxis.
    EXPECT_EQ(d.m_viewFrame.GetZAxis(), CVector3D(1, 0, 0));
    EXPECT_EQ(d.m_viewRect, CfRect(0, 0, 1, 1));
    const auto& s = d.m_snapshots.at(0);
    EXPECT_EQ(s.m_nBundles, 1);
    EXPECT_EQ(s.m_nSamples, 0);
    EXPECT_EQ(s.m_windowLength, 0.0);
    const CUTRay& leg = s.m_bundles[0].m_rays[0];
    EXPECT_EQ(leg.m_kind, 0);
    EXPECT_EQ(leg.m_colour, 0u);
    EXPECT_EQ(leg.m_penWidth, 1);
    EXPECT_EQ(leg.GetTimeAtEnd(), 2.0);
}

TEST(JsonTest, ErrorsNameTheMemberAndIndex) {
    const std::string leg = R"({"origin": [0,0,0], "end": [1,0,0], "startTime": 1, "endTime": 2})";
    auto rays = [&](const std::string& bad) {
        return R"({"snapshots": [{}, {}, {"bundles": [{"rays": [)" + leg + "," + bad + "]}]}]}";
    };
    struct Case {
        const char* why;
        std::string json;
        const char* message;
    } cases[] = {
        {"a string where a time belongs", rays(R"({"origin": [0,0,0], "end": [1,0,0], "startTime": "x", "endTime": 2})"),
         "snapshots[2].bundles[0].rays[1].startTime: expected a number"},
        {"a point with two coordinates", rays(R"({"origin": [0,0], "end": [1,0,0], "startTime": 1, "endTime": 2})"),
         "snapshots[2].bundles[0].rays[1].origin: expected [x, y, z]"},
        {"an end without its time", rays(R"({"origin": [0,0,0], "end": [1,0,0], "startTime": 1})"),
         "snapshots[2].bundles[0].rays[1].endTime: missing"},
        {"end and direction together",
         rays(R"({"origin": [0,0,0], "end": [1,0,0], "direction": [1,0,0], "startTime": 1, "endTime": 2})"),
         "snapshots[2].bundles[0].rays[1]: a leg has either \"end\" or \"direction\", not both"},
        {"a misspelt member", rays(R"({"origin": [0,0,0], "end": [1,0,0], "startTime": 1, "endtime": 2})"),
         "snapshots[2].bundles[0].rays[1].endtime: unknown member"},
        {"a pen width beyond 32 bits",
         rays(R"({"origin": [0,0,0], "end": [1,0,0], "startTime": 1, "endTime": 2, "penWidth": 3000000000})"),
         "snapshots[2].bundles[0].rays[1].penWidth: out of range for a 32-bit integer"},
        {"a colour that is neither form", rays(R"({"origin": [0,0,0], "end": [1,0,0], "startTime": 1, "endTime": 2, "colour": "red"})"),
         "snapshots[2].bundles[0].rays[1].colour: expected a colour 0..0xFFFFFFFF or \"#RRGGBB\""},
        {"a sample beyond float range", R"({"snapshots": [{"ascan": {"samples": [0, 1e39]}}]})",
         "snapshots[0].ascan.samples[1]: out of range for a 32-bit float"},
        {"an arc with a centre but no normal", R"({"outline": [{"start": [0,0,0], "end": [0,0,0], "centre": [1,0,0]}]})",
         "outline[0].normal: missing (a circular arc needs centre and normal)"},
        {"snapshots that are not an array", R"({"snapshots": {}})", "snapshots: expected an array"},
        {"a label text that is a number", R"({"labels": [{"text": 5, "anchor": [0,0,0], "span1": [1,0,0], "span2": [0,1,0]}]})",
         "labels[0].text: expected a string"},
        {"not an object at all", "[1, 2]", "data set: expected an object"},
    };
    for (const Case& c : cases) {
        CSimulationData d;
        try {
            ReadSimulationDataJsonText(c.json, d);
            ADD_FAILURE() << c.why << ": no error";
        } catch (const CJsonDataError& e) {
            EXPECT_EQ(std::string(e.what()), c.message) << c.why;
        }
    }
    // Text that is not JSON says so, with where it broke.
    CSimulationData d;
    try {
        ReadSimulationDataJsonText("{\"snapshots\": [", d);
        ADD_FAILURE() << "truncated JSON accepted";
    } catch (const CJsonDataError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("not valid JSON", 0), 0u) << e.what();
    }
}

TEST(JsonTest, InvalidUtf8IsReplacedNotEmitted) {
    CSimulationData d;
    CSimulationData::stLabel label;
    label.m_text = "a\xff" "b";
    d.m_labels.push_back(label);
    CSimulationData back;
    ReadSimulationDataJsonText(ToJson(d), back);
    EXPECT_EQ(back.m_labels.at(0).m_text, "a\xef\xbf\xbd" "b");
}

}  // namespace
