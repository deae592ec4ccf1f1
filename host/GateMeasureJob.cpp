#include "host/GateMeasureJob.h"

#include <cstdio>
#include <nlohmann/json.hpp>

std::string GateName(const SMeasureGate& gate, size_t index) {
    return gate.name.empty() ? "Gate " + std::to_string(index + 1) : gate.name;
}

bool MeasureGates(const SGatesOptions& options, std::vector<SGateTableRow>& rows, std::string& error,
                  const AscanProgress& progress) {
    CAscanTraceSource source;
    if (!source.Open(options.inputPath, error)) return false;
    std::vector<LONG> snapshots;
    if (options.allSnapshots) {
        for (LONG k = 0; k < source.GetSnapshotCount(); ++k) snapshots.push_back(k);
    } else {
        snapshots.push_back(options.snapshot ? *options.snapshot : source.GetCurrentSnapshot());
    }
    SAscanTrace trace;
    for (size_t n = 0; n < snapshots.size(); ++n) {
        if (!source.Read(snapshots[n], trace, error)) return false;
        for (size_t g = 0; g < options.gates.size(); ++g)
            rows.push_back({snapshots[n], g, MeasureGate(trace, options.gates[g])});
        if (progress) progress(n + 1, snapshots.size());
    }
    return true;
}

namespace {

std::string Fixed(double v, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

}  // namespace

std::string FormatGateTable(const SGatesOptions& options, const std::vector<SGateTableRow>& rows) {
    char line[256];
    std::string out;
    std::snprintf(line, sizeof line, "%-8s  %-10s  %10s  %10s  %9s  %8s  %10s  %10s\n", "snapshot", "gate", "start",
                  "end", "threshold", "peak", "peak time", "flank time");
    out += line;
    for (const SGateTableRow& row : rows) {
        const SMeasureGate& gate = options.gates[row.gate];
        const SGateReading& r = row.reading;
        std::snprintf(line, sizeof line, "%-8ld  %-10s  %10s  %10s  %9s  %8s  %10s  %10s\n",
                      static_cast<long>(row.snapshot), GateName(gate, row.gate).c_str(), Fixed(gate.start, 4).c_str(),
                      Fixed(gate.end, 4).c_str(), gate.threshold ? Fixed(*gate.threshold, 4).c_str() : "-",
                      r.peak ? Fixed(*r.peak, 4).c_str() : "-", r.peak ? Fixed(r.peakTime, 4).c_str() : "-",
                      r.flankTime ? Fixed(*r.flankTime, 4).c_str() : "-");
        out += line;
    }
    return out;
}

std::string FormatGateJson(const SGatesOptions& options, const std::vector<SGateTableRow>& rows) {
    nlohmann::ordered_json doc;
    doc["file"] = options.inputPath;
    nlohmann::ordered_json gates = nlohmann::ordered_json::array();
    for (size_t g = 0; g < options.gates.size(); ++g) {
        const SMeasureGate& gate = options.gates[g];
        nlohmann::ordered_json entry;
        entry["name"] = GateName(gate, g);
        entry["start"] = gate.start;
        entry["end"] = gate.end;
        entry["threshold"] = gate.threshold ? nlohmann::ordered_json(*gate.threshold) : nlohmann::ordered_json();
        gates.push_back(entry);
    }
    doc["gates"] = gates;
    nlohmann::ordered_json readings = nlohmann::ordered_json::array();
    for (const SGateTableRow& row : rows) {
        const SGateReading& r = row.reading;
        nlohmann::ordered_json entry;
        entry["snapshot"] = row.snapshot;
        entry["gate"] = GateName(options.gates[row.gate], row.gate);
        entry["samples"] = r.sampleCount;
        entry["peak"] = r.peak ? nlohmann::ordered_json(*r.peak) : nlohmann::ordered_json();
        entry["peakSigned"] = r.peak ? nlohmann::ordered_json(r.peakSigned) : nlohmann::ordered_json();
        entry["peakTime"] = r.peak ? nlohmann::ordered_json(r.peakTime) : nlohmann::ordered_json();
        entry["flankTime"] = r.flankTime ? nlohmann::ordered_json(*r.flankTime) : nlohmann::ordered_json();
        readings.push_back(entry);
    }
    doc["readings"] = readings;
    return doc.dump(2) + "\n";
}

std::vector<std::string> FormatGateReadout(const SGatesOptions& options, const std::vector<SGateTableRow>& rows) {
    std::vector<std::string> lines;
    for (const SGateTableRow& row : rows) {
        const SMeasureGate& gate = options.gates[row.gate];
        const SGateReading& r = row.reading;
        std::string line = GateName(gate, row.gate) + " [" + Fixed(gate.start, 2) + ", " + Fixed(gate.end, 2) + "]";
        if (gate.threshold) line += " >= " + Fixed(*gate.threshold, 3);
        line += ": ";
        if (!r.peak) {
            line += "no samples";
        } else {
            line += "peak " + Fixed(*r.peak, 4) + " at " + Fixed(r.peakTime, 4);
            if (gate.threshold) line += ", flank " + (r.flankTime ? Fixed(*r.flankTime, 4) : std::string("not reached"));
        }
        lines.push_back(line);
    }
    return lines;
}
