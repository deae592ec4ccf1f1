// Reading the JSON form. Every check names where it failed, as a path from the top
// ("snapshots[2].bundles[0].rays[17].startTime"), so a hand-written file is quick to fix.
#include <cmath>
#include <cstdio>
#include <memory>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "geometry/SimulationDataJson.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/base/SafeFile.h"

namespace {

using json = nlohmann::json;

[[noreturn]] void Fail(const std::string& path, const std::string& what) {
    throw CJsonDataError((path.empty() ? std::string("data set") : path) + ": " + what);
}

// What the data set built so far holds in memory, bounded by the size of the text it comes
// from: a short entry ("{}" as a snapshot, "[]" as an outline item) makes an object many times
// its size, and a file of nothing else would take far more memory than a data set of its size.
struct SMemoryBound {
    uint64_t allowed = 0;
    uint64_t used = 0;
};
thread_local SMemoryBound* t_memoryBound = nullptr;

// Bytes of memory each byte of JSON text may become, and what any file may take regardless.
constexpr uint64_t kMemoryPerInputByte = 32;
constexpr uint64_t kMemoryForAnyFile = 16u << 20;

// Counts `count` objects of `unit` bytes against the bound before they are made.
void TakeMemory(size_t count, size_t unit, const std::string& path) {
    SMemoryBound* bound = t_memoryBound;
    if (bound == nullptr) return;
    const uint64_t bytes = static_cast<uint64_t>(count) * unit;
    bound->used += bytes;
    if (bound->used > bound->allowed)
        Fail(path, std::to_string(count) + " entries take more memory than a file of this size may (" +
                       std::to_string(kMemoryPerInputByte) + " bytes per byte of the file)");
}

// Installs the bound for one read.
class CMemoryBoundScope {
public:
    explicit CMemoryBoundScope(uint64_t inputBytes) : m_previous(t_memoryBound) {
        m_bound.allowed = kMemoryForAnyFile + kMemoryPerInputByte * inputBytes;
        t_memoryBound = &m_bound;
    }
    ~CMemoryBoundScope() { t_memoryBound = m_previous; }
    CMemoryBoundScope(const CMemoryBoundScope&) = delete;
    CMemoryBoundScope& operator=(const CMemoryBoundScope&) = delete;

private:
    SMemoryBound m_bound;
    SMemoryBound* m_previous;
};

std::string Member(const std::string& path, const char* name) { return path.empty() ? name : path + "." + name; }
std::string Index(const std::string& path, size_t i) { return path + "[" + std::to_string(i) + "]"; }

const json& RequireObject(const json& j, const std::string& path) {
    if (!j.is_object()) Fail(path, "expected an object");
    return j;
}

const json& RequireArray(const json& j, const std::string& path) {
    if (!j.is_array()) Fail(path, "expected an array");
    return j;
}

// Unknown members are refused: a misspelt "endtime" must not silently become a default.
void CheckMembers(const json& obj, const std::string& path, std::initializer_list<const char*> known) {
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        bool found = false;
        for (const char* k : known) found = found || it.key() == k;
        if (!found) Fail(Member(path, it.key().c_str()), "unknown member");
    }
}

const json* Find(const json& obj, const char* name) {
    auto it = obj.find(name);
    return it == obj.end() ? nullptr : &*it;
}

const json& Require(const json& obj, const char* name, const std::string& path) {
    const json* j = Find(obj, name);
    if (!j) Fail(Member(path, name), "missing");
    return *j;
}

double GetDouble(const json& j, const std::string& path) {
    if (j.is_number()) return j.get<double>();
    if (j.is_string()) {
        const auto& s = j.get_ref<const std::string&>();
        if (s == "NaN") return std::numeric_limits<double>::quiet_NaN();
        if (s == "Infinity") return std::numeric_limits<double>::infinity();
        if (s == "-Infinity") return -std::numeric_limits<double>::infinity();
    }
    Fail(path, "expected a number");
}

