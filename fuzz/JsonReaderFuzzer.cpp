// The JSON data reader against arbitrary text. A data set it accepts must survive both forms:
// its .orvex bytes read back and rewrite identically, and its JSON form reads back to the same
// .orvex bytes.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    CSimulationData data;
    if (!ReadJsonText(text, data)) {
        FUZZ_CHECK(data == CSimulationData(), "a refused document changed the data set");
        return 0;
    }
    std::vector<BYTE> orvex;
    try {
        orvex = OrvexBytes(data);
    } catch (const std::exception&) {
        // Counts beyond 32 bits cannot be stored; a short text cannot promise them.
        FUZZ_CHECK(false, "an accepted JSON data set cannot be stored as .orvex");
    }
    CSimulationData back;
    FUZZ_CHECK(ReadOrvexBytes(orvex.data(), orvex.size(), back), "the .orvex form of a JSON data set does not read");
    FUZZ_CHECK(OrvexBytes(back) == orvex, "the .orvex form changed when read and rewritten");

    CSimulationData again;
    FUZZ_CHECK(ReadJsonText(JsonText(data), again), "the JSON a data set writes does not read back");
    FUZZ_CHECK(OrvexBytes(again) == orvex, "a JSON round trip changed the data set");

    ExerciseLoadedData(data);
    return 0;
}
