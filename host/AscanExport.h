#pragma once
// The A-scans of a simulation file as CSV: a time column and one amplitude column per snapshot,
// the times as the A-scan plot places them and the amplitudes exactly as GetAscan hands them out.
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "host/AscanTraces.h"

// The CSV text of traces. When every trace has the same resolution (as the plot's float) they
// share the first column; otherwise each has its own time column before its amplitudes. Shorter
// traces leave their cells empty. Numbers are written with 9 significant digits, which read back
// to the same floats.
std::string FormatAscanCsv(const std::vector<SAscanTrace>& traces);
// The same, written to a stream as it goes (an export of every snapshot of a large file is
// several times the file's size as text).
void WriteAscanCsv(std::ostream& out, const std::vector<SAscanTrace>& traces);

struct SAscanCsvOptions {
    std::string inputPath;
    std::string outputPath;
    // One snapshot (0 is the first); none: the one the viewer shows after loading.
    std::optional<LONG> snapshot;
    bool allSnapshots = false;
};

// Reads the chosen snapshots and writes the CSV under a temporary name, then renames it. False
// with one line in `error`; nothing is left behind then.
bool WriteAscanCsv(const SAscanCsvOptions& options, std::string& error, const AscanProgress& progress = {});