float GetFloat(const json& j, const std::string& path) {
    const double v = GetDouble(j, path);
    if (!std::isfinite(v) || std::fabs(v) <= std::numeric_limits<float>::max()) return static_cast<float>(v);
    // The shortest text of the largest float ("3.4028235e+38") reads as a double just above it,
    // which still rounds to it; only from half a unit above does a double round to infinity.
    constexpr double kFirstRoundingToInfinity = 0x1.ffffffp127;
    if (std::fabs(v) >= kFirstRoundingToInfinity) Fail(path, "out of range for a 32-bit float");
    return v > 0 ? std::numeric_limits<float>::max() : -std::numeric_limits<float>::max();
}

int32_t GetInt(const json& j, const std::string& path) {
    if (j.is_number_integer()) {
        // Signed and unsigned JSON integers both land here; compare in the widest type.
        if (j.is_number_unsigned()) {
            if (j.get<uint64_t>() <= static_cast<uint64_t>(INT32_MAX)) return static_cast<int32_t>(j.get<uint64_t>());
        } else {
            const int64_t v = j.get<int64_t>();
            if (v >= INT32_MIN && v <= INT32_MAX) return static_cast<int32_t>(v);
        }
        Fail(path, "out of range for a 32-bit integer");
    }
    Fail(path, "expected an integer");
}

COLORREF GetColour(const json& j, const std::string& path) {
    if (j.is_number_integer()) {
        if (!j.is_number_unsigned() && j.get<int64_t>() < 0) Fail(path, "expected a colour 0..0xFFFFFFFF or \"#RRGGBB\"");
        const uint64_t v = j.get<uint64_t>();
        if (v > 0xFFFFFFFFu) Fail(path, "expected a colour 0..0xFFFFFFFF or \"#RRGGBB\"");
        return static_cast<COLORREF>(v);
    }
    if (j.is_string()) {
        const auto& s = j.get_ref<const std::string&>();
        unsigned rgb = 0;
        bool ok = s.size() == 7 && s[0] == '#';
        for (size_t i = 1; ok && i < 7; ++i) {
            const char c = s[i];
            const int d = (c >= '0' && c <= '9') ? c - '0' : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
            ok = d >= 0;
            rgb = rgb * 16 + static_cast<unsigned>(d);
        }
        if (ok) return RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
    }
    Fail(path, "expected a colour 0..0xFFFFFFFF or \"#RRGGBB\"");
}

std::string GetString(const json& j, const std::string& path) {
    if (!j.is_string()) Fail(path, "expected a string");
    return j.get<std::string>();
}

CVector3D GetTriple(const json& j, const std::string& path) {
    if (!j.is_array() || j.size() != 3) Fail(path, "expected [x, y, z]");
    return CVector3D(GetDouble(j[0], Index(path, 0)), GetDouble(j[1], Index(path, 1)), GetDouble(j[2], Index(path, 2)));
}

CPoint3D GetPoint(const json& j, const std::string& path) {
    const CVector3D v = GetTriple(j, path);
    return CPoint3D(v.x, v.y, v.z);
}

double OptionalDouble(const json& obj, const char* name, const std::string& path, double fallback) {
    const json* j = Find(obj, name);
    return j ? GetDouble(*j, Member(path, name)) : fallback;
}

int32_t OptionalInt(const json& obj, const char* name, const std::string& path, int32_t fallback) {
    const json* j = Find(obj, name);
    return j ? GetInt(*j, Member(path, name)) : fallback;
}

COLORREF OptionalColour(const json& obj, const std::string& path) {
    const json* j = Find(obj, "colour");
    return j ? GetColour(*j, Member(path, "colour")) : 0;
}

