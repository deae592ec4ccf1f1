#pragma once
// The A-scans of a simulation file as the viewer control hands them out (GetAscan, the display
// window and the x label of each snapshot), read through its dispatch interface, for the commands
// and macros that measure, export or picture them.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/WinDef.h"
#include "platform/com/ComPtr.h"
#include "platform/com/Dispatch.h"

struct SAscanTrace {
    // The viewer's CurrentSnapShot (0 is the first).
    LONG snapshot = 0;
    double dataStart = 0.0;
    double resolution = 0.0;
    // GetAscan's array: element i belongs to TimeOf(i).
    std::vector<float> samples;
    // GetAscanDisplayWindow.
    double displayStart = 0.0;
    double displayEnd = 0.0;
    double displayYMax = 0.0;
    double displayYMin = 0.0;
    std::string xLabel;

    // The time of element i as the A-scan plot places it: i times the resolution taken as a
    // float, in float arithmetic, from offset 0.
    double TimeOf(size_t i) const;
};

// The current snapshot's A-scan of a viewer. False with one line in `error` when the viewer has
// none (no data) or rejects a call.
bool ReadViewerAscan(IDispatch* viewer, SAscanTrace& trace, std::string& error);

class CHostDocument;
class CJobDataFile;

// A page holding one viewer (no room) with a simulation file, to read its snapshots' A-scans.
class CAscanTraceSource {
public:
    CAscanTraceSource();
    ~CAscanTraceSource();
    CAscanTraceSource(const CAscanTraceSource&) = delete;
    CAscanTraceSource& operator=(const CAscanTraceSource&) = delete;

    // Reads the file (checked first: a file that cannot be read fails with its reason).
    bool Open(const std::string& path, std::string& error);
    LONG GetSnapshotCount() const;
    // The snapshot the viewer shows after loading (its CurrentSnapShot), or 0.
    LONG GetCurrentSnapshot() const;
    // The A-scan of snapshot k; false with one line when there is no such snapshot.
    bool Read(LONG k, SAscanTrace& trace, std::string& error);
    // The viewer, for callers that go on with it (a reference for the caller).
    CComPtr<IDispatch> GetViewer() const;
    const std::string& GetPath() const;

private:
    std::unique_ptr<CJobDataFile> m_data;
    std::unique_ptr<CHostDocument> m_document;
};

// Where a long job reports how far it is: called with the work done and the whole.
using AscanProgress = std::function<void(size_t done, size_t total)>;

// Progress lines ("orvex bscan: 40% (2 of 5 snapshots)"), one per tenth of the work, handed to
// `write` for jobs of at least `threshold` units of work; smaller jobs say nothing.
AscanProgress MakeProgressLines(std::function<void(const std::string&)> write, const std::string& prefix,
                                const std::string& unit, size_t threshold);

// Files from this size on get progress lines on the command line without being asked.
constexpr unsigned long long kProgressFileBytes = 16ull << 20;
// Whether a job on `path` reports progress: asked for, or the file is that large.
bool WantsProgress(const std::string& path, bool asked);
