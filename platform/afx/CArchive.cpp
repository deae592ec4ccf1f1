#include "platform/afx/CArchive.h"

#include <cassert>

namespace {

const char* ArchiveCauseText(int cause) {
    switch (cause) {
    case CArchiveException::none: return "no error";
    case CArchiveException::readOnly: return "archive is loading, cannot store";
    case CArchiveException::endOfFile: return "unexpected end of file";
    case CArchiveException::writeOnly: return "archive is storing, cannot load";
    case CArchiveException::badIndex: return "bad index";
    case CArchiveException::badClass: return "bad class";
    case CArchiveException::badSchema: return "bad format";
    default: return "archive error";
    }
}

std::string MakeArchiveMessage(int cause, const std::string& fileName, const std::string& detail) {
    std::string text = fileName.empty() ? std::string() : fileName + ": ";
    text += ArchiveCauseText(cause);
    if (!detail.empty()) text += " (" + detail + ")";
    return text;
}

}  // namespace

CArchiveException::CArchiveException(int cause, const std::string& fileName, const std::string& detail)
    : std::runtime_error(MakeArchiveMessage(cause, fileName, detail)), m_cause(cause),
      m_strFileName(fileName) {}

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* lpBuf) : m_pFile(pFile), m_nMode(nMode) {
    assert(pFile != nullptr);
    // The platform's minimum; anything smaller only costs system calls.
    if (nBufSize < 128) nBufSize = 128;
    if (lpBuf) {
        m_bufStart = static_cast<BYTE*>(lpBuf);
    } else {
        m_ownBuf.resize(static_cast<size_t>(nBufSize));
        m_bufStart = m_ownBuf.data();
    }
    m_bufEnd = m_bufStart + nBufSize;
    m_cur = m_bufStart;
    m_lim = m_bufStart;  // nothing loaded yet; a storing archive never reads from the buffer
}

CArchive::~CArchive() {
    if (m_closed || IsLoading() || (m_nMode & bNoFlushOnDelete)) return;
    try {
        Flush();
    } catch (...) {
        // A destructor cannot report; callers that care call Close().
    }
}

void CArchive::ThrowException(int cause, const std::string& detail) const {
    throw CArchiveException(cause, m_pFile ? m_pFile->GetFilePath() : std::string(), detail);
}

void CArchive::FillBuffer() {
    assert(m_cur == m_lim);
    UINT n = m_pFile->Read(m_bufStart, static_cast<UINT>(m_bufEnd - m_bufStart));
    m_fileBytesRead += n;
    m_cur = m_bufStart;
    m_lim = m_bufStart + n;
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
    assert(!m_closed);
    if (IsStoring()) ThrowException(CArchiveException::writeOnly);
    auto* out = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nMax) {
        if (m_cur == m_lim) {
            // Large reads bypass the buffer once it is drained.
            UINT want = nMax - done;
            if (want >= static_cast<UINT>(m_bufEnd - m_bufStart)) {
                UINT n = m_pFile->Read(out + done, want);
                m_fileBytesRead += n;
                done += n;
                break;
            }
            FillBuffer();
            if (m_cur == m_lim) break;
        }
        UINT avail = static_cast<UINT>(m_lim - m_cur);
        UINT n = nMax - done < avail ? nMax - done : avail;
        std::memcpy(out + done, m_cur, n);
        m_cur += n;
        done += n;
    }
    return done;
}

void CArchive::EnsureRead(void* lpBuf, UINT nCount) {
    if (Read(lpBuf, nCount) != nCount) ThrowException(CArchiveException::endOfFile);
}

ULONGLONG CArchive::GetBytesRemaining() const {
    assert(IsLoading());
    if (!m_haveRemaining) {
        const ULONGLONG length = m_pFile->GetLength();
        const ULONGLONG position = m_pFile->GetPosition();
        m_remainingAtMark = length > position ? length - position : 0;
        m_readAtMark = m_fileBytesRead;
        m_haveRemaining = true;
    }
    const ULONGLONG readSince = m_fileBytesRead - m_readAtMark;
    const ULONGLONG beyond = m_remainingAtMark > readSince ? m_remainingAtMark - readSince : 0;
    return beyond + static_cast<ULONGLONG>(m_lim - m_cur);
}

ULONGLONG CArchive::GetStoredBytesRemaining() const {
    assert(IsLoading());
    return static_cast<ULONGLONG>(m_lim - m_cur) + m_pFile->GetStoredLength();
}

UINT CArchive::PeekBuffered(const BYTE*& data) {
    assert(!m_closed);
    if (IsStoring()) ThrowException(CArchiveException::writeOnly);
    if (m_cur == m_lim) FillBuffer();
    data = m_cur;
    return static_cast<UINT>(m_lim - m_cur);
}

ULONGLONG CArchive::GetPosition() const {
    assert(IsLoading());
    return m_pFile->GetPosition() - static_cast<ULONGLONG>(m_lim - m_cur);
}

void CArchive::SkipToEnd() {
    assert(IsLoading());
    const ULONGLONG before = m_pFile->GetPosition();
    const ULONGLONG end = m_pFile->SeekToEnd();
    m_fileBytesRead += end > before ? end - before : 0;
    m_cur = m_lim = m_bufStart;
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
    assert(!m_closed);
    if (IsLoading()) ThrowException(CArchiveException::readOnly);
    const auto* in = static_cast<const BYTE*>(lpBuf);
    UINT room = static_cast<UINT>(m_bufEnd - m_cur);
    if (nMax <= room) {
        std::memcpy(m_cur, in, nMax);
        m_cur += nMax;
        return;
    }
    Flush();
    if (nMax >= static_cast<UINT>(m_bufEnd - m_bufStart)) {
        m_pFile->Write(in, nMax);
        return;
    }
    std::memcpy(m_cur, in, nMax);
    m_cur += nMax;
}

void CArchive::Flush() {
    if (IsLoading()) return;
    if (m_cur != m_bufStart) {
        UINT n = static_cast<UINT>(m_cur - m_bufStart);
        m_cur = m_bufStart;
        m_pFile->Write(m_bufStart, n);
    }
    m_pFile->Flush();
}

void CArchive::Close() {
    if (m_closed) return;
    Flush();
    m_closed = true;
}

void CArchive::Abort() { m_closed = true; }
