// Writing the JSON form. A streaming writer rather than a document tree: a data set of millions
// of legs converts without building a second copy of itself in memory.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "geometry/SimulationDataJson.h"

#include "platform/base/SafeFile.h"

namespace {

// Non-finite values have no JSON number; they travel as these strings.
constexpr const char* kNaN = "\"NaN\"";
constexpr const char* kInfinity = "\"Infinity\"";
constexpr const char* kMinusInfinity = "\"-Infinity\"";

// A plain run of digits would read back as an integer and lose the sign of -0.0.
void MakeFloatLiteral(std::string& s) {
    if (s.find_first_of(".eE") == std::string::npos) s += ".0";
}

std::string Number(double v) {
    if (std::isnan(v)) return kNaN;
    if (std::isinf(v)) return v > 0 ? kInfinity : kMinusInfinity;
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, res.ptr);
    MakeFloatLiteral(s);
    return s;
}

// The shortest text that reads back (through a double, as JSON readers do) as exactly v.
std::string Number(float v) {
    if (std::isnan(v) || std::isinf(v)) return Number(static_cast<double>(v));
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, res.ptr);
    if (static_cast<float>(std::strtod(s.c_str(), nullptr)) != v) return Number(static_cast<double>(v));
    MakeFloatLiteral(s);
    return s;
}

std::string Triple(double x, double y, double z) { return "[" + Number(x) + ", " + Number(y) + ", " + Number(z) + "]"; }
std::string Triple(const CPoint3D& p) { return Triple(p.x, p.y, p.z); }
std::string Triple(const CVector3D& v) { return Triple(v.x, v.y, v.z); }

std::string String(const std::string& s) {
    return nlohmann::json(s).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string Colour(COLORREF c) {
    if (c > 0xFFFFFF) return std::to_string(c);
    char buf[16];
    std::snprintf(buf, sizeof buf, "\"#%02X%02X%02X\"", GetRValue(c), GetGValue(c), GetBValue(c));
    return buf;
}

std::string ArcText(const CArrayOfArcs::stArc& a) {
    std::string s = "{\"start\": " + Triple(a.m_start) + ", \"end\": " + Triple(a.m_end);
    if (a.m_kind == CArrayOfArcs::kCircular)
        s += ", \"centre\": " + Triple(a.m_centre) + ", \"normal\": " + Triple(a.m_normal);
    if (a.m_colour != 0) s += ", \"colour\": " + Colour(a.m_colour);
    if (a.m_penWidth != 1) s += ", \"penWidth\": " + std::to_string(a.m_penWidth);
    return s + "}";
}

std::string LegText(const CUTRay& r) {
    std::string s = "{\"origin\": " + Triple(r.GetOrigin());
    if (r.HasEnd()) {
        s += ", \"end\": " + Triple(r.GetEnd()) + ", \"startTime\": " + Number(r.m_startTime) +
             ", \"endTime\": " + Number(r.GetEndTimeOrSpeed());
    } else {
        s += ", \"direction\": " + Triple(r.GetDirection()) + ", \"speed\": " + Number(r.GetEndTimeOrSpeed()) +
             ", \"startTime\": " + Number(r.m_startTime);
    }
    if (r.m_kind != 0) s += ", \"kind\": " + std::to_string(r.m_kind);
    if (r.m_colour != 0) s += ", \"colour\": " + Colour(r.m_colour);
    if (r.m_penWidth != 1) s += ", \"penWidth\": " + std::to_string(r.m_penWidth);
    return s + "}";
}

void WriteArcs(std::ostream& out, const CArrayOfArcs& arcs, const std::string& indent) {
    if (arcs.GetArcs().empty()) {
        out << "[]";
        return;
    }
    out << "[\n";
    const auto& list = arcs.GetArcs();
    for (size_t i = 0; i < list.size(); ++i)
        out << indent << " " << ArcText(list[i]) << (i + 1 < list.size() ? ",\n" : "\n");
    out << indent << "]";
}

void WriteSnapshot(std::ostream& out, const CSimulationData::stSnapshot& s) {
    out << "  {\n   \"outlineItems\": [";
    for (size_t i = 0; i < s.m_outlineItems.size(); ++i) {
        out << (i ? ",\n    " : "\n    ");
        WriteArcs(out, s.m_outlineItems[i].m_arcs, "    ");
    }
    out << (s.m_outlineItems.empty() ? "],\n" : "\n   ],\n");
    // nBundles is written only when it differs from the number of bundles (absent means all).
    if (static_cast<size_t>(s.m_nBundles) != s.m_bundles.size() || s.m_nBundles < 0)
        out << "   \"nBundles\": " << s.m_nBundles << ",\n";
    out << "   \"bundles\": [";
    for (size_t b = 0; b < s.m_bundles.size(); ++b) {
        const auto& rays = s.m_bundles[b].m_rays;
        out << (b ? ",\n    " : "\n    ") << "{\"rays\": [";
        for (size_t i = 0; i < rays.size(); ++i) out << (i ? ",\n     " : "\n     ") << LegText(rays[i]);
        out << (rays.empty() ? "]}" : "\n    ]}");
    }
    out << (s.m_bundles.empty() ? "],\n" : "\n   ],\n");
    out << "   \"ascan\": {\"windowStart\": " << Number(s.m_windowStart) << ", \"windowLength\": "
        << Number(s.m_windowLength) << ", \"yMax\": " << Number(s.m_yMax) << ", \"yMin\": " << Number(s.m_yMin)
        << ",\n    \"sampleInterval\": " << Number(s.m_sampleInterval)
        << ", \"windowSampleInterval\": " << Number(s.m_windowSampleInterval)
        << ", \"dataStart\": " << Number(s.m_dataStart) << ", \"xLabel\": " << String(s.m_xLabel)
        << ",\n    \"samples\": [";
    for (size_t i = 0; i < s.m_samples.size(); ++i) {
        if (i) out << (i % 16 == 0 ? ",\n     " : ", ");
        out << Number(s.m_samples[i]);
    }
    out << "]}\n  }";
}

}  // namespace

