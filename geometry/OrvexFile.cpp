#include "geometry/OrvexFile.h"

#include <cstdio>
#include <mutex>
#include <new>
#include <optional>

#include "platform/afx/CArchive.h"
#include "platform/afx/CFile.h"
#include "platform/base/SafeFile.h"

namespace {

// Reading through a 4 KB buffer makes a read call per 50 leg records, a quarter of the load time of
// a 10 MB file; a buffer up to 1 MB (never larger than the file) brings loading close to reading
// the bytes.
int ReadBufferSize(const CFile& file) {
    constexpr ULONGLONG kMin = 4096, kMax = 1u << 20;
    const ULONGLONG length = file.GetLength();
    return static_cast<int>(length < kMin ? kMin : length > kMax ? kMax : length);
}

// The data set a job read, waiting for the viewer's load of the same file.
struct stKept {
    CFileIdentity identity;
    ULONGLONG offset = 0;  // where the data set starts in the file
    CSimulationData data;
};
std::mutex g_keptMutex;
std::optional<stKept> g_kept;

// A file error's message without the file name in front, for messages that name the file once.
std::string CauseOnly(const std::string& message, const std::string& path) {
    const std::string prefix = path + ": ";
    return message.compare(0, prefix.size(), prefix) == 0 ? message.substr(prefix.size()) : message;
}

}  // namespace

void ReadOrvex(CFile& file, CSimulationData& data) { ReadOrvex(file, data, nullptr); }

void ReadOrvex(CFile& file, CSimulationData& data, CLegVisitor* legs) {
    CArchive ar(&file, CArchive::load, ReadBufferSize(file));
    DWORD format = 1;
    ar >> format;
    if (format != kOrvexFormatNumber)
        ar.ThrowException(CArchiveException::badSchema, "format number " + std::to_string(format) + ", expected 0");
    data.Load(ar, legs);
    ar.Close();
}

void WriteOrvex(CFile& file, const CSimulationData& data) {
    CArchive ar(&file, CArchive::store);
    ar << kOrvexFormatNumber;
    data.Store(ar);
    ar.Close();
}

namespace {

bool LoadOrvexFileWith(const std::string& path, CSimulationData& data, CLegVisitor* legs, std::string& error) {
    CFile file;
    CFileException fileError;
    if (!file.Open(path.c_str(), CFile::modeRead | CFile::typeBinary, &fileError)) {
        error = fileError.what();
        return false;
    }
    try {
        ReadOrvex(file, data, legs);
    } catch (const std::bad_alloc&) {
        error = path + ": not enough memory to load the data set";
        return false;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return true;
}

}  // namespace

bool LoadOrvexFile(const std::string& path, CSimulationData& data, std::string& error) {
    return LoadOrvexFileWith(path, data, nullptr, error);
}

bool LoadOrvexFileVisitingLegs(const std::string& path, CSimulationData& data, CLegVisitor& visitor,
                               std::string& error) {
    return LoadOrvexFileWith(path, data, &visitor, error);
}

bool SaveOrvexFile(const std::string& path, const CSimulationData& data, std::string& error) {
    std::string why;
    const bool ok = WriteOutputFile(
        path,
        [&data, &path](const std::string& target, std::string& writeWhy) {
            CFile file;
            CFileException fileError;
            if (!file.Open(target.c_str(), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary, &fileError)) {
                // Name the file the user asked for, not the temporary one.
                writeWhy = CauseOnly(CFileException(fileError.m_cause, fileError.m_lOsError, path).what(), path);
                return false;
            }
            try {
                WriteOrvex(file, data);
                file.Close();
            } catch (const std::exception& e) {
                file.Abort();
                writeWhy = CauseOnly(e.what(), target);
                return false;
            }
            return true;
        },
        why);
    if (!ok) error = path + ": " + why;
    return ok;
}

bool LoadOrvexFileAndKeep(const std::string& path, std::string& error,
                          const std::function<bool(const CSimulationData&, std::string&)>& check) {
    ReleaseKeptDataSet();
    CFile file;
    CFileException fileError;
    if (!file.Open(path.c_str(), CFile::modeRead | CFile::typeBinary, &fileError)) {
        error = fileError.what();
        return false;
    }
    stKept kept;
    bool known = file.GetIdentity(kept.identity);
    try {
        CArchive ar(&file, CArchive::load, ReadBufferSize(file));
        DWORD format = 1;
        ar >> format;
        if (format != kOrvexFormatNumber)
            ar.ThrowException(CArchiveException::badSchema, "format number " + std::to_string(format) + ", expected 0");
        kept.offset = ar.GetPosition();
        kept.data.Load(ar);
        ar.Close();
    } catch (const std::bad_alloc&) {
        error = path + ": not enough memory to load the data set";
        return false;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    if (check && !check(kept.data, error)) return false;
    // A file written while it was read is not the content that was read.
    CFileIdentity after;
    known = known && file.GetIdentity(after) && after == kept.identity;
    if (known) {
        std::lock_guard<std::mutex> lock(g_keptMutex);
        g_kept = std::move(kept);
    }
    return true;
}

void ReleaseKeptDataSet() {
    std::optional<stKept> released;
    {
        std::lock_guard<std::mutex> lock(g_keptMutex);
        released.swap(g_kept);
    }
    // Freed outside the lock: a large data set takes a while.
}

bool TakeKeptDataSet(CArchive& ar, CSimulationData& data) {
    std::optional<stKept> taken;
    {
        std::lock_guard<std::mutex> lock(g_keptMutex);
        if (!g_kept) return false;
        CFileIdentity identity;
        if (!ar.GetFile()->GetIdentity(identity) || !(identity == g_kept->identity) ||
            ar.GetPosition() != g_kept->offset)
            return false;
        taken.swap(g_kept);
    }
    data = std::move(taken->data);
    ar.SkipToEnd();
    return true;
}
