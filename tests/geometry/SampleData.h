#pragma once
// A small data set in which every member differs from its default, for round-trip tests.
#include <cmath>
#include <limits>

#include "geometry/CSimulationData.h"

inline CSimulationData MakeSampleData() {
    CSimulationData d;
    d.m_outline.AddLine(CPoint3D(0, 0, -20), CPoint3D(100, 0, -20), RGB(1, 2, 3), 2);
    d.m_outline.AddArc(CPoint3D(61.5, -15, 20), CPoint3D(61.5, -15, 20), CPoint3D(60, -15, 20), CVector3D(0, 0, 1),
                       RGB(0, 0, 0), 1);
    d.m_displaySnapshot = 2;
    d.m_snapshots.resize(2);
    auto& s = d.m_snapshots[0];
    s.m_outlineItems.resize(2);
    s.m_outlineItems[0].m_arcs.AddLine(CPoint3D(25, 0, 8), CPoint3D(57, 0, 8), RGB(110, 110, 110), 1);
    s.m_outlineItems[1].m_arcs.AddArc(CPoint3D(1, 0, 0), CPoint3D(0, 1, 0), CPoint3D(0, 0, 0), CVector3D(0, 0, -1),
                                      0xFF000001u, -3);
    s.m_nBundles = 1;  // fewer drawn than stored
    s.m_bundles.resize(2);
    CUTRay ended(CPoint3D(36, 12, 0), CPoint3D(45, 0, 0), 0.0, 5.49);
    ended.m_colour = RGB(230, 120, 0);
    CUTRay open(CPoint3D(47, 0, 0), CVector3D(-0.59, 0.8, 0), 2.73, 30.5);
    open.m_kind = 7;
    open.m_penWidth = 2;
    CUTRay hidden(CPoint3D(45, 0, 0), CPoint3D(53, 0, 0), 5.49, 6.84);
    hidden.m_kind = CUTRay::kNotDrawn;
    // Values the format keeps as they are: negative times, -0.0, NaN, infinity.
    CUTRay odd(CPoint3D(-0.0, 1e-300, 1e300), CPoint3D(0.1, 0.2, 0.3), -3.5, std::numeric_limits<double>::infinity());
    s.m_bundles[0].m_rays = {ended, open};
    s.m_bundles[1].m_rays = {hidden, odd};
    s.m_windowStart = 1.0;
    s.m_windowLength = 2.0;
    s.m_yMax = 1.0;
    s.m_yMin = -1.0;
    s.m_sampleInterval = 0.01;
    s.m_windowSampleInterval = 0.0100004;
    s.m_dataStart = 1.5;
    s.m_xLabel = "Time (us)";
    s.m_samples = {0.0f, 0.1f, -0.25f, 1e-30f, -0.0f, 3.4e38f};
    CSimulationData::SyncSampleCount(s);
    // The second snapshot: an empty A-scan but a label of raw bytes.
    d.m_snapshots[1].m_xLabel = std::string("\x00\xff mm", 5);
    d.m_snapshots[1].m_nBundles = -1;
    d.m_extraOutline.AddLine(CPoint3D(45, 0, 0), CPoint3D(70, 0, 0), RGB(0, 150, 0), 2);
    CSimulationData::stLabel label;
    label.m_text = "SDH";
    label.m_anchor = CPoint3D(68, -11.5, 0);
    label.m_span1 = CVector3D(-4.5, 0, 0);
    label.m_span2 = CVector3D(0, -2.5, 0);
    d.m_labels = {label, label};
    d.m_labels[1].m_text = "";
    d.m_viewFrame = CCoordinates3D(CPoint3D(1, 2, 3), CVector3D(0, 0, 1), CVector3D(0, 1, 0), CVector3D(-1, 0, 0));
    d.m_viewRect = CfRect(-5.0f, -47.17f, 105.0f, 40.83f);
    d.m_probeFrequency = 2.25;
    d.m_probeBandwidth = 60.0;
    return d;
}