void WriteSimulationDataJson(std::ostream& out, const CSimulationData& data) {
    out << "{\n \"probeFrequency\": " << Number(data.m_probeFrequency) << ",\n \"probeBandwidth\": "
        << Number(data.m_probeBandwidth) << ",\n \"displaySnapshot\": " << data.m_displaySnapshot
        << ",\n \"outline\": ";
    WriteArcs(out, data.m_outline, " ");
    out << ",\n \"extraOutline\": ";
    WriteArcs(out, data.m_extraOutline, " ");
    out << ",\n \"labels\": [";
    for (size_t i = 0; i < data.m_labels.size(); ++i) {
        const auto& l = data.m_labels[i];
        out << (i ? ",\n  " : "\n  ") << "{\"text\": " << String(l.m_text) << ", \"anchor\": " << Triple(l.m_anchor)
            << ", \"span1\": " << Triple(l.m_span1) << ", \"span2\": " << Triple(l.m_span2) << "}";
    }
    out << (data.m_labels.empty() ? "],\n" : "\n ],\n");
    const CCoordinates3D& f = data.m_viewFrame;
    out << " \"viewFrame\": {\"origin\": " << Triple(f.GetOrigin()) << ", \"xAxis\": " << Triple(f.GetXAxis())
        << ", \"yAxis\": " << Triple(f.GetYAxis()) << ", \"zAxis\": " << Triple(f.GetZAxis()) << "},\n";
    const CfRect& r = data.m_viewRect;
    out << " \"viewRect\": {\"left\": " << Number(r.left) << ", \"bottom\": " << Number(r.bottom)
        << ", \"right\": " << Number(r.right) << ", \"top\": " << Number(r.top) << "},\n";
    out << " \"snapshots\": [";
    for (size_t i = 0; i < data.m_snapshots.size(); ++i) {
        out << (i ? ",\n" : "\n");
        WriteSnapshot(out, data.m_snapshots[i]);
    }
    out << (data.m_snapshots.empty() ? "]\n}\n" : "\n ]\n}\n");
}

bool SaveJsonFile(const std::string& path, const CSimulationData& data, std::string& error) {
    std::string why;
    const bool ok = WriteOutputFile(
        path,
        [&data](const std::string& target, std::string& writeWhy) {
            std::ofstream out(target, std::ios::binary | std::ios::trunc);
            if (out) WriteSimulationDataJson(out, data);
            if (!out || !out.flush()) {
                writeWhy = "cannot write the file";
                return false;
            }
            return true;
        },
        why);
    if (!ok) error = path + ": " + why;
    return ok;
}
