#include "host/AscanExport.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/base/SafeFile.h"

namespace {

std::string Number(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9g", v);
    return text;
}

// A CSV field: quoted when it holds a separator, a quote or a line break.
std::string Field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string TimeTitle(const SAscanTrace& trace) { return trace.xLabel.empty() ? std::string("Time") : trace.xLabel; }

}  // namespace

void WriteAscanCsv(std::ostream& out, const std::vector<SAscanTrace>& traces) {
    if (traces.empty()) return;
    const bool shared = std::all_of(traces.begin(), traces.end(), [&](const SAscanTrace& t) {
        return static_cast<float>(t.resolution) == static_cast<float>(traces.front().resolution);
    });
    size_t rows = 0;
    for (const SAscanTrace& t : traces) rows = std::max(rows, t.samples.size());

    std::string line;
    for (size_t n = 0; n < traces.size(); ++n) {
        const SAscanTrace& t = traces[n];
        if (n == 0 && shared) line += Field(TimeTitle(t));
        if (!shared) line += (n == 0 ? "" : ",") + Field(TimeTitle(t) + " " + std::to_string(t.snapshot));
        line += ",snapshot " + std::to_string(t.snapshot);
    }
    out << line << "\n";
    for (size_t i = 0; i < rows; ++i) {
        line.clear();
        for (size_t n = 0; n < traces.size(); ++n) {
            const SAscanTrace& t = traces[n];
            const bool has = i < t.samples.size();
            if (n == 0 && shared) line += Number(t.TimeOf(i));  // the times do not depend on the samples
            if (!shared) line += (n == 0 ? "" : ",") + (has ? Number(t.TimeOf(i)) : std::string());
            line += ",";
            if (has) line += Number(t.samples[i]);
        }
        out << line << "\n";
    }
}

std::string FormatAscanCsv(const std::vector<SAscanTrace>& traces) {
    std::ostringstream out;
    WriteAscanCsv(out, traces);
    return out.str();
}

bool WriteAscanCsv(const SAscanCsvOptions& options, std::string& error, const AscanProgress& progress) {
    CAscanTraceSource source;
    if (!source.Open(options.inputPath, error)) return false;
    std::vector<LONG> snapshots;
    if (options.allSnapshots) {
        for (LONG k = 0; k < source.GetSnapshotCount(); ++k) snapshots.push_back(k);
        if (snapshots.empty()) {
            error = options.inputPath + ": the file has no snapshots";
            return false;
        }
    } else {
        snapshots.push_back(options.snapshot ? *options.snapshot : source.GetCurrentSnapshot());
    }
    std::vector<SAscanTrace> traces(snapshots.size());
    for (size_t n = 0; n < snapshots.size(); ++n) {
        if (!source.Read(snapshots[n], traces[n], error)) return false;
        if (progress) progress(n + 1, snapshots.size());
    }
    // Written as any output is: a temporary file renamed over a regular file, a FIFO or a device
    // written as such.
    std::string why;
    const bool written = WriteOutputFile(
        options.outputPath,
        [&traces](const std::string& target, std::string&) {
            std::ofstream out(target, std::ios::binary | std::ios::trunc);
            WriteAscanCsv(out, traces);
            out.close();
            return static_cast<bool>(out);
        },
        why);
    if (!written) {
        error = options.outputPath + ": cannot write the file" + (why.empty() ? std::string() : " (" + why + ")");
        return false;
    }
    return true;
}
