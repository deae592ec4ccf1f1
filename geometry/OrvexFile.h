#pragma once
// Whole .orvex files: the leading 32-bit zero, then the data set as CSimulationData::Serialize
// writes it. The viewer reads the same layout through its own archive; the tools use these.
#include <functional>
#include <string>

#include "geometry/CSimulationData.h"

class CArchive;
class CFile;

// The format number every .orvex file starts with.
constexpr DWORD kOrvexFormatNumber = 0;

// Reads a whole .orvex stream from the file's position; throws CArchiveException or
// CFileException on a malformed file.
void ReadOrvex(CFile& file, CSimulationData& data);
class CLegVisitor;
// The same, handing the legs to legs instead of keeping them (below).
void ReadOrvex(CFile& file, CSimulationData& data, CLegVisitor* legs);
// Writes a whole .orvex stream; throws CFileException when the file cannot take it.
void WriteOrvex(CFile& file, const CSimulationData& data);

// A reader that looks at each leg once (a summary) need not hold millions of them: the legs of
// each bundle are handed over in pieces, in file order, and then dropped.
class CLegVisitor {
public:
    virtual ~CLegVisitor() = default;
    // count legs of the snapshot (0-based) being read.
    virtual void OnLegs(size_t snapshot, const CUTRay* legs, size_t count) = 0;
};

// The same for named files. On failure they return false and leave one line in error
// ("s.orvex: unexpected end of file (leg count 1000 exceeds the bytes left)"); data is replaced
// only by a complete read, and a file is written under a temporary name and then renamed, so a
// failed save leaves no half-written file behind.
bool LoadOrvexFile(const std::string& path, CSimulationData& data, std::string& error);
bool SaveOrvexFile(const std::string& path, const CSimulationData& data, std::string& error);
// LoadOrvexFile that hands the legs to visitor instead of keeping them; the file is checked all
// the same, and data's bundles are there, without legs.
bool LoadOrvexFileVisitingLegs(const std::string& path, CSimulationData& data, CLegVisitor& visitor,
                               std::string& error);

// A job reads its file once. LoadOrvexFileAndKeep reads a file as LoadOrvexFile does, lets check
// see the data set (a job's own tests; false with error refuses it), and keeps it for the next
// CSimulationData::Load from the start of the same, unchanged file (device, inode, size and
// modification time): the viewer's load when the job sets its FileName, which then takes the kept
// data set over instead of reading the file again. One data set is kept at a time, until it is
// taken, another one is kept, or ReleaseKeptDataSet() is called (CKeptDataSetRelease at the end
// of a job). A load of any other file reads as usual.
bool LoadOrvexFileAndKeep(const std::string& path, std::string& error,
                          const std::function<bool(const CSimulationData&, std::string&)>& check = {});
void ReleaseKeptDataSet();
struct CKeptDataSetRelease {
    CKeptDataSetRelease() = default;
    CKeptDataSetRelease(const CKeptDataSetRelease&) = delete;
    CKeptDataSetRelease& operator=(const CKeptDataSetRelease&) = delete;
    ~CKeptDataSetRelease() { ReleaseKeptDataSet(); }
};
// For CSimulationData::Load: moves the kept data set into data when ar is at the start of the
// kept file's data set, and moves ar to the end of the file; true when it did.
bool TakeKeptDataSet(CArchive& ar, CSimulationData& data);
