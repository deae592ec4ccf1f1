#include "geometry/CSimulationData.h"

#include <limits>

static_assert(std::numeric_limits<double>::is_iec559 && std::numeric_limits<float>::is_iec559,
              "the .orvex form stores IEEE 754 numbers");

CSimulationData::CSimulationData() = default;
CSimulationData::~CSimulationData() = default;

void CSimulationData::Empty() { *this = CSimulationData(); }

void CSimulationData::SyncSampleCount(stSnapshot& snapshot) {
    snapshot.m_nSamples = static_cast<int32_t>(snapshot.m_samples.size());
}

bool CSimulationData::stSnapshot::operator==(const stSnapshot& o) const {
    if (!(m_outlineItems == o.m_outlineItems) || m_nBundles != o.m_nBundles ||
        m_bundles.size() != o.m_bundles.size())
        return false;
    for (size_t b = 0; b < m_bundles.size(); ++b) {
        const auto& x = m_bundles[b].m_rays;
        const auto& y = o.m_bundles[b].m_rays;
        if (x.size() != y.size()) return false;
        for (size_t i = 0; i < x.size(); ++i) {
            if (!(x[i].GetOrigin() == y[i].GetOrigin()) || x[i].HasEnd() != y[i].HasEnd() ||
                !(x[i].GetEnd() == y[i].GetEnd()) || !(x[i].GetDirection() == y[i].GetDirection()) ||
                x[i].m_kind != y[i].m_kind || x[i].m_startTime != y[i].m_startTime ||
                x[i].GetEndTimeOrSpeed() != y[i].GetEndTimeOrSpeed() || x[i].m_colour != y[i].m_colour ||
                x[i].m_penWidth != y[i].m_penWidth)
                return false;
        }
    }
    return m_windowStart == o.m_windowStart && m_windowLength == o.m_windowLength && m_yMax == o.m_yMax &&
           m_yMin == o.m_yMin && m_sampleInterval == o.m_sampleInterval &&
           m_windowSampleInterval == o.m_windowSampleInterval && m_dataStart == o.m_dataStart &&
           m_nSamples == o.m_nSamples && m_xLabel == o.m_xLabel && m_samples == o.m_samples;
}

bool CSimulationData::operator==(const CSimulationData& o) const {
    return m_outline == o.m_outline && m_displaySnapshot == o.m_displaySnapshot && m_snapshots == o.m_snapshots &&
           m_extraOutline == o.m_extraOutline && m_labels == o.m_labels && m_viewFrame == o.m_viewFrame &&
           m_viewRect == o.m_viewRect && m_probeFrequency == o.m_probeFrequency &&
           m_probeBandwidth == o.m_probeBandwidth;
}

BOOL InitOrvexGeomResources() { return TRUE; }
