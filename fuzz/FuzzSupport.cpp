#include "FuzzSupport.h"

#include "platform/base/WinDef.h"

void ExerciseLoadedData(const CSimulationData& data) {
    double lo = 1e100, hi = -1e100;
    CPoint3D a, b;
    const CRect bounds(0, 0, 500, 400);
    auto measure = [&](const CArrayOfArcs& arcs) {
        arcs.GetBoundary(a, b);
        CfRect extent;
        arcs.DrawYFlipped(nullptr, &bounds, data.m_viewRect, extent, data.m_viewFrame);
    };
    measure(data.m_outline);
    measure(data.m_extraOutline);
    for (const auto& s : data.m_snapshots) {
        for (const auto& item : s.m_outlineItems) measure(item.m_arcs);
        for (const auto& bundle : s.m_bundles) {
            bundle.GetBundleExtreemTimes(lo, hi);
            for (const auto& leg : bundle.m_rays) {
                (void)leg.AtTime(leg.m_startTime);
                (void)leg.GetTimeAtEnd();
            }
        }
    }
}
