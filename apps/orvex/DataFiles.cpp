#include "apps/orvex/DataFiles.h"

#include "apps/orvex/Command.h"
#include "geometry/OrvexFile.h"
#include "geometry/SimulationDataJson.h"

bool IsJsonPath(const std::string& path) { return FileExtension(path) == "json"; }

bool LoadDataFile(const std::string& path, CSimulationData& data, std::string& error) {
    return IsJsonPath(path) ? LoadJsonFile(path, data, error) : LoadOrvexFile(path, data, error);
}

bool SaveDataFile(const std::string& path, const CSimulationData& data, std::string& error) {
    return IsJsonPath(path) ? SaveJsonFile(path, data, error) : SaveOrvexFile(path, data, error);
}
