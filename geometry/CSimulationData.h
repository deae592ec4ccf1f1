#pragma once
// One simulation data set as the viewer shows it: the part outline, snapshots with the probe's
// outline items, ray bundles and an A-scan each, labels and the stored view. Members are public
// and declared in the order the viewer reads them; the .orvex form stores them in the same order
// (docs/orvex-file-format.md).
#include <cstdint>
#include <string>
#include <vector>

#include "geometry/CArrayOfArcs.h"
#include "geometry/CBundle.h"
#include "geometry/CCoordinates3D.h"
#include "geometry/CfRect.h"

class CArchive;
class CLegVisitor;

class CSimulationData {
public:
    // One outline item of a snapshot (the probe's wedge, the probe's crystal, ...).
    struct stOutlineItem {
        CArrayOfArcs m_arcs;
        bool operator==(const stOutlineItem& o) const { return m_arcs == o.m_arcs; }
    };

    // One probe position: its outlines, the legs of its rays and its A-scan.
    struct stSnapshot {
        std::vector<stOutlineItem> m_outlineItems;
        int32_t m_nBundles = 0;  // number of bundles drawn (may differ from m_bundles.size())
        std::vector<CBundle> m_bundles;
        double m_windowStart = 0.0;
        double m_windowLength = 0.0;
        double m_yMax = 0.0;
        double m_yMin = 0.0;
        double m_sampleInterval = 0.0;
        double m_windowSampleInterval = 0.0;
        double m_dataStart = 0.0;
        int32_t m_nSamples = 0;  // always m_samples.size()
        std::string m_xLabel;
        std::vector<float> m_samples;
        bool operator==(const stSnapshot& o) const;
    };

    // A 3D text label: text written along span1 from anchor, span2 giving the cell's height.
    struct stLabel {
        std::string m_text;
        CPoint3D m_anchor;
        CVector3D m_span1;
        CVector3D m_span2;
        bool operator==(const stLabel& o) const {
            return m_text == o.m_text && m_anchor == o.m_anchor && m_span1 == o.m_span1 && m_span2 == o.m_span2;
        }
    };

    CSimulationData();
    virtual ~CSimulationData();
    CSimulationData(const CSimulationData&) = default;
    CSimulationData& operator=(const CSimulationData&) = default;
    CSimulationData(CSimulationData&&) noexcept = default;
    CSimulationData& operator=(CSimulationData&&) noexcept = default;

    // Stores the data set, or loads it (replacing the content only when the whole set was read).
    // Malformed input throws CArchiveException; nothing is allocated before the archive is known
    // to hold the bytes the counts promise.
    virtual void Serialize(CArchive& ar);
    // The two directions of Serialize.
    void Store(CArchive& ar) const;
    // With legs given, every leg is read and checked but handed to it instead of kept: the
    // bundles stay empty (see OrvexFile.h).
    void Load(CArchive& ar, CLegVisitor* legs = nullptr);
    // Back to the state of a new data set: no snapshots means no data.
    void Empty();

    // Sets m_nSamples from m_samples after the samples of a snapshot were changed.
    static void SyncSampleCount(stSnapshot& snapshot);

    bool operator==(const CSimulationData& o) const;

    CArrayOfArcs m_outline;
    int32_t m_displaySnapshot = 1;  // 1-based
    std::vector<stSnapshot> m_snapshots;
    CArrayOfArcs m_extraOutline;
    std::vector<stLabel> m_labels;
    CCoordinates3D m_viewFrame;
    CfRect m_viewRect;
    double m_probeFrequency = 5.0;  // MHz in generated data
    double m_probeBandwidth = 50.0;  // per cent
};

// The module calls this once at start. The library keeps no global state (the number formats the
// .orvex form relies on are checked when it is compiled), so there is nothing to prepare; it
// returns TRUE, and calling it again is harmless.
BOOL InitOrvexGeomResources();
