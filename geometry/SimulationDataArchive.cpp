// CSimulationData::Serialize: the binary form that follows the leading 32-bit zero of a .orvex
// file. docs/orvex-file-format.md is the description other programs write against; keep the two
// in step.
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
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

// Memory a data set may cost per byte read (counting only bytes the file stores: a sparse file's
// holes are not input), and the allowance every file has beyond that. Real data costs about 1.2
// (a leg is 96 bytes for 80, a sample 4 for 4); a file made of empty records (a 4-byte outline
// item is a 32-byte object) or of holes is refused once it passes the allowance, so no input
// makes the reader hold more than twice what it stores, plus 4 MB.
constexpr ULONGLONG kCostPerByte = 2;
constexpr ULONGLONG kCostAllowance = 4u << 20;
// Storage a count is trusted with before its bytes are seen; beyond it only as far as the bytes
// the file really stores can fill (a sparse file's hole is not data).
constexpr size_t kTrustedBytes = 1u << 20;
// Arrays this large are asked to use 2 MB pages: a fresh page costs a fault either way, and 4 KB
// faults dominated loading big files.
constexpr size_t kLargePageMin = 4u << 20;
// Samples are read straight into their array in pieces of this size, each first cleared while it
// is still in the cache.
constexpr size_t kSamplePiece = 256u << 10;

void AdviseLargePages(const void* data, size_t bytes) {
    if (bytes < kLargePageMin) return;
    constexpr uintptr_t kLargePage = uintptr_t{2} << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + kLargePage - 1) & ~(kLargePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kLargePage - 1);
    // Advice only: where the system has no large pages to give, the array uses small ones.
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// The state of one load: the archive, and the memory the new data set holds against the bytes
// read so far.
class CLoader {
public:
    CLoader(CArchive& ar, CLegVisitor* visitor)
        : m_ar(ar), m_visitor(visitor), m_start(ar.GetBytesRemaining()), m_stored(ar.GetStoredBytesRemaining()) {}
    CArchive& Ar() { return m_ar; }
    // Legs go here instead of into the bundles when the caller only looks at them once.
    CLegVisitor* Visitor() const { return m_visitor; }
    size_t m_snapshot = 0;  // the snapshot being read

    // Reads a count and checks that the archive still holds count records of at least recordSize
    // bytes (a 64-bit product), so a count can never promise more than the file could fill.
    size_t GetCount(ULONGLONG recordSize, const char* what) {
        LONG n = 0;
        m_ar >> n;
        if (n < 0) m_ar.ThrowException(CArchiveException::badSchema, std::string("negative ") + what + " count");
        if (static_cast<ULONGLONG>(n) * recordSize > m_ar.GetBytesRemaining())
            m_ar.ThrowException(CArchiveException::endOfFile,
                                std::string(what) + " count " + std::to_string(n) + " exceeds the bytes left");
        return static_cast<size_t>(n);
    }

    // Room for more of a run of n elements, each at least recordSize bytes in the file; called
    // when v is full. The whole run gets its storage at once when it is small or the file stores
    // its bytes; otherwise the storage grows with the elements actually read (doubling).
    template <class T>
    void Grow(std::vector<T>& v, size_t n, ULONGLONG recordSize) {
        const size_t have = v.size();
        const size_t left = n - have;
        size_t add = left;
        if (left * sizeof(T) > kTrustedBytes) {
            const ULONGLONG stored = m_ar.GetStoredBytesRemaining() / recordSize;
            add = std::min<size_t>(left, std::max<ULONGLONG>({kTrustedBytes / sizeof(T), stored, have}));
        }
        // Never more than the memory budget could ever allow the whole file (empty outline items
        // cost 8 times their bytes).
        const ULONGLONG budget = kCostPerByte * m_stored + kCostAllowance;
        const ULONGLONG budgetLeft = budget > m_cost ? (budget - m_cost) / sizeof(T) : 0;
        add = std::min<size_t>(add, std::max<ULONGLONG>(budgetLeft, 1));
        v.reserve(have + add);
        AdviseLargePages(v.data(), v.capacity() * sizeof(T));
    }

