#pragma once
// A buffered binary stream over a CFile, loading or storing, with the platform's fixed-width
// insertion and extraction operators. Values are little-endian in the stream.
//
// Exceptions are thrown by value (see CFile.h): CArchiveException for a malformed or short stream,
// CFileException from the file underneath.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/afx/CFile.h"

static_assert(std::endian::native == std::endian::little,
              "CArchive copies values in memory order; the stream is little-endian");

// A malformed or truncated archive, with the platform's cause codes.
class CArchiveException : public std::runtime_error {
public:
    enum {
        none = 0,
        genericException,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema
    };

    CArchiveException() : CArchiveException(none) {}
    // detail, when given, says what was being read ("snapshot 3: leg count 900000 > bytes left").
    explicit CArchiveException(int cause, const std::string& fileName = std::string(),
                               const std::string& detail = std::string());

    int m_cause;
    std::string m_strFileName;
};

class CArchive {
public:
    enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2 };

    // pFile stays owned by the caller and must outlive the archive.
    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    // Flushes a storing archive that was not closed, swallowing errors (use Close to see them).
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) ? TRUE : FALSE; }
    BOOL IsStoring() const { return (m_nMode & load) ? FALSE : TRUE; }
    CFile* GetFile() const { return m_pFile; }

    // Reads up to nMax bytes; fewer only at the end of the stream. Never throws for a short read.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    // Reads exactly nCount bytes or throws endOfFile.
    void EnsureRead(void* lpBuf, UINT nCount);
    // Bytes a loading archive can still deliver: what is buffered plus what the file holds beyond
    // its position. Readers check counts against it before they allocate.
    ULONGLONG GetBytesRemaining() const;
    // The part of those bytes that is stored: what is buffered plus the file's bytes outside its
    // holes (CFile::GetStoredLength). A sparse file's hole reads as zeros that were never
    // written, so readers trust counts and budget memory against this. A few system calls.
    ULONGLONG GetStoredBytesRemaining() const;
    // Loading without a copy: the buffered bytes (refilled from the file when none are left) and
    // their number, 0 at the end of the stream; Skip(n) consumes n of them.
    UINT PeekBuffered(const BYTE*& data);
    void Skip(UINT n) { m_cur += n; }
    // Loading: the file offset of the next byte the archive delivers.
    ULONGLONG GetPosition() const;
    // Loading: drops what is buffered and moves to the end of the file, as if everything had been
    // read (a reader that had the content from elsewhere).
    void SkipToEnd();

    void Flush();
    // Flushes (storing) and detaches from the file; the file stays open.
    void Close();
    // Detaches without flushing and without throwing.
    void Abort();

    CArchive& operator<<(BYTE v) { return Put(v); }
    CArchive& operator<<(WORD v) { return Put(v); }
    CArchive& operator<<(SHORT v) { return Put(v); }
    CArchive& operator<<(LONG v) { return Put(v); }
    CArchive& operator<<(DWORD v) { return Put(v); }
    CArchive& operator<<(LONGLONG v) { return Put(v); }
    CArchive& operator<<(ULONGLONG v) { return Put(v); }
    CArchive& operator<<(float v) { return Put(v); }
    CArchive& operator<<(double v) { return Put(v); }
    CArchive& operator<<(char v) { return Put(v); }

    CArchive& operator>>(BYTE& v) { return Get(v); }
    CArchive& operator>>(WORD& v) { return Get(v); }
    CArchive& operator>>(SHORT& v) { return Get(v); }
    CArchive& operator>>(LONG& v) { return Get(v); }
    CArchive& operator>>(DWORD& v) { return Get(v); }
    CArchive& operator>>(LONGLONG& v) { return Get(v); }
    CArchive& operator>>(ULONGLONG& v) { return Get(v); }
    CArchive& operator>>(float& v) { return Get(v); }
    CArchive& operator>>(double& v) { return Get(v); }
    CArchive& operator>>(char& v) { return Get(v); }

    // Throws a CArchiveException naming this archive's file.
    [[noreturn]] void ThrowException(int cause, const std::string& detail = std::string()) const;

private:
    template <typename T>
    CArchive& Put(T v) {
        if (IsLoading()) ThrowException(CArchiveException::readOnly);
        if (m_bufEnd - m_cur >= static_cast<ptrdiff_t>(sizeof(T))) {
            std::memcpy(m_cur, &v, sizeof(T));
            m_cur += sizeof(T);
            return *this;
        }
        Write(&v, sizeof(T));
        return *this;
    }
    template <typename T>
    CArchive& Get(T& v) {
        if (m_lim - m_cur >= static_cast<ptrdiff_t>(sizeof(T))) {
            std::memcpy(&v, m_cur, sizeof(T));
            m_cur += sizeof(T);
            return *this;
        }
        EnsureRead(&v, sizeof(T));
        return *this;
    }
    void FillBuffer();

    CFile* m_pFile;
    UINT m_nMode;
    std::vector<BYTE> m_ownBuf;
    BYTE* m_bufStart;
    BYTE* m_bufEnd;  // end of the buffer's storage
    BYTE* m_cur;     // next byte to read or write
    BYTE* m_lim;     // loading: end of the valid bytes
    bool m_closed = false;
    // Loading: the file's bytes beyond its position when first asked, and the reads since, so
    // GetBytesRemaining costs no system call after the first.
    mutable bool m_haveRemaining = false;
    mutable ULONGLONG m_remainingAtMark = 0;
    mutable ULONGLONG m_readAtMark = 0;
    ULONGLONG m_fileBytesRead = 0;
};
