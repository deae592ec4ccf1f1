#pragma once
// Helpers the harnesses share: the .orvex and JSON forms of a data set in memory, and a check that
// reports a broken property of the readers as a finding (libFuzzer saves the input on abort).
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
#include "geometry/SimulationDataJson.h"
#include "platform/afx/CFile.h"

// A property the readers promise did not hold for this input.
#define FUZZ_CHECK(cond, what)                                                        \
    do {                                                                              \
        if (!(cond)) {                                                                \
            std::fprintf(stderr, "fuzz finding: %s (%s:%d)\n", what, __FILE__, __LINE__); \
            std::abort();                                                             \
        }                                                                             \
    } while (0)

inline std::vector<BYTE> OrvexBytes(const CSimulationData& data) {
    CMemFile file;
    WriteOrvex(file, data);
    return file.GetData();
}

inline std::string JsonText(const CSimulationData& data) {
    std::ostringstream out;
    WriteSimulationDataJson(out, data);
    return out.str();
}

// Reads the .orvex form; false when the reader refused the bytes (any exception is a refusal:
// the viewer catches them all while loading).
inline bool ReadOrvexBytes(const BYTE* bytes, size_t size, CSimulationData& data) {
    CMemFile file(bytes, size);
    try {
        ReadOrvex(file, data);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

inline bool ReadJsonText(const std::string& text, CSimulationData& data) {
    try {
        ReadSimulationDataJsonText(text, data);
        return true;
    } catch (const CJsonDataError&) {
        return false;
    }
}

// What the viewer computes from a data set it loaded: the time range of the rays, the outlines'
// bounds, and their extent in the stored view (measured, not drawn).
void ExerciseLoadedData(const CSimulationData& data);