    // Adds bytes of memory the new data set holds; refuses the file once they pass the budget for
    // the bytes read so far.
    void Charge(ULONGLONG bytes) {
        m_cost += bytes;
        if (m_cost <= kCostAllowance) return;
        const ULONGLONG read = std::min(m_start - m_ar.GetBytesRemaining(), m_stored);
        if (m_cost > kCostPerByte * read + kCostAllowance)
            m_ar.ThrowException(CArchiveException::badSchema,
                                "the data set would need more than " + std::to_string(kCostPerByte) +
                                    " bytes of memory per byte the file stores");
    }

private:
    CArchive& m_ar;
    CLegVisitor* m_visitor;
    ULONGLONG m_start;   // bytes the archive held at the start
    ULONGLONG m_stored;  // of which the file stores
    ULONGLONG m_cost = 0;
};

std::string GetString(CLoader& loader, const char* what) {
    CArchive& ar = loader.Ar();
    DWORD n = 0;
    ar >> n;
    if (n > ar.GetBytesRemaining())
        ar.ThrowException(CArchiveException::endOfFile, std::string(what) + " longer than the bytes left");
    std::string s;
    // Read in pieces when the file does not store the bytes, so a hole cannot claim the memory.
    const size_t trusted = n <= kTrustedBytes ? n : std::max<size_t>(kTrustedBytes, ar.GetStoredBytesRemaining());
    size_t piece = std::min<size_t>(n, trusted);
    while (s.size() < n) {
        const size_t at = s.size();
        const size_t k = std::min<size_t>(n - at, piece);
        s.resize(at + k);
        ar.EnsureRead(s.data() + at, static_cast<UINT>(k));
        piece = std::max(piece, s.size());
    }
    loader.Charge(n);
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

void LoadArcs(CLoader& loader, CArrayOfArcs& arcs) {
    CArchive& ar = loader.Ar();
    const size_t n = loader.GetCount(kArcRecord, "arc");
    arcs.RemoveAll();
    std::vector<CArrayOfArcs::stArc> list;
    for (size_t i = 0; i < n; ++i) {
        if (list.size() == list.capacity()) loader.Grow(list, n, kArcRecord);
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
        list.push_back(a);
        loader.Charge(sizeof a);
    }
    arcs.Assign(std::move(list));
}

// One leg from its 80-byte record.
CUTRay ParseLeg(CArchive& ar, const BYTE* p) {
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
    CUTRay r = (flags & kLegHasEnd) ? CUTRay(origin, CPoint3D(tip[0], tip[1], tip[2]), t0, t1OrSpeed)
                                    : CUTRay(origin, CVector3D(tip[0], tip[1], tip[2]), t1OrSpeed, t0);
    r.m_kind = kind;
    r.m_colour = colour;
    r.m_penWidth = pen;
    return r;
}

// Legs are parsed where the archive buffered them; only a record split between two refills of
// the buffer is copied. With a visitor they go to it in pieces, and legs stays empty.
void LoadLegs(CLoader& loader, std::vector<CUTRay>& legs) {
    CArchive& ar = loader.Ar();
    const size_t n = loader.GetCount(kLegRecord, "leg");
    CLegVisitor* visitor = loader.Visitor();
    constexpr size_t kPiece = 4096;
    std::vector<CUTRay> piece;
    std::vector<CUTRay>& into = visitor ? piece : legs;
    const size_t limit = visitor ? std::min(n, kPiece) : n;
    if (visitor) piece.reserve(limit);
    for (size_t done = 0; done < n;) {
        if (into.size() == into.capacity()) loader.Grow(into, limit, kLegRecord);
        const BYTE* p = nullptr;
        const UINT available = ar.PeekBuffered(p);
        const size_t room = std::min({n - done, limit - into.size(), into.capacity() - into.size()});
        const size_t whole = std::min<size_t>(room, available / kLegRecord);
        size_t added = whole;
        if (whole == 0) {
            BYTE rec[kLegRecord];
            ar.EnsureRead(rec, sizeof rec);
            into.push_back(ParseLeg(ar, rec));
            added = 1;
        } else {
            for (size_t i = 0; i < whole; ++i) into.push_back(ParseLeg(ar, p + i * kLegRecord));
            ar.Skip(static_cast<UINT>(whole * kLegRecord));
        }
        done += added;
        if (!visitor) {
            loader.Charge(added * sizeof(CUTRay));
            continue;
        }
        if (into.size() == limit || done == n) {
            visitor->OnLegs(loader.m_snapshot, into.data(), into.size());
            into.clear();
        }
    }
}

void LoadSamples(CLoader& loader, std::vector<float>& samples, size_t n) {
    CArchive& ar = loader.Ar();
    while (samples.size() < n) {
        if (samples.size() == samples.capacity()) loader.Grow(samples, n, sizeof(float));
        const size_t at = samples.size();
        const size_t k = std::min({n, samples.capacity(), at + kSamplePiece / sizeof(float)}) - at;
        samples.resize(at + k);
        ar.EnsureRead(samples.data() + at, static_cast<UINT>(k * sizeof(float)));
        loader.Charge(k * sizeof(float));
    }
}

void LoadSnapshot(CLoader& loader, CSimulationData::stSnapshot& s) {
    CArchive& ar = loader.Ar();
    const size_t items = loader.GetCount(kMinArcsRecord, "outline item");
    while (s.m_outlineItems.size() < items) {
        if (s.m_outlineItems.size() == s.m_outlineItems.capacity()) loader.Grow(s.m_outlineItems, items, kMinArcsRecord);
        loader.Charge(sizeof(CSimulationData::stOutlineItem));
        LoadArcs(loader, s.m_outlineItems.emplace_back().m_arcs);
    }
    LONG nBundles = 0;
    ar >> nBundles;
    s.m_nBundles = nBundles;
    const size_t bundles = loader.GetCount(kMinBundleRecord, "bundle");
    while (s.m_bundles.size() < bundles) {
        if (s.m_bundles.size() == s.m_bundles.capacity()) loader.Grow(s.m_bundles, bundles, kMinBundleRecord);
        loader.Charge(sizeof(CBundle));
        LoadLegs(loader, s.m_bundles.emplace_back().m_rays);
    }
    ar >> s.m_windowStart >> s.m_windowLength >> s.m_yMax >> s.m_yMin >> s.m_sampleInterval >>
        s.m_windowSampleInterval >> s.m_dataStart;
    LONG nSamples = 0;
    ar >> nSamples;
    if (nSamples < 0) ar.ThrowException(CArchiveException::badSchema, "negative sample count");
    s.m_xLabel = GetString(loader, "x label");
    if (static_cast<ULONGLONG>(nSamples) * sizeof(float) > ar.GetBytesRemaining())
        ar.ThrowException(CArchiveException::endOfFile, "sample count exceeds the bytes left");
    LoadSamples(loader, s.m_samples, static_cast<size_t>(nSamples));
    s.m_nSamples = nSamples;
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

void CSimulationData::Load(CArchive& ar, CLegVisitor* legs) {
    // A job that read this very file to check it left the result for this load.
    if (legs == nullptr && TakeKeptDataSet(ar, *this)) return;
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
    CLoader loader(ar, legs);
    CSimulationData d;
    LoadArcs(loader, d.m_outline);
    LONG display = 0;
    ar >> display;
    d.m_displaySnapshot = display;
    const size_t snapshots = loader.GetCount(kMinSnapshotRecord, "snapshot");
    while (d.m_snapshots.size() < snapshots) {
        if (d.m_snapshots.size() == d.m_snapshots.capacity()) loader.Grow(d.m_snapshots, snapshots, kMinSnapshotRecord);
        loader.Charge(sizeof(CSimulationData::stSnapshot));
        loader.m_snapshot = d.m_snapshots.size();
        LoadSnapshot(loader, d.m_snapshots.emplace_back());
    }
    LoadArcs(loader, d.m_extraOutline);
    const size_t labels = loader.GetCount(kMinLabelRecord, "label");
    while (d.m_labels.size() < labels) {
        if (d.m_labels.size() == d.m_labels.capacity()) loader.Grow(d.m_labels, labels, kMinLabelRecord);
        loader.Charge(sizeof(CSimulationData::stLabel));
        CSimulationData::stLabel& l = d.m_labels.emplace_back();
        l.m_text = GetString(loader, "label text");
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
