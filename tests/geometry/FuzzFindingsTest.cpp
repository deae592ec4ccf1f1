// Inputs the fuzz harnesses (fuzz/) found mishandled, each kept as a case of the contract it
// broke: the readers refuse bad input with their own error type and one clear line.
#include <gtest/gtest.h>

#include <string>

#include "geometry/SimulationDataJson.h"

namespace {

TEST(FuzzFindingsTest, JsonThatIsNotValidIsAJsonDataError) {
    struct Case {
        const char* why;
        std::string json;
    } cases[] = {
        // The parser reports a number beyond the double range as out_of_range, not as a parse
        // error; it escaped the reader as a foreign exception.
        {"an exponent beyond the double range", R"({"probeFrequency": 1e3080})"},
        {"the same deep inside a leg",
         R"({"snapshots": [{"bundles": [{"rays": [{"origin": [0,0,-1e400], "end": [1,0,0], "startTime": 0, "endTime": 1}]}]}]})"},
        // Truncation, for comparison: always a parse error.
        {"a truncated document", R"({"snapshots": [)"},
    };
    for (const Case& c : cases) {
        CSimulationData d;
        try {
            ReadSimulationDataJsonText(c.json, d);
            ADD_FAILURE() << c.why << ": accepted";
        } catch (const CJsonDataError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("not valid JSON: ", 0), 0u) << c.why << ": " << e.what();
        } catch (const std::exception& e) {
            ADD_FAILURE() << c.why << ": escaped as " << e.what();
        }
        EXPECT_EQ(d, CSimulationData()) << c.why << ": a refused document changed the data set";
    }
}

}  // namespace
