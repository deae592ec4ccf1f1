#pragma once
// The job of `orvex gates`: readouts of time gates on the A-scans of a simulation file, as a
// table for people or as JSON.
#include <optional>
#include <string>
#include <vector>

#include "host/AscanTraces.h"
#include "host/GateMeasure.h"

struct SGatesOptions {
    std::string inputPath;
    std::vector<SMeasureGate> gates;
    // One snapshot (0 is the first); none: the one the viewer shows after loading.
    std::optional<LONG> snapshot;
    bool allSnapshots = false;
    bool json = false;
};

// One reading of one gate on one snapshot.
struct SGateTableRow {
    LONG snapshot = 0;
    size_t gate = 0;
    SGateReading reading;
};

// Measures every gate on the chosen snapshots, in snapshot order, gates in the order given.
// False with one line in `error` when the file cannot be read or has no such snapshot.
bool MeasureGates(const SGatesOptions& options, std::vector<SGateTableRow>& rows, std::string& error,
                  const AscanProgress& progress = {});

// The rows as text: a table with a header line, or the JSON document docs/measurements.md shows.
std::string FormatGateTable(const SGatesOptions& options, const std::vector<SGateTableRow>& rows);
std::string FormatGateJson(const SGatesOptions& options, const std::vector<SGateTableRow>& rows);

// One line per row for a picture's caption: "Gate 1 [15, 30] >= 0.1: peak 0.5982 at 23.1921,
// flank 22.9626".
std::vector<std::string> FormatGateReadout(const SGatesOptions& options, const std::vector<SGateTableRow>& rows);

// Gate names as tables and pictures show them: "Gate 1", "Gate 2", ... unless given.
std::string GateName(const SMeasureGate& gate, size_t index);
