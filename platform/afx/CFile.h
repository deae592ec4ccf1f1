#pragma once
// Binary files with the platform's semantics: CFile over a POSIX descriptor and CMemFile over a
// growable memory block, both usable under a CArchive.
//
// Exceptions are thrown by value and caught by reference (`catch (const CFileException& e)`), not
// by pointer as the platform did: a value cannot leak and needs no Delete(). Both exception classes
// derive from std::runtime_error, so a reader that must survive any failure can catch that (or ...).
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/base/WinDef.h"

using ULONGLONG = uint64_t;
using LONGLONG = int64_t;

// A failure of a file operation, with the platform's cause codes.
class CFileException : public std::runtime_error {
public:
    enum {
        none = 0,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    CFileException() : CFileException(none) {}
    explicit CFileException(int cause, LONG osError = -1, const std::string& fileName = std::string());

    // One line naming the file and what went wrong ("cannot open a.orvex: file not found").
    std::string GetErrorMessage() const { return what(); }
    // Maps an errno value to the cause it stands for.
    static int OsErrorToException(LONG osError);

    int m_cause;
    LONG m_lOsError;
    std::string m_strFileName;
};

// What tells one file's content from another's without reading it: device, inode, size and the
// time of the last modification (in nanoseconds).
struct CFileIdentity {
    ULONGLONG m_device = 0;
    ULONGLONG m_inode = 0;
    ULONGLONG m_size = 0;
    LONGLONG m_modifiedNs = 0;
    bool operator==(const CFileIdentity&) const = default;
};

// A file on disk, read and written through one descriptor.
class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile();
    // Opens at once and throws CFileException on failure.
    CFile(LPCTSTR fileName, UINT openFlags);
    virtual ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // Opens a file; reports a failure through the return value and, when given, pError, never by
    // throwing. Sharing flags are accepted and not enforced (the platform's locks have no POSIX twin).
    virtual BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* pError = nullptr);
    // Reads up to count bytes; fewer only at the end of the file. Throws on an I/O error.
    virtual UINT Read(void* buffer, UINT count);
    // Writes every byte or throws (diskFull, hardIO, accessDenied).
    virtual void Write(const void* buffer, UINT count);
    virtual ULONGLONG Seek(LONGLONG offset, UINT from);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetLength() const;
    virtual ULONGLONG GetPosition() const;
    // The bytes from the position to the end that the file really stores: the rest of the file
    // without the holes of a sparse file (which read as zeros that were never written). Where the
    // system cannot tell, the whole rest.
    virtual ULONGLONG GetStoredLength() const;
    // The open file's identity; false when it has none (a memory file) or the system cannot tell.
    virtual bool GetIdentity(CFileIdentity& identity) const;
    virtual void Flush();
    // Closes the file; throws when the system reports a failure while closing.
    virtual void Close();
    // Closes without ever throwing (used on error paths).
    virtual void Abort();
    virtual BOOL IsOpen() const { return m_fd >= 0 ? TRUE : FALSE; }
    const std::string& GetFilePath() const { return m_strFileName; }
    std::string GetFileName() const;

protected:
    [[noreturn]] void ThrowOsError(int err) const;

    int m_fd = -1;
    std::string m_strFileName;
};

// A file held in memory; grows as it is written. Tests and in-memory conversions use it.
class CMemFile : public CFile {
public:
    CMemFile() = default;
    // A file whose content is a copy of the given bytes, positioned at the start.
    CMemFile(const BYTE* data, size_t size);

    BOOL Open(LPCTSTR, UINT, CFileException* pError = nullptr) override;
    UINT Read(void* buffer, UINT count) override;
    void Write(const void* buffer, UINT count) override;
    ULONGLONG Seek(LONGLONG offset, UINT from) override;
    ULONGLONG GetLength() const override { return m_data.size(); }
    ULONGLONG GetPosition() const override { return m_position; }
    ULONGLONG GetStoredLength() const override { return m_position < m_data.size() ? m_data.size() - m_position : 0; }
    bool GetIdentity(CFileIdentity&) const override { return false; }
    void Flush() override {}
    void Close() override { m_closed = true; }
    void Abort() override { m_closed = true; }
    BOOL IsOpen() const override { return m_closed ? FALSE : TRUE; }

    // The bytes written so far.
    const std::vector<BYTE>& GetData() const { return m_data; }

private:
    std::vector<BYTE> m_data;
    size_t m_position = 0;
    bool m_closed = false;
};
