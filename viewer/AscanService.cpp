// The A-scan of the current snapshot, handed out to other controls and scripts.
#include <algorithm>

#include "geometry/CSimulationData.h"
#include "platform/com/SafeArray.h"
#include "viewer/AscanLayout.h"
#include "viewer/OrvexViewerCtrl.h"

using namespace orvex::viewer;

namespace {

const CSimulationData::stSnapshot* CurrentSnapshot(const CSimulationData* data, LONG current) {
    if (data == nullptr || current < 0 || static_cast<size_t>(current) >= data->m_snapshots.size()) return nullptr;
    return &data->m_snapshots[static_cast<size_t>(current)];
}

SAscanSource SourceOf(const CSimulationData::stSnapshot& s) {
    SAscanSource src;
    src.windowStart = s.m_windowStart;
    src.windowLength = s.m_windowLength;
    src.sampleInterval = s.m_sampleInterval;
    src.windowSampleInterval = s.m_windowSampleInterval;
    src.dataStart = s.m_dataStart;
    src.samples = s.m_samples.data();
    // The count field is data; the samples actually held are what can be read.
    src.nSamples = std::clamp<int64_t>(s.m_nSamples, 0, static_cast<int64_t>(s.m_samples.size()));
    return src;
}

// The caller's one-dimensional float array of exactly count elements, or null.
SAFEARRAY* ReusableArray(const VARIANT* v, int64_t count) {
    if (v->vt != (VT_ARRAY | VT_R4) || v->parray == nullptr) return nullptr;
    SAFEARRAY* psa = v->parray;
    if (SafeArrayGetDim(psa) != 1 || SafeArrayGetElemsize(psa) != sizeof(float)) return nullptr;
    LONG lo = 0, hi = -1;
    if (FAILED(SafeArrayGetLBound(psa, 1, &lo)) || FAILED(SafeArrayGetUBound(psa, 1, &hi))) return nullptr;
    if (static_cast<int64_t>(hi) - lo + 1 != count) return nullptr;
    return psa;
}

// Puts the layout's array into *ascan, refilling the caller's array when it already fits.
bool StoreAscanArray(const SAscanSource& src, const SAscanLayout& layout, VARIANT* ascan) {
    SAFEARRAY* psa = ReusableArray(ascan, layout.count);
    const bool reused = psa != nullptr;
    if (!reused) {
        psa = SafeArrayCreateVector(VT_R4, 0, static_cast<ULONG>(layout.count));
        if (psa == nullptr) return false;
    }
    void* pv = nullptr;
    if (FAILED(SafeArrayAccessData(psa, &pv))) {
        if (!reused) SafeArrayDestroy(psa);
        return false;
    }
    FillAscanArray(src, layout, static_cast<float*>(pv));
    SafeArrayUnaccessData(psa);
    if (reused) return true;
    // An array the caller still holds locked cannot be let go; it keeps it and gets nothing new.
    if (FAILED(VariantClear(ascan))) {
        SafeArrayDestroy(psa);
        return false;
    }
    ascan->vt = VT_ARRAY | VT_R4;
    ascan->parray = psa;
    return true;
}

}  // namespace

BOOL COrvexViewerCtrl::GetAscan(double* dataStart, double* resolution, VARIANT* ascan) {
    const CSimulationData::stSnapshot* s = CurrentSnapshot(m_pSimData, m_currentSnapShot);
    if (s == nullptr || dataStart == nullptr || resolution == nullptr || ascan == nullptr) return FALSE;
    const SAscanSource src = SourceOf(*s);
    SAscanLayout layout;
    if (!ComputeFullAscanLayout(src, layout)) return FALSE;
    if (!StoreAscanArray(src, layout, ascan)) return FALSE;
    *dataStart = s->m_dataStart;
    *resolution = layout.resolution;
    return TRUE;
}

BOOL COrvexViewerCtrl::GetWindowedAscanData(double* dataStart, double* resolution, VARIANT* ascan) {
    const CSimulationData::stSnapshot* s = CurrentSnapshot(m_pSimData, m_currentSnapShot);
    if (s == nullptr || dataStart == nullptr || resolution == nullptr || ascan == nullptr) return FALSE;
    const SAscanSource src = SourceOf(*s);
    SAscanLayout layout;
    if (!ComputeWindowedAscanLayout(src, layout)) return FALSE;
    if (!StoreAscanArray(src, layout, ascan)) return FALSE;
    *dataStart = s->m_dataStart;
    *resolution = layout.resolution;
    return TRUE;
}

BOOL COrvexViewerCtrl::GetAscanDisplayWindow(double* displayStart, double* displayEnd, double* displayYAxisMax,
                                             double* displayYAxisMin) {
    const CSimulationData::stSnapshot* s = CurrentSnapshot(m_pSimData, m_currentSnapShot);
    if (s == nullptr || displayStart == nullptr || displayEnd == nullptr || displayYAxisMax == nullptr ||
        displayYAxisMin == nullptr)
        return FALSE;
    *displayStart = s->m_windowStart;
    *displayEnd = s->m_windowStart + s->m_windowLength;
    *displayYAxisMax = s->m_yMax;
    *displayYAxisMin = s->m_yMin;
    return TRUE;
}

BOOL COrvexViewerCtrl::GetAscanXAxisLabel(BSTR* xAxisLabel) {
    const CSimulationData::stSnapshot* s = CurrentSnapshot(m_pSimData, m_currentSnapShot);
    if (s == nullptr || xAxisLabel == nullptr) return FALSE;
    BSTR copy = SysAllocStringFrom(s->m_xLabel);
    if (copy == nullptr && !s->m_xLabel.empty()) return FALSE;
    // The string passed in belongs to us now; it is replaced, not leaked.
    SysFreeString(*xAxisLabel);
    *xAxisLabel = copy;
    return TRUE;
}