CArrayOfArcs::stArc ReadArc(const json& j, const std::string& path) {
    RequireObject(j, path);
    CheckMembers(j, path, {"start", "end", "centre", "normal", "colour", "penWidth"});
    CArrayOfArcs::stArc a;
    a.m_start = GetPoint(Require(j, "start", path), Member(path, "start"));
    a.m_end = GetPoint(Require(j, "end", path), Member(path, "end"));
    const json* centre = Find(j, "centre");
    const json* normal = Find(j, "normal");
    if (centre || normal) {
        if (!centre) Fail(Member(path, "centre"), "missing (a circular arc needs centre and normal)");
        if (!normal) Fail(Member(path, "normal"), "missing (a circular arc needs centre and normal)");
        a.m_kind = CArrayOfArcs::kCircular;
        a.m_centre = GetPoint(*centre, Member(path, "centre"));
        a.m_normal = GetTriple(*normal, Member(path, "normal"));
    } else {
        a.m_kind = CArrayOfArcs::kStraight;
        a.m_centre = CPoint3D(0.0, 0.0, 0.0);
    }
    a.m_colour = OptionalColour(j, path);
    a.m_penWidth = OptionalInt(j, "penWidth", path, 1);
    return a;
}

void ReadArcs(const json& j, const std::string& path, CArrayOfArcs& arcs) {
    RequireArray(j, path);
    arcs.RemoveAll();
    TakeMemory(j.size(), sizeof(CArrayOfArcs::stArc), path);
    arcs.Reserve(j.size());
    for (size_t i = 0; i < j.size(); ++i) arcs.Add(ReadArc(j[i], Index(path, i)));
}

CUTRay ReadLeg(const json& j, const std::string& path) {
    RequireObject(j, path);
    CheckMembers(j, path, {"origin", "end", "startTime", "endTime", "direction", "speed", "kind", "colour", "penWidth"});
    const CPoint3D origin = GetPoint(Require(j, "origin", path), Member(path, "origin"));
    const double t0 = GetDouble(Require(j, "startTime", path), Member(path, "startTime"));
    CUTRay r;
    const json* end = Find(j, "end");
    const json* direction = Find(j, "direction");
    if (end && direction) Fail(path, "a leg has either \"end\" or \"direction\", not both");
    if (end) {
        if (Find(j, "speed")) Fail(Member(path, "speed"), "only a leg without end has a speed");
        const double t1 = GetDouble(Require(j, "endTime", path), Member(path, "endTime"));
        r = CUTRay(origin, GetPoint(*end, Member(path, "end")), t0, t1);
    } else if (direction) {
        if (Find(j, "endTime")) Fail(Member(path, "endTime"), "a leg without end has no end time");
        const double speed = GetDouble(Require(j, "speed", path), Member(path, "speed"));
        r = CUTRay(origin, GetTriple(*direction, Member(path, "direction")), speed, t0);
    } else {
        Fail(path, "a leg needs \"end\" and \"endTime\", or \"direction\" and \"speed\"");
    }
    r.m_kind = OptionalInt(j, "kind", path, 0);
    r.m_colour = OptionalColour(j, path);
    r.m_penWidth = OptionalInt(j, "penWidth", path, 1);
    return r;
}

void ReadAscan(const json& j, const std::string& path, CSimulationData::stSnapshot& s) {
    RequireObject(j, path);
    CheckMembers(j, path, {"windowStart", "windowLength", "yMax", "yMin", "sampleInterval", "windowSampleInterval",
                           "dataStart", "xLabel", "samples"});
    s.m_windowStart = OptionalDouble(j, "windowStart", path, 0.0);
    s.m_windowLength = OptionalDouble(j, "windowLength", path, 0.0);
    s.m_yMax = OptionalDouble(j, "yMax", path, 0.0);
    s.m_yMin = OptionalDouble(j, "yMin", path, 0.0);
    s.m_sampleInterval = OptionalDouble(j, "sampleInterval", path, 0.0);
    s.m_windowSampleInterval = OptionalDouble(j, "windowSampleInterval", path, 0.0);
    s.m_dataStart = OptionalDouble(j, "dataStart", path, 0.0);
    if (const json* label = Find(j, "xLabel")) s.m_xLabel = GetString(*label, Member(path, "xLabel"));
    if (const json* samples = Find(j, "samples")) {
        const std::string at = Member(path, "samples");
        RequireArray(*samples, at);
        if (samples->size() > static_cast<size_t>(INT32_MAX)) Fail(at, "too many samples");
        TakeMemory(samples->size(), sizeof(float), at);
        s.m_samples.reserve(samples->size());
        for (size_t i = 0; i < samples->size(); ++i) s.m_samples.push_back(GetFloat((*samples)[i], Index(at, i)));
    }
    CSimulationData::SyncSampleCount(s);
}

