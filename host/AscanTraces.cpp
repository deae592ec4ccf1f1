#include "host/AscanTraces.h"

#include <cstdio>
#include <filesystem>

#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "host/JobDataFile.h"
#include "ids/OrvexViewerIds.h"
#include "platform/com/SafeArray.h"
#include "platform/com/Variant.h"

namespace {

constexpr const char* kSourceViewerName = "OrvexViewer1";

// A BOOL method with by-reference arguments; false when it is rejected or returns FALSE.
bool CallBoolMethod(IDispatch* viewer, const char* name, std::span<const VARIANT> args, std::string& error) {
    VARIANT result;
    VariantInit(&result);
    if (!InvokeByName(viewer, name, DISPATCH_METHOD, args, &result, error)) return false;
    const bool ok = result.vt == VT_BOOL && result.boolVal != VARIANT_FALSE;
    VariantClear(&result);
    if (!ok) error = std::string(name) + " returned FALSE (no A-scan)";
    return ok;
}

VARIANT ByRef(double* value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8 | VT_BYREF;
    v.pdblVal = value;
    return v;
}

// The floats of a one-dimensional VT_R4 array; false for anything else.
bool CopyFloats(const VARIANT& array, std::vector<float>& samples) {
    if (array.vt != (VT_ARRAY | VT_R4) || array.parray == nullptr || SafeArrayGetDim(array.parray) != 1) return false;
    LONG lo = 0, hi = -1;
    if (FAILED(SafeArrayGetLBound(array.parray, 1, &lo)) || FAILED(SafeArrayGetUBound(array.parray, 1, &hi)))
        return false;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array.parray, &data))) return false;
    const float* first = static_cast<const float*>(data);
    samples.assign(first, first + (hi >= lo ? static_cast<size_t>(hi - lo) + 1 : 0));
    SafeArrayUnaccessData(array.parray);
    return true;
}

}  // namespace

double SAscanTrace::TimeOf(size_t i) const {
    // The plot's own arithmetic: index times its float scale, plus its float offset 0.
    return static_cast<double>(static_cast<float>(i) * static_cast<float>(resolution) + 0.0f);
}

bool ReadViewerAscan(IDispatch* viewer, SAscanTrace& trace, std::string& error) {
    VARIANT array;
    VariantInit(&array);
    VARIANT ascanArgs[3] = {ByRef(&trace.dataStart), ByRef(&trace.resolution), VARIANT()};
    VariantInit(&ascanArgs[2]);
    ascanArgs[2].vt = VT_VARIANT | VT_BYREF;
    ascanArgs[2].pvarVal = &array;
    bool ok = CallBoolMethod(viewer, "GetAscan", ascanArgs, error);
    if (ok && !CopyFloats(array, trace.samples)) {
        error = "GetAscan: the A-scan is not an array of floats";
        ok = false;
    }
    VariantClear(&array);
    if (!ok) return false;

    VARIANT windowArgs[4] = {ByRef(&trace.displayStart), ByRef(&trace.displayEnd), ByRef(&trace.displayYMax),
                             ByRef(&trace.displayYMin)};
    if (!CallBoolMethod(viewer, "GetAscanDisplayWindow", windowArgs, error)) return false;

    BSTR label = nullptr;
    VARIANT labelArg;
    VariantInit(&labelArg);
    labelArg.vt = VT_BSTR | VT_BYREF;
    labelArg.pbstrVal = &label;
    ok = CallBoolMethod(viewer, "GetAscanXAxisLabel", std::span<const VARIANT>(&labelArg, 1), error);
    trace.xLabel = label != nullptr ? StringFromBstr(label) : std::string();
    SysFreeString(label);
    return ok;
}

CAscanTraceSource::CAscanTraceSource() = default;

CAscanTraceSource::~CAscanTraceSource() {
    // The page closes before its temporary data file goes.
    m_document.reset();
    m_data.reset();
}

bool CAscanTraceSource::Open(const std::string& path, std::string& error) {
    m_data = std::make_unique<CJobDataFile>();
    if (!m_data->Prepare(path, error)) return false;
    SDocumentModel model;
    model.pageWidth = 1;
    model.pageHeight = 1;
    SDocumentControl viewerEntry;
    viewerEntry.progId = kOrvexViewerProgID;
    viewerEntry.name = kSourceViewerName;
    viewerEntry.rect = CRect(0, 0, 0, 0);
    viewerEntry.properties.push_back({"FileName", m_data->GetViewerPath()});
    model.controls.push_back(viewerEntry);
    m_document = std::make_unique<CHostDocument>();
    if (!m_document->OpenModel(model, error)) return false;
    if (!GetViewer()) {
        error = "the viewer control is not available";
        return false;
    }
    return true;
}

LONG CAscanTraceSource::GetSnapshotCount() const {
    return m_data ? static_cast<LONG>(m_data->GetSnapshotCount()) : 0;
}

LONG CAscanTraceSource::GetCurrentSnapshot() const {
    CComPtr<IDispatch> viewer = GetViewer();
    if (!viewer) return 0;
    VARIANT v;
    VariantInit(&v);
    std::string error;
    LONG k = 0;
    if (InvokeByName(viewer.get(), "CurrentSnapShot", DISPATCH_PROPERTYGET, {}, &v, error) && v.vt == VT_I4) k = v.lVal;
    VariantClear(&v);
    return k;
}

const std::string& CAscanTraceSource::GetPath() const {
    static const std::string kNone;
    return m_data ? m_data->GetPath() : kNone;
}

CComPtr<IDispatch> CAscanTraceSource::GetViewer() const {
    if (!m_document) return CComPtr<IDispatch>();
    return m_document->GetExtendedControl(kSourceViewerName);
}

bool CAscanTraceSource::Read(LONG k, SAscanTrace& trace, std::string& error) {
    if (k < 0 || k >= GetSnapshotCount()) {
        error = GetPath() + ": no snapshot " + std::to_string(k) + " (the file has " +
                std::to_string(GetSnapshotCount()) + ", numbered from 0)";
        return false;
    }
    CComPtr<IDispatch> viewer = GetViewer();
    if (!viewer) {
        error = "the viewer control is not available";
        return false;
    }
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = k;
    if (!PutPropertyByName(viewer.get(), "CurrentSnapShot", v, error)) return false;
    trace.snapshot = k;
    if (!ReadViewerAscan(viewer.get(), trace, error)) {
        error = GetPath() + ": snapshot " + std::to_string(k) + ": " + error;
        return false;
    }
    return true;
}

AscanProgress MakeProgressLines(std::function<void(const std::string&)> write, const std::string& prefix,
                                const std::string& unit, size_t threshold) {
    auto lastTenth = std::make_shared<int>(-1);
    return [write = std::move(write), prefix, unit, threshold, lastTenth](size_t done, size_t total) {
        if (total == 0 || total < threshold) return;
        // One line per tenth of the work, and one at the end.
        const int tenth = static_cast<int>(done * 10 / total);
        if (tenth == *lastTenth) return;
        *lastTenth = tenth;
        char text[160];
        std::snprintf(text, sizeof text, "%s: %d%% (%zu of %zu %s)", prefix.c_str(), tenth * 10, done, total,
                      unit.c_str());
        write(text);
    };
}

bool WantsProgress(const std::string& path, bool asked) {
    if (asked) return true;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return !ec && size >= kProgressFileBytes;
}
