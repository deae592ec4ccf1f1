#include "platform/afx/CFile.h"

#include <cassert>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/base/SafeFile.h"

namespace {

const char* CauseText(int cause) {
    switch (cause) {
    case CFileException::none: return "no error";
    case CFileException::fileNotFound: return "file not found";
    case CFileException::badPath: return "bad path";
    case CFileException::tooManyOpenFiles: return "too many open files";
    case CFileException::accessDenied: return "access denied";
    case CFileException::invalidFile: return "not a regular file";
    case CFileException::removeCurrentDir: return "cannot remove the current folder";
    case CFileException::directoryFull: return "folder full";
    case CFileException::badSeek: return "bad seek";
    case CFileException::hardIO: return "input/output error";
    case CFileException::sharingViolation: return "sharing violation";
    case CFileException::lockViolation: return "lock violation";
    case CFileException::diskFull: return "disk full";
    case CFileException::endOfFile: return "unexpected end of file";
    default: return "file error";
    }
}

std::string MakeMessage(int cause, LONG osError, const std::string& fileName) {
    std::string text = fileName.empty() ? std::string() : fileName + ": ";
    text += CauseText(cause);
    if (osError > 0 && cause == CFileException::genericException) {
        text += " (";
        text += std::strerror(osError);
        text += ")";
    }
    return text;
}

}  // namespace

CFileException::CFileException(int cause, LONG osError, const std::string& fileName)
    : std::runtime_error(MakeMessage(cause, osError, fileName)), m_cause(cause), m_lOsError(osError),
      m_strFileName(fileName) {}

int CFileException::OsErrorToException(LONG osError) {
    switch (osError) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS: return accessDenied;
    case EISDIR:
    case EBADF:
    case EINVAL: return invalidFile;
    case ESPIPE: return badSeek;
    case EIO: return hardIO;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    case ETXTBSY:
    case EBUSY: return sharingViolation;
    default: return genericException;
    }
}

CFile::CFile() = default;

CFile::CFile(LPCTSTR fileName, UINT openFlags) {
    CFileException error;
    if (!Open(fileName, openFlags, &error)) throw error;
}

CFile::~CFile() { Abort(); }

BOOL CFile::Open(LPCTSTR fileName, UINT openFlags, CFileException* pError) {
    assert(m_fd < 0 && "CFile::Open on an open file");
    assert(fileName != nullptr);
    int flags = O_CLOEXEC;
    switch (openFlags & 3) {
    case modeRead: flags |= O_RDONLY; break;
    case modeWrite: flags |= O_WRONLY; break;
    default: flags |= O_RDWR; break;
    }
    if (openFlags & modeCreate) {
        flags |= O_CREAT;
        if (!(openFlags & modeNoTruncate)) flags |= O_TRUNC;
    }
    int fd = -1;
    if ((openFlags & 3) == modeRead && !(openFlags & modeCreate)) {
        // Data comes from regular files only, opened without waiting on a FIFO or a device.
        std::string why;
        fd = OpenRegularFile(fileName, why);
    } else {
        // Never waits for a reader on a FIFO; a folder opens on POSIX but is no file to write.
        fd = ::open(fileName, flags | O_NONBLOCK, 0666);
        struct stat st {};
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
            ::close(fd);
            fd = -1;
            errno = EISDIR;
        }
        if (fd >= 0) {
            const int status = ::fcntl(fd, F_GETFL);
            if (status >= 0) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
        }
    }
    if (fd < 0) {
        int err = errno;
        if (pError) *pError = CFileException(CFileException::OsErrorToException(err), err, fileName);
        return FALSE;
    }
    m_fd = fd;
    m_strFileName = fileName;
    return TRUE;
}

void CFile::ThrowOsError(int err) const {
    throw CFileException(CFileException::OsErrorToException(err), err, m_strFileName);
}

UINT CFile::Read(void* buffer, UINT count) {
    assert(m_fd >= 0);
    UINT done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < count) {
        ssize_t n = ::read(m_fd, out + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowOsError(errno);
        }
        if (n == 0) break;
        done += static_cast<UINT>(n);
    }
    return done;
}

