#pragma once
// Whole .orvex files: the leading 32-bit zero, then the data set as CSimulationData::Serialize
// writes it. The viewer reads the same layout through its own archive; the tools use these.
#include <string>

#include "geometry/CSimulationData.h"

class CFile;

// The format number every .orvex file starts with.
constexpr DWORD kOrvexFormatNumber = 0;

// Reads a whole .orvex stream from the file's position; throws CArchiveException or
// CFileException on a malformed file.
void ReadOrvex(CFile& file, CSimulationData& data);
// Writes a whole .orvex stream; throws CFileException when the file cannot take it.
void WriteOrvex(CFile& file, const CSimulationData& data);

// The same for named files. On failure they return false and leave one line in error
// ("s.orvex: unexpected end of file (leg count 1000 exceeds the bytes left)"); data is replaced
// only by a complete read, and a file is written under a temporary name and then renamed, so a
// failed save leaves no half-written file behind.
bool LoadOrvexFile(const std::string& path, CSimulationData& data, std::string& error);
bool SaveOrvexFile(const std::string& path, const CSimulationData& data, std::string& error);
