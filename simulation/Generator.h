#pragma once
// The simulation generator: realistic data sets for the viewer, deterministic for a seed.
#include <cstdint>
#include <string>

#include "geometry/CSimulationData.h"

struct stSimulationOptions {
    int32_t m_rays = 32;       // rays leaving the probe per snapshot (each has several legs)
    int32_t m_snapshots = 16;  // probe positions along the scan line
    int32_t m_samples = 4096;  // A-scan samples per snapshot
    uint64_t m_seed = 1;
};

// Limits that keep a generated set within memory a workstation has (about 6 GB of legs and 4 GB
// of samples at the most). CheckSimulationOptions names the first option outside them.
constexpr int64_t kMaxRaysTimesSnapshots = 10'000'000;
constexpr int64_t kMaxSamplesTimesSnapshots = 1'000'000'000;
bool CheckSimulationOptions(const stSimulationOptions& options, std::string& problem);

// Fills data with the simulated inspection (see simulation/README.md). Options must pass
// CheckSimulationOptions.
void GenerateSimulation(const stSimulationOptions& options, CSimulationData& data);

// The generator's A-scan conventions, shared with tests and tools.
constexpr double kAscanStart = 5.0;    // us: data start and display window start
constexpr double kAscanLength = 45.0;  // us: display window length, covered by the samples
constexpr const char* kAscanXLabel = "Time (us)";
