// Loading the simulation export file named by FileName, and the ray time range of a snapshot.
#include <new>
#include <stdexcept>

#include "geometry/CSimulationData.h"
#include "platform/afx/CArchive.h"
#include "platform/afx/CFile.h"
#include "platform/afx/DebugOutput.h"
#include "platform/base/Saturate.h"
#include "viewer/OrvexViewerCtrl.h"

namespace {

// Every simulation export file starts with this 32-bit format number.
constexpr DWORD kSupportedFormatNumber = 0;
constexpr int kLoadBufferSize = 4096;

// The running extremes start beyond any real time, so a snapshot without bundles keeps them.
constexpr double kNoMinimumTime = 1e100;
constexpr double kNoMaximumTime = -1e100;

// Diagnostics of a load that did not happen (the viewer shows no message for them).
constexpr const char* kTracePrefix = "OrvexViewer: ";
constexpr const char* kKeptTrace = "; the data shown is kept\n";
constexpr const char* kEmptiedTrace = "; no data is shown\n";

// A limit is the ray time truncated toward zero, kept as a double.
double TruncatedLimit(double t) { return static_cast<double>(TruncateToInt(t)); }

}  // namespace

void COrvexViewerCtrl::DoFileNameUpdate() { OnFileNameChanged(); }

void COrvexViewerCtrl::OnFileNameChanged() {
    CFile file;
    CFileException openError;
    // A file that cannot be opened leaves data, properties and picture as they were. An empty
    // name is "no file", not a failure worth a line.
    if (!file.Open(m_fileName.c_str(), CFile::modeRead | CFile::shareDenyWrite, &openError)) {
        if (!m_fileName.empty())
            OutputDebugStringA((kTracePrefix + openError.GetErrorMessage() + kKeptTrace).c_str());
        return;
    }

    {
        CArchive archive(&file, CArchive::load, kLoadBufferSize);
        try {
            DWORD formatNumber = 0;
            archive >> formatNumber;
            if (formatNumber != kSupportedFormatNumber) archive.ThrowException(CArchiveException::badSchema);
            m_pSimData->Serialize(archive);
        } catch (const std::exception& e) {
            // Whatever went wrong while reading (a bad file, memory running out) leaves no data
            // rather than part of it; the rest of the load still runs.
            m_pSimData->Empty();
            OutputDebugStringA((kTracePrefix + m_fileName + ": cannot be read (" + e.what() + ")" + kEmptiedTrace).c_str());
        } catch (...) {
            m_pSimData->Empty();
            OutputDebugStringA((kTracePrefix + m_fileName + ": cannot be read" + kEmptiedTrace).c_str());
        }
        archive.Abort();
    }
    file.Abort();

    m_extent.SetEmpty();
    m_currentSnapShot = 0;
    m_pulseAnimateStartLimit = TruncatedLimit(GetMinimumRayTime());
    m_pulseAnimateEndLimit = TruncatedLimit(GetMaximumRayTime());
    ExchangeViewWithData(kViewFromData);
    InvalidateControl();
    SetModifiedFlag();
    if (m_controlDetectionEnabled) m_bNotifyPending = true;
}

double COrvexViewerCtrl::GetMinimumRayTime() {
    if (m_pSimData == nullptr) return 0.0;
    // A negative snapshot number indexes nothing, like one past the end.
    if (m_currentSnapShot < 0 || static_cast<size_t>(m_currentSnapShot) >= m_pSimData->m_snapshots.size())
        return 0.0;
    double running = kNoMinimumTime;
    for (const CBundle& bundle : m_pSimData->m_snapshots[static_cast<size_t>(m_currentSnapShot)].m_bundles) {
        double lo = 0.0, hi = 0.0;
        bundle.GetBundleExtreemTimes(lo, hi);
        if (lo < running) running = lo;
    }
    return running;
}

double COrvexViewerCtrl::GetMaximumRayTime() {
    if (m_pSimData == nullptr) return 0.0;
    if (m_currentSnapShot < 0 || static_cast<size_t>(m_currentSnapShot) >= m_pSimData->m_snapshots.size())
        return 0.0;
    double running = kNoMaximumTime;
    for (const CBundle& bundle : m_pSimData->m_snapshots[static_cast<size_t>(m_currentSnapShot)].m_bundles) {
        double lo = 0.0, hi = 0.0;
        bundle.GetBundleExtreemTimes(lo, hi);
        if (hi > running) running = hi;
    }
    return running;
}
