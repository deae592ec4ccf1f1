#pragma once
// The JSON form of a data set (`orvex convert`), naming every member; DESIGN.md "Simulation data"
// is its contract and docs/orvex-file-format.md describes it. Conversion checks structure and
// types, not physics, and keeps every value as it is: .orvex -> JSON -> .orvex is byte-exact.
#include <iosfwd>
#include <stdexcept>
#include <string>

#include "geometry/CSimulationData.h"

// A JSON data set that does not have the expected shape. The message names the member and index
// that is wrong: "snapshots[2].bundles[0].rays[17].startTime: expected a number".
class CJsonDataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the JSON form, one outline element or leg per line.
void WriteSimulationDataJson(std::ostream& out, const CSimulationData& data);
// Parses the JSON form; throws CJsonDataError (parse errors included). data is replaced only by
// a complete read.
void ReadSimulationDataJson(std::istream& in, CSimulationData& data);
void ReadSimulationDataJsonText(const std::string& text, CSimulationData& data);

// Named files; false with one line in error on failure (the file name first).
bool LoadJsonFile(const std::string& path, CSimulationData& data, std::string& error);
bool SaveJsonFile(const std::string& path, const CSimulationData& data, std::string& error);
