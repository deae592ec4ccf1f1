#pragma once
// The simulation file a command-line job draws. The viewer reads bad files without a word and
// opens only the .orvex form, so the job reads the file first (a failed job names the problem)
// and hands a file in the JSON form to the viewer as a temporary .orvex file of the same data,
// removed when the job ends. A .orvex file read here is kept for the viewer's load of the same
// file, which takes it over instead of reading the file again (one load per job).
#include <string>

#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"

// Whether a file that did not read as data is a document (page, controls, macros) instead; the
// message then says what to do with it.
bool IsDocumentFile(const std::string& path, std::string& message);

class CJobDataFile {
public:
    CJobDataFile() = default;
    ~CJobDataFile();
    CJobDataFile(const CJobDataFile&) = delete;
    CJobDataFile& operator=(const CJobDataFile&) = delete;

    // Reads `path` (".json": the JSON form, anything else .orvex). False with one line in `error`.
    bool Prepare(const std::string& path, std::string& error);
    // The name to set as the viewer's FileName: the path given, or the temporary .orvex file.
    const std::string& GetViewerPath() const { return m_viewerPath; }
    // The name the user gave, for captions and messages.
    const std::string& GetPath() const { return m_path; }
    // How many snapshots the data has.
    size_t GetSnapshotCount() const { return m_snapshots; }
    // Whether the data is in the JSON form (and went through a temporary file).
    bool IsConverted() const { return !m_temporary.empty(); }

private:
    std::string m_path;
    std::string m_viewerPath;
    std::string m_temporary;
    size_t m_snapshots = 0;
    CKeptDataSetRelease m_release;  // what the viewer did not take over is let go with the job
};