void CFile::Write(const void* buffer, UINT count) {
    assert(m_fd >= 0);
    UINT done = 0;
    const auto* in = static_cast<const char*>(buffer);
    while (done < count) {
        ssize_t n = ::write(m_fd, in + done, count - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowOsError(errno);
        }
        if (n == 0) throw CFileException(CFileException::diskFull, ENOSPC, m_strFileName);
        done += static_cast<UINT>(n);
    }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
    assert(m_fd >= 0);
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    off_t pos = ::lseek(m_fd, static_cast<off_t>(offset), whence);
    if (pos < 0) throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const {
    assert(m_fd >= 0);
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) ThrowOsError(errno);
    return static_cast<ULONGLONG>(st.st_size);
}

ULONGLONG CFile::GetPosition() const {
    assert(m_fd >= 0);
    off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0) throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetStoredLength() const {
    assert(m_fd >= 0);
    const off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0) throw CFileException(CFileException::badSeek, errno, m_strFileName);
    const off_t length = static_cast<off_t>(GetLength());
    if (length <= pos) return 0;
    // The data extents from the position on (SEEK_DATA/SEEK_HOLE move the offset, which is put
    // back). A file system that cannot tell reports the whole rest as one extent; after many
    // extents the rest is counted as stored rather than walked.
    constexpr int kMaxExtents = 4096;
    ULONGLONG stored = 0;
    off_t at = pos;
    for (int i = 0; at < length; ++i) {
        if (i == kMaxExtents) {
            stored += static_cast<ULONGLONG>(length - at);
            break;
        }
        const off_t data = ::lseek(m_fd, at, SEEK_DATA);
        if (data < 0) {
            if (errno != ENXIO) stored += static_cast<ULONGLONG>(length - at);  // no hole support
            break;                                                              // ENXIO: only a hole is left
        }
        off_t hole = ::lseek(m_fd, data, SEEK_HOLE);
        if (hole < 0 || hole > length) hole = length;
        stored += static_cast<ULONGLONG>(hole - data);
        at = hole;
    }
    if (::lseek(m_fd, pos, SEEK_SET) != pos) throw CFileException(CFileException::badSeek, errno, m_strFileName);
    return stored;
}

bool CFile::GetIdentity(CFileIdentity& identity) const {
    struct stat st {};
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0) return false;
    identity.m_device = static_cast<ULONGLONG>(st.st_dev);
    identity.m_inode = static_cast<ULONGLONG>(st.st_ino);
    identity.m_size = static_cast<ULONGLONG>(st.st_size);
    identity.m_modifiedNs = static_cast<LONGLONG>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return true;
}

void CFile::Flush() {
    assert(m_fd >= 0);
    // Writes go straight to the descriptor; nothing is buffered here.
}

void CFile::Close() {
    if (m_fd < 0) return;
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR) ThrowOsError(errno);
}

void CFile::Abort() {
    if (m_fd < 0) return;
    ::close(m_fd);
    m_fd = -1;
}

std::string CFile::GetFileName() const {
    size_t slash = m_strFileName.find_last_of('/');
    return slash == std::string::npos ? m_strFileName : m_strFileName.substr(slash + 1);
}

CMemFile::CMemFile(const BYTE* data, size_t size) : m_data(data, data + size) {}

BOOL CMemFile::Open(LPCTSTR, UINT, CFileException* pError) {
    // A memory file has no name to open; it is open from construction.
    if (pError) *pError = CFileException(CFileException::invalidFile);
    return FALSE;
}

UINT CMemFile::Read(void* buffer, UINT count) {
    assert(!m_closed);
    size_t left = m_position < m_data.size() ? m_data.size() - m_position : 0;
    size_t n = count < left ? count : left;
    if (n) std::memcpy(buffer, m_data.data() + m_position, n);
    m_position += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count) {
    assert(!m_closed);
    if (count == 0) return;
    if (m_position + count > m_data.size()) m_data.resize(m_position + count);
    std::memcpy(m_data.data() + m_position, buffer, count);
    m_position += count;
}

ULONGLONG CMemFile::Seek(LONGLONG offset, UINT from) {
    LONGLONG base = from == begin ? 0 : from == current ? static_cast<LONGLONG>(m_position)
                                                        : static_cast<LONGLONG>(m_data.size());
    if ((offset < 0 && base < -offset) ||
        (offset > 0 && base > std::numeric_limits<LONGLONG>::max() - offset))
        throw CFileException(CFileException::badSeek);
    m_position = static_cast<size_t>(base + offset);
    return m_position;
}