void ReadSnapshot(const json& j, const std::string& path, CSimulationData::stSnapshot& s) {
    RequireObject(j, path);
    CheckMembers(j, path, {"outlineItems", "nBundles", "bundles", "ascan"});
    if (const json* items = Find(j, "outlineItems")) {
        const std::string at = Member(path, "outlineItems");
        RequireArray(*items, at);
        TakeMemory(items->size(), sizeof(s.m_outlineItems[0]), at);
        s.m_outlineItems.resize(items->size());
        for (size_t i = 0; i < items->size(); ++i) ReadArcs((*items)[i], Index(at, i), s.m_outlineItems[i].m_arcs);
    }
    if (const json* bundles = Find(j, "bundles")) {
        const std::string at = Member(path, "bundles");
        RequireArray(*bundles, at);
        if (bundles->size() > static_cast<size_t>(INT32_MAX)) Fail(at, "too many bundles");
        TakeMemory(bundles->size(), sizeof(s.m_bundles[0]), at);
        s.m_bundles.resize(bundles->size());
        for (size_t b = 0; b < bundles->size(); ++b) {
            const std::string bundlePath = Index(at, b);
            const json& bundle = RequireObject((*bundles)[b], bundlePath);
            CheckMembers(bundle, bundlePath, {"rays"});
            const std::string raysPath = Member(bundlePath, "rays");
            const json& rays = RequireArray(Require(bundle, "rays", bundlePath), raysPath);
            auto& legs = s.m_bundles[b].m_rays;
            TakeMemory(rays.size(), sizeof(legs[0]), raysPath);
            legs.reserve(rays.size());
            for (size_t i = 0; i < rays.size(); ++i) legs.push_back(ReadLeg(rays[i], Index(raysPath, i)));
        }
    }
    s.m_nBundles = OptionalInt(j, "nBundles", path, static_cast<int32_t>(s.m_bundles.size()));
    if (const json* ascan = Find(j, "ascan")) ReadAscan(*ascan, Member(path, "ascan"), s);
}

