// CSimulationData::Serialize: the binary form that follows the leading 32-bit zero of a .orvex
// file. docs/orvex-file-format.md is the description other programs write against; keep the two
// in step.
#include <algorithm>
#include <cstring>
#include <string>

#include "geometry/CSimulationData.h"
#include "platform/afx/CArchive.h"

namespace {

constexpr char kSignature[4] = {'O', 'X', 'S', 'D'};
constexpr DWORD kVersion = 1;

// Fixed record sizes in the file; counts are checked against them before anything is allocated.
constexpr ULONGLONG kArcRecord = 4 + 12 * 8 + 4 + 4;
constexpr ULONGLONG kLegRecord = 4 + 4 + 6 * 8 + 8 + 8 + 4 + 4;
constexpr ULONGLONG kMinArcsRecord = 4;
constexpr ULONGLONG kMinBundleRecord = 4;
constexpr ULONGLONG kMinLabelRecord = 4 + 9 * 8;
constexpr ULONGLONG kMinSnapshotRecord = 4 + 4 + 4 + 7 * 8 + 4 + 4;
constexpr DWORD kLegHasEnd = 1;

static_assert(kArcRecord == 108 && kLegRecord == 80);

// ---- storing ----------------------------------------------------------------------------------

void PutCount(CArchive& ar, size_t n) {
    // Counts are 32-bit signed in the file; a data set that big cannot be represented.
    if (n > static_cast<size_t>(INT32_MAX)) ar.ThrowException(CArchiveException::badIndex, "count too large");
    ar << static_cast<LONG>(n);
}

void PutPoint(CArchive& ar, double x, double y, double z) { ar << x << y << z; }

void PutString(CArchive& ar, const std::string& s) {
    if (s.size() > static_cast<size_t>(UINT32_MAX)) ar.ThrowException(CArchiveException::badIndex, "string too long");
    ar << static_cast<DWORD>(s.size());
    ar.Write(s.data(), static_cast<UINT>(s.size()));
}

void StoreArcs(CArchive& ar, const CArrayOfArcs& arcs) {
    PutCount(ar, arcs.GetArcs().size());
    for (const auto& a : arcs.GetArcs()) {
        ar << static_cast<LONG>(a.m_kind);
        PutPoint(ar, a.m_start.x, a.m_start.y, a.m_start.z);
        PutPoint(ar, a.m_end.x, a.m_end.y, a.m_end.z);
        if (a.m_kind == CArrayOfArcs::kCircular) {
            PutPoint(ar, a.m_centre.x, a.m_centre.y, a.m_centre.z);
            PutPoint(ar, a.m_normal.x, a.m_normal.y, a.m_normal.z);
        } else {
            for (int i = 0; i < 6; ++i) ar << 0.0;
        }
        ar << static_cast<DWORD>(a.m_colour) << static_cast<LONG>(a.m_penWidth);
    }
}

void StoreLeg(CArchive& ar, const CUTRay& r) {
    BYTE rec[kLegRecord];
    BYTE* p = rec;
    auto put = [&p](const auto& v) {
        std::memcpy(p, &v, sizeof v);
        p += sizeof v;
    };
    const bool hasEnd = r.HasEnd();
    const CPoint3D& o = r.GetOrigin();
    const CVector3D tip = hasEnd ? r.GetEnd().AsVector() : r.GetDirection();
    put(static_cast<int32_t>(r.m_kind));
    put(static_cast<uint32_t>(hasEnd ? kLegHasEnd : 0));
    put(o.x), put(o.y), put(o.z);
    put(tip.x), put(tip.y), put(tip.z);
    put(r.m_startTime);
    put(r.GetEndTimeOrSpeed());
    put(static_cast<uint32_t>(r.m_colour));
    put(static_cast<int32_t>(r.m_penWidth));
    ar.Write(rec, sizeof rec);
}

void StoreSnapshot(CArchive& ar, const CSimulationData::stSnapshot& s) {
    PutCount(ar, s.m_outlineItems.size());
    for (const auto& item : s.m_outlineItems) StoreArcs(ar, item.m_arcs);
    ar << static_cast<LONG>(s.m_nBundles);
    PutCount(ar, s.m_bundles.size());
    for (const auto& bundle : s.m_bundles) {
        PutCount(ar, bundle.m_rays.size());
        for (const auto& leg : bundle.m_rays) StoreLeg(ar, leg);
    }
    ar << s.m_windowStart << s.m_windowLength << s.m_yMax << s.m_yMin << s.m_sampleInterval
       << s.m_windowSampleInterval << s.m_dataStart;
    // The count written is the samples' own; m_nSamples mirrors it in memory.
    PutCount(ar, s.m_samples.size());
    PutString(ar, s.m_xLabel);
    const size_t bytes = s.m_samples.size() * sizeof(float);
    const BYTE* data = reinterpret_cast<const BYTE*>(s.m_samples.data());
    for (size_t done = 0; done < bytes;) {
        const size_t chunk = std::min<size_t>(bytes - done, size_t{1} << 30);
        ar.Write(data + done, static_cast<UINT>(chunk));
        done += chunk;
    }
}

// ---- loading ----------------------------------------------------------------------------------

// Reads a count and checks that the archive still holds count records of at least recordSize
// bytes, so a hostile count cannot make the reader allocate more than the file could fill.
size_t GetCount(CArchive& ar, ULONGLONG recordSize, const char* what) {
    LONG n = 0;
    ar >> n;
    if (n < 0) ar.ThrowException(CArchiveException::badSchema, std::string("negative ") + what + " count");
    if (static_cast<ULONGLONG>(n) * recordSize > ar.GetBytesRemaining())
        ar.ThrowException(CArchiveException::endOfFile,
                          std::string(what) + " count " + std::to_string(n) + " exceeds the bytes left");
    return static_cast<size_t>(n);
}

std::string GetString(CArchive& ar, const char* what) {
    DWORD n = 0;
    ar >> n;
    if (n > ar.GetBytesRemaining())
        ar.ThrowException(CArchiveException::endOfFile, std::string(what) + " longer than the bytes left");
    std::string s(n, '\0');
    ar.EnsureRead(s.data(), n);
    return s;
}

void GetPoint(CArchive& ar, double& x, double& y, double& z) { ar >> x >> y >> z; }

bool AllZeroBits(const double* v, int n) {
    for (int i = 0; i < n; ++i) {
        uint64_t bits;
        std::memcpy(&bits, &v[i], sizeof bits);
        if (bits != 0) return false;
    }
    return true;
}

void LoadArcs(CArchive& ar, CArrayOfArcs& arcs) {
    const size_t n = GetCount(ar, kArcRecord, "arc");
    arcs.RemoveAll();
    arcs.Reserve(n);
    for (size_t i = 0; i < n; ++i) {
        CArrayOfArcs::stArc a;
        LONG kind = 0;
        ar >> kind;
        if (kind != CArrayOfArcs::kStraight && kind != CArrayOfArcs::kCircular)
            ar.ThrowException(CArchiveException::badSchema, "unknown arc kind " + std::to_string(kind));
        a.m_kind = kind;
        GetPoint(ar, a.m_start.x, a.m_start.y, a.m_start.z);
        GetPoint(ar, a.m_end.x, a.m_end.y, a.m_end.z);
        double extra[6];
        for (double& v : extra) ar >> v;
        if (kind == CArrayOfArcs::kCircular) {
            a.m_centre = CPoint3D(extra[0], extra[1], extra[2]);
            a.m_normal = CVector3D(extra[3], extra[4], extra[5]);
        } else if (!AllZeroBits(extra, 6)) {
            // Reserved in a straight segment; anything else would not survive a rewrite.
            ar.ThrowException(CArchiveException::badSchema, "straight segment with a centre or normal");
        }
        DWORD colour = 0;
        LONG pen = 0;
        ar >> colour >> pen;
        a.m_colour = colour;
        a.m_penWidth = pen;
        arcs.Add(a);
    }
}

void LoadLeg(CArchive& ar, CUTRay& r) {
    BYTE rec[kLegRecord];
    ar.EnsureRead(rec, sizeof rec);
    const BYTE* p = rec;
    auto get = [&p](auto& v) {
        std::memcpy(&v, p, sizeof v);
        p += sizeof v;
    };
    int32_t kind;
    uint32_t flags;
    double o[3], tip[3], t0, t1OrSpeed;
    uint32_t colour;
    int32_t pen;
    get(kind), get(flags);
    get(o[0]), get(o[1]), get(o[2]);
    get(tip[0]), get(tip[1]), get(tip[2]);
    get(t0), get(t1OrSpeed), get(colour), get(pen);
    if (flags & ~kLegHasEnd) ar.ThrowException(CArchiveException::badSchema, "unknown leg flags");
    const CPoint3D origin(o[0], o[1], o[2]);
    if (flags & kLegHasEnd)
        r = CUTRay(origin, CPoint3D(tip[0], tip[1], tip[2]), t0, t1OrSpeed);
    else
        r = CUTRay(origin, CVector3D(tip[0], tip[1], tip[2]), t1OrSpeed, t0);
    r.m_kind = kind;
    r.m_colour = colour;
    r.m_penWidth = pen;
}

void LoadSnapshot(CArchive& ar, CSimulationData::stSnapshot& s) {
    s.m_outlineItems.resize(GetCount(ar, kMinArcsRecord, "outline item"));
    for (auto& item : s.m_outlineItems) LoadArcs(ar, item.m_arcs);
    LONG nBundles = 0;
    ar >> nBundles;
    s.m_nBundles = nBundles;
    s.m_bundles.resize(GetCount(ar, kMinBundleRecord, "bundle"));
    for (auto& bundle : s.m_bundles) {
        const size_t legs = GetCount(ar, kLegRecord, "leg");
        bundle.m_rays.resize(legs);
        for (auto& leg : bundle.m_rays) LoadLeg(ar, leg);
    }
    ar >> s.m_windowStart >> s.m_windowLength >> s.m_yMax >> s.m_yMin >> s.m_sampleInterval >>
        s.m_windowSampleInterval >> s.m_dataStart;
    LONG nSamples = 0;
    ar >> nSamples;
    if (nSamples < 0) ar.ThrowException(CArchiveException::badSchema, "negative sample count");
    s.m_xLabel = GetString(ar, "x label");
    if (static_cast<ULONGLONG>(nSamples) * sizeof(float) > ar.GetBytesRemaining())
        ar.ThrowException(CArchiveException::endOfFile, "sample count exceeds the bytes left");
    s.m_samples.resize(static_cast<size_t>(nSamples));
    s.m_nSamples = nSamples;
    BYTE* data = reinterpret_cast<BYTE*>(s.m_samples.data());
    const size_t bytes = s.m_samples.size() * sizeof(float);
    for (size_t done = 0; done < bytes;) {
        const size_t chunk = std::min<size_t>(bytes - done, size_t{1} << 30);
        ar.EnsureRead(data + done, static_cast<UINT>(chunk));
        done += chunk;
    }
}

}  // namespace

