#pragma once
// Reading and writing data sets by file extension: ".json" is the JSON form, anything else .orvex.
#include <string>

#include "geometry/CSimulationData.h"

bool IsJsonPath(const std::string& path);
bool LoadDataFile(const std::string& path, CSimulationData& data, std::string& error);
bool SaveDataFile(const std::string& path, const CSimulationData& data, std::string& error);