void ReadDataSet(const json& j, CSimulationData& out) {
    const std::string root;
    RequireObject(j, root);
    CheckMembers(j, root, {"probeFrequency", "probeBandwidth", "displaySnapshot", "outline", "extraOutline", "labels",
                           "viewFrame", "viewRect", "snapshots"});
    CSimulationData d;
    d.m_probeFrequency = OptionalDouble(j, "probeFrequency", root, d.m_probeFrequency);
    d.m_probeBandwidth = OptionalDouble(j, "probeBandwidth", root, d.m_probeBandwidth);
    d.m_displaySnapshot = OptionalInt(j, "displaySnapshot", root, d.m_displaySnapshot);
    if (const json* outline = Find(j, "outline")) ReadArcs(*outline, "outline", d.m_outline);
    if (const json* extra = Find(j, "extraOutline")) ReadArcs(*extra, "extraOutline", d.m_extraOutline);
    if (const json* labels = Find(j, "labels")) {
        RequireArray(*labels, "labels");
        TakeMemory(labels->size(), sizeof(d.m_labels[0]), "labels");
        d.m_labels.resize(labels->size());
        for (size_t i = 0; i < labels->size(); ++i) {
            const std::string at = Index("labels", i);
            const json& l = RequireObject((*labels)[i], at);
            CheckMembers(l, at, {"text", "anchor", "span1", "span2"});
            auto& label = d.m_labels[i];
            label.m_text = GetString(Require(l, "text", at), Member(at, "text"));
            label.m_anchor = GetPoint(Require(l, "anchor", at), Member(at, "anchor"));
            label.m_span1 = GetTriple(Require(l, "span1", at), Member(at, "span1"));
            label.m_span2 = GetTriple(Require(l, "span2", at), Member(at, "span2"));
        }
    }
    if (const json* frame = Find(j, "viewFrame")) {
        const std::string at = "viewFrame";
        RequireObject(*frame, at);
        CheckMembers(*frame, at, {"origin", "xAxis", "yAxis", "zAxis"});
        const CPoint3D origin = Find(*frame, "origin") ? GetPoint((*frame)["origin"], Member(at, "origin"))
                                                       : CPoint3D(0.0, 0.0, 0.0);
        const CVector3D x = GetTriple(Require(*frame, "xAxis", at), Member(at, "xAxis"));
        const CVector3D y = GetTriple(Require(*frame, "yAxis", at), Member(at, "yAxis"));
        // As the viewer builds it: z = y ^ x, into the screen.
        const CVector3D z = Find(*frame, "zAxis") ? GetTriple((*frame)["zAxis"], Member(at, "zAxis")) : (y ^ x);
        d.m_viewFrame = CCoordinates3D(origin, x, y, z);
    }
    {
        // Without a stored view the data set gets the unit square (a usable view to fit from).
        CfRect r(0.0f, 0.0f, 1.0f, 1.0f);
        if (const json* rect = Find(j, "viewRect")) {
            const std::string at = "viewRect";
            RequireObject(*rect, at);
            CheckMembers(*rect, at, {"left", "bottom", "right", "top"});
            r = CfRect(GetFloat(Require(*rect, "left", at), Member(at, "left")),
                       GetFloat(Require(*rect, "bottom", at), Member(at, "bottom")),
                       GetFloat(Require(*rect, "right", at), Member(at, "right")),
                       GetFloat(Require(*rect, "top", at), Member(at, "top")));
        }
        d.m_viewRect = r;
    }
    if (const json* snapshots = Find(j, "snapshots")) {
        RequireArray(*snapshots, "snapshots");
        if (snapshots->size() > static_cast<size_t>(INT32_MAX)) Fail("snapshots", "too many snapshots");
        TakeMemory(snapshots->size(), sizeof(d.m_snapshots[0]), "snapshots");
        d.m_snapshots.resize(snapshots->size());
        for (size_t i = 0; i < snapshots->size(); ++i) ReadSnapshot((*snapshots)[i], Index("snapshots", i), d.m_snapshots[i]);
    }
    out = std::move(d);
}

json Parse(std::istream& in) {
    try {
        return json::parse(in);
    } catch (const json::exception& e) {
        // Not only parse_error: a number beyond the double range ("1e400") is out_of_range.
        throw CJsonDataError(std::string("not valid JSON: ") + e.what());
    }
}

}  // namespace

void ReadSimulationDataJson(std::istream& in, CSimulationData& data) {
    // The size of the text bounds the memory of the data set, so it is read first.
    std::ostringstream text;
    text << in.rdbuf();
    ReadSimulationDataJsonText(text.str(), data);
}

void ReadSimulationDataJsonText(const std::string& text, CSimulationData& data) {
    std::istringstream in(text);
    CMemoryBoundScope bound(text.size());
    ReadDataSet(Parse(in), data);
}

bool LoadJsonFile(const std::string& path, CSimulationData& data, std::string& error) {
    std::string why;
    const int fd = OpenRegularFile(path.c_str(), why);
    std::FILE* file = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
    if (file == nullptr) {
        if (fd >= 0) ::close(fd);
        error = path + ": cannot open the file (" + why + ")";
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> closer(file, &std::fclose);
    try {
        json parsed;
        try {
            parsed = json::parse(file);
        } catch (const json::exception& e) {
            throw CJsonDataError(std::string("not valid JSON: ") + e.what());
        }
        struct stat st {};
        CMemoryBoundScope bound(::fstat(::fileno(file), &st) == 0 && st.st_size > 0 ? static_cast<uint64_t>(st.st_size) : 0);
        ReadDataSet(parsed, data);
    } catch (const std::bad_alloc&) {
        error = path + ": not enough memory to load the data set";
        return false;
    } catch (const std::exception& e) {
        error = path + ": " + e.what();
        return false;
    }
    return true;
}