void CSimulationData::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        Store(ar);
        return;
    }
    Load(ar);
}

void CSimulationData::Store(CArchive& ar) const {
    {
        ar.Write(kSignature, sizeof kSignature);
        ar << kVersion;
        StoreArcs(ar, m_outline);
        ar << static_cast<LONG>(m_displaySnapshot);
        PutCount(ar, m_snapshots.size());
        for (const auto& s : m_snapshots) StoreSnapshot(ar, s);
        StoreArcs(ar, m_extraOutline);
        PutCount(ar, m_labels.size());
        for (const auto& l : m_labels) {
            PutString(ar, l.m_text);
            PutPoint(ar, l.m_anchor.x, l.m_anchor.y, l.m_anchor.z);
            PutPoint(ar, l.m_span1.x, l.m_span1.y, l.m_span1.z);
            PutPoint(ar, l.m_span2.x, l.m_span2.y, l.m_span2.z);
        }
        const CPoint3D& o = m_viewFrame.GetOrigin();
        PutPoint(ar, o.x, o.y, o.z);
        for (const CVector3D* v : {&m_viewFrame.GetXAxis(), &m_viewFrame.GetYAxis(), &m_viewFrame.GetZAxis()})
            PutPoint(ar, v->x, v->y, v->z);
        ar << m_viewRect.left << m_viewRect.bottom << m_viewRect.right << m_viewRect.top;
        ar << m_probeFrequency << m_probeBandwidth;
    }
}

