#include "host/JobDataFile.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

#include "geometry/OrvexFile.h"
#include "geometry/SimulationDataJson.h"
#include "host/DocumentFile.h"

namespace {

bool IsJson(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".json";
}

// A new empty file of our own in the temporary folder, named NAME-XXXXXX.orvex.
std::string MakeTemporaryOrvex(std::string& error) {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) folder = "/tmp";
    std::string pattern = (folder / "orvex-job-XXXXXX.orvex").string();
    const int fd = ::mkstemps(pattern.data(), 6);
    if (fd < 0) {
        error = "cannot make a temporary file in " + folder.string();
        return std::string();
    }
    ::close(fd);
    return pattern;
}

}  // namespace

bool IsDocumentFile(const std::string& path, std::string& message) {
    SDocumentModel model;
    std::string error;
    std::vector<std::string> warnings;
    if (!LoadDocumentFile(path, model, error, warnings)) return false;
    message = path + ": this is a document (a page of controls), not a simulation file; open it with "
                     "'orvex run' or 'orvex print', or give the file its viewer's FileName names";
    return true;
}

CJobDataFile::~CJobDataFile() {
    if (!m_temporary.empty()) std::remove(m_temporary.c_str());
}

bool CJobDataFile::Prepare(const std::string& path, std::string& error) {
    m_path = path;
    m_viewerPath = path;
    CSimulationData data;
    if (!IsJson(path)) {
        return LoadOrvexFileAndKeep(path, error, [this](const CSimulationData& loaded, std::string&) {
            m_snapshots = loaded.m_snapshots.size();
            return true;
        });
    }
    if (!LoadJsonFile(path, data, error)) {
        IsDocumentFile(path, error);
        return false;
    }
    m_snapshots = data.m_snapshots.size();
    m_temporary = MakeTemporaryOrvex(error);
    if (m_temporary.empty()) return false;
    std::string why;
    if (!SaveOrvexFile(m_temporary, data, why)) {
        error = path + ": cannot hand the data to the viewer (" + why + ")";
        return false;
    }
    m_viewerPath = m_temporary;
    return true;
}
