// The .orvex reader against arbitrary bytes. Beyond not crashing, hanging or over-allocating
// (the sanitizers and libFuzzer's limits watch those), a file the reader accepts must be one it
// would write itself: rewriting it gives the same bytes, and its JSON form converts back to the
// same data set.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    CSimulationData data;
    if (!ReadOrvexBytes(bytes, size, data)) {
        // A refused file leaves the data set as it was: empty.
        FUZZ_CHECK(data == CSimulationData(), "a refused file changed the data set");
        return 0;
    }
    const std::vector<BYTE> rewritten = OrvexBytes(data);
    FUZZ_CHECK(rewritten.size() == size && std::equal(rewritten.begin(), rewritten.end(), bytes),
               "rewriting an accepted file changed its bytes");

    // The JSON form is a fixed point after one conversion (NaN payloads are the one thing the
    // text form does not keep, so the first conversion may canonicalise them).
    const std::string json = JsonText(data);
    CSimulationData fromJson;
    FUZZ_CHECK(ReadJsonText(json, fromJson), "the JSON form of an accepted file does not read back");
    FUZZ_CHECK(JsonText(fromJson) == json, "the JSON form changed in a second conversion");

    ExerciseLoadedData(data);
    return 0;
}