void CSimulationData::Load(CArchive& ar) {
    {

    char signature[4];
    ar.EnsureRead(signature, sizeof signature);
    if (std::memcmp(signature, kSignature, sizeof signature) != 0)
        ar.ThrowException(CArchiveException::badSchema, "not a simulation data set");
    DWORD version = 0;
    ar >> version;
    if (version != kVersion)
        ar.ThrowException(CArchiveException::badSchema, "unknown version " + std::to_string(version));

    // Read into a fresh set so a failure leaves this one as it was.
    CSimulationData d;
    LoadArcs(ar, d.m_outline);
    LONG display = 0;
    ar >> display;
    d.m_displaySnapshot = display;
    d.m_snapshots.resize(GetCount(ar, kMinSnapshotRecord, "snapshot"));
    for (auto& s : d.m_snapshots) LoadSnapshot(ar, s);
    LoadArcs(ar, d.m_extraOutline);
    d.m_labels.resize(GetCount(ar, kMinLabelRecord, "label"));
    for (auto& l : d.m_labels) {
        l.m_text = GetString(ar, "label text");
        GetPoint(ar, l.m_anchor.x, l.m_anchor.y, l.m_anchor.z);
        GetPoint(ar, l.m_span1.x, l.m_span1.y, l.m_span1.z);
        GetPoint(ar, l.m_span2.x, l.m_span2.y, l.m_span2.z);
    }
    double f[12];
    for (double& v : f) ar >> v;
    d.m_viewFrame = CCoordinates3D(CPoint3D(f[0], f[1], f[2]), CVector3D(f[3], f[4], f[5]), CVector3D(f[6], f[7], f[8]),
                                   CVector3D(f[9], f[10], f[11]));
    float r[4];
    for (float& v : r) ar >> v;
    d.m_viewRect = CfRect(r[0], r[1], r[2], r[3]);
    ar >> d.m_probeFrequency >> d.m_probeBandwidth;
    // Bytes beyond the data set would be lost by a rewrite; a file we did not write is refused.
    if (ar.GetBytesRemaining() != 0)
        ar.ThrowException(CArchiveException::badSchema, "bytes after the end of the data set");
    *this = std::move(d);
    }
}
