// Reading and writing the document JSON. Everything a file says is checked before it is used:
// the document reader is fed hostile files by the fuzz harness.
#include "host/DocumentFile.h"

#include <cmath>
#include <fstream>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "platform/base/SafeFile.h"
#include "platform/base/Saturate.h"

using json = nlohmann::ordered_json;

struct SDocumentSource {
    json document;
};

namespace {

// A document bigger than this is refused before it is read: documents hold settings and macros,
// not data sets.
constexpr std::uintmax_t kMaxDocumentBytes = 16u << 20;

// Levels of arrays and objects a document may nest (a document itself needs four).
constexpr int kMaxDocumentDepth = 256;

constexpr const char* kNaNText = "NaN";
constexpr const char* kInfinityText = "Infinity";
constexpr const char* kMinusInfinityText = "-Infinity";

const char* DescribeJson(const json& v) {
    switch (v.type()) {
        case json::value_t::null: return "null";
        case json::value_t::boolean: return "a boolean";
        case json::value_t::string: return "a string";
        case json::value_t::array: return "an array";
        case json::value_t::object: return "an object";
        case json::value_t::discarded: return "nothing";
        default: return "a number";
    }
}

// A whole number within [lo, hi] (a JSON float with no fraction counts too).
bool ReadWholeNumber(const json& v, int lo, int hi, int& out) {
    if (!v.is_number()) return false;
    double d = v.get<double>();
    if (!std::isfinite(d) || d != std::trunc(d) || d < lo || d > hi) return false;
    out = TruncateToInt(d);
    return true;
}

bool ReadStoredValue(const json& v, CStoredValue& out) {
    if (v.is_boolean()) {
        out = v.get<bool>();
    } else if (v.is_number_integer()) {
        // Integers that do not fit 32 bits become doubles, so the control's own conversion decides.
        if (v.is_number_unsigned()) {
            auto u = v.get<std::uint64_t>();
            if (u <= static_cast<std::uint64_t>(std::numeric_limits<int32_t>::max()))
                out = static_cast<int32_t>(u);
            else
                out = static_cast<double>(u);
        } else {
            auto i = v.get<std::int64_t>();
            if (i >= std::numeric_limits<int32_t>::min() && i <= std::numeric_limits<int32_t>::max())
                out = static_cast<int32_t>(i);
            else
                out = static_cast<double>(i);
        }
    } else if (v.is_number_float()) {
        out = v.get<double>();
    } else if (v.is_string()) {
        out = v.get<std::string>();
    } else {
        return false;
    }
    return true;
}

json StoredValueToJson(const CStoredValue& value) {
    return std::visit(
        [](const auto& v) -> json {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, double>) {
                // JSON has no infinities or NaN; the property bag reads these strings back into
                // a float property, so the document reopens with the same value.
                if (std::isnan(v)) return json(kNaNText);
                if (std::isinf(v)) return json(v > 0 ? kInfinityText : kMinusInfinityText);
            }
            return json(v);
        },
        value);
}

std::string Where(size_t index, const std::string& name) {
    std::string where = "controls[" + std::to_string(index) + "]";
    if (!name.empty()) where += " (\"" + name + "\")";
    return where;
}

// One control entry; false (with a warning) when it cannot be placed on the page.
bool ReadControl(const json& entry, size_t index, SDocumentControl& control, std::vector<std::string>& warnings) {
    if (!entry.is_object()) {
        warnings.push_back(Where(index, "") + ": expected an object, got " + DescribeJson(entry) +
                           "; the control is left out");
        return false;
    }
    auto name = entry.find("name");
    if (name != entry.end()) {
        if (!name->is_string()) {
            warnings.push_back(Where(index, "") + ".name: expected a string, got " + DescribeJson(*name) +
                               "; the control is left out");
            return false;
        }
        control.name = name->get<std::string>();
    }
    const std::string where = Where(index, control.name);
    auto progId = entry.find("progid");
    if (progId == entry.end() || !progId->is_string() || progId->get<std::string>().empty()) {
        warnings.push_back(where + ".progid: expected a ProgID string; the control is left out");
        return false;
    }
    control.progId = progId->get<std::string>();

    auto rect = entry.find("rect");
    int r[4] = {0, 0, 0, 0};
    bool rectOk = rect != entry.end() && rect->is_array() && rect->size() == 4;
    for (int i = 0; rectOk && i < 4; ++i) {
        int lo = i < 2 ? -kMaxControlExtent : 0;
        rectOk = ReadWholeNumber((*rect)[i], lo, kMaxControlExtent, r[i]);
    }
    if (!rectOk) {
        warnings.push_back(where + ".rect: expected [left, top, width, height] with whole numbers, width and " +
                           "height from 0 to " + std::to_string(kMaxControlExtent) + "; the control is left out");
        return false;
    }
    control.rect = CRect(r[0], r[1], r[0] + r[2], r[1] + r[3]);

    auto props = entry.find("properties");
    if (props != entry.end()) {
        if (!props->is_object()) {
            warnings.push_back(where + ".properties: expected an object, got " + DescribeJson(*props) +
                               "; the control takes its stored defaults");
        } else {
            for (auto it = props->begin(); it != props->end(); ++it) {
                SStoredProperty p;
                p.name = it.key();
                if (!ReadStoredValue(it.value(), p.value)) {
                    warnings.push_back(where + ".properties." + it.key() +
                                       ": expected a number, a string or a boolean, got " +
                                       DescribeJson(it.value()) + "; the stored default is used");
                    continue;
                }
                control.properties.push_back(std::move(p));
            }
        }
    }
    return true;
}

}  // namespace

const char* DescribeStoredValue(const CStoredValue& value) {
    switch (value.index()) {
        case 0: return "a boolean";
        case 3: return "a string";
        default: return "a number";
    }
}

bool ParseDocumentJson(const std::string& text, SDocumentModel& model, std::string& error,
                       std::vector<std::string>& warnings) {
    // Writing a document (and copying its members) recurses once per level of nesting, so a file
    // nested deeper than any document needs is refused when it is read, not when it is saved.
    bool tooDeep = false;
    const json::parser_callback_t depthCheck = [&tooDeep](int depth, json::parse_event_t, json&) {
        if (depth > kMaxDocumentDepth) tooDeep = true;
        return !tooDeep;
    };
    json doc = json::parse(text, depthCheck, false);
    if (tooDeep) {
        error = "nested deeper than " + std::to_string(kMaxDocumentDepth) + " levels";
        return false;
    }
    if (doc.is_discarded()) {
        error = "not a JSON document";
        return false;
    }
    if (!doc.is_object()) {
        error = std::string("expected a JSON object, got ") + DescribeJson(doc);
        return false;
    }
    SDocumentModel result;
    auto page = doc.find("page");
    if (page == doc.end() || !page->is_object() || !page->contains("width") || !page->contains("height") ||
        !ReadWholeNumber((*page)["width"], 1, kMaxPageExtent, result.pageWidth) ||
        !ReadWholeNumber((*page)["height"], 1, kMaxPageExtent, result.pageHeight)) {
        error = "page: expected {\"width\": W, \"height\": H} with whole numbers from 1 to " +
                std::to_string(kMaxPageExtent);
        return false;
    }

    auto controls = doc.find("controls");
    if (controls != doc.end()) {
        if (!controls->is_array()) {
            warnings.push_back(std::string("controls: expected an array, got ") + DescribeJson(*controls) +
                               "; the page is empty");
        } else {
            for (size_t i = 0; i < controls->size(); ++i) {
                SDocumentControl control;
                control.sourceIndex = static_cast<int>(i);
                if (ReadControl((*controls)[i], i, control, warnings)) result.controls.push_back(std::move(control));
            }
        }
    }

    auto macros = doc.find("macros");
    if (macros != doc.end()) {
        if (!macros->is_object()) {
            warnings.push_back(std::string("macros: expected an object, got ") + DescribeJson(*macros) +
                               "; the document has no macros");
        } else {
            for (auto it = macros->begin(); it != macros->end(); ++it) {
                if (!it.value().is_string()) {
                    warnings.push_back("macros." + it.key() + ": expected Lua source as a string, got " +
                                       DescribeJson(it.value()) + "; the macro is left out");
                    continue;
                }
                result.macros.emplace_back(it.key(), it.value().get<std::string>());
            }
        }
    }
    auto source = std::make_shared<SDocumentSource>();
    source->document = std::move(doc);
    result.source = std::move(source);
    model = std::move(result);
    return true;
}

bool SameStoredValue(const CStoredValue& a, const CStoredValue& b) {
    const bool aNumber = a.index() == 1 || a.index() == 2, bNumber = b.index() == 1 || b.index() == 2;
    if (aNumber && bNumber) {
        const double x = a.index() == 1 ? std::get<int32_t>(a) : std::get<double>(a);
        const double y = b.index() == 1 ? std::get<int32_t>(b) : std::get<double>(b);
        return x == y || (std::isnan(x) && std::isnan(y));
    }
    return a == b;
}

namespace {

// The value `v` of the file, unless the model says something else.
json Keep(const json& original, const json& now) { return original == now ? original : now; }

// Whether the file's JSON value reads as `value` (so it is written back as the file had it).
bool ReadsAs(const json& original, const CStoredValue& value) {
    CStoredValue read;
    return ReadStoredValue(original, read) && SameStoredValue(read, value);
}

json PropertiesJson(const std::vector<SStoredProperty>& properties, const json* original) {
    json props = json::object();
    if (original != nullptr && original->is_object()) {
        for (auto it = original->begin(); it != original->end(); ++it) {
            const SStoredProperty* now = nullptr;
            for (const SStoredProperty& p : properties)
                if (p.name == it.key()) now = &p;
            CStoredValue read;
            if (!ReadStoredValue(it.value(), read)) props[it.key()] = it.value();  // not understood: kept
            else if (now != nullptr) props[it.key()] = ReadsAs(it.value(), now->value) ? it.value() : StoredValueToJson(now->value);
        }
    }
    for (const SStoredProperty& p : properties)
        if (!props.contains(p.name)) props[p.name] = StoredValueToJson(p.value);
    return props;
}

json ControlJson(const SDocumentControl& c, const json* original) {
    json entry = original != nullptr && original->is_object() ? *original : json::object();
    const json rect = {c.rect.left, c.rect.top, c.rect.Width(), c.rect.Height()};
    entry["progid"] = entry.contains("progid") ? Keep(entry["progid"], c.progId) : json(c.progId);
    // A control without a name in the file stays without one (its name is "").
    if (entry.contains("name")) entry["name"] = Keep(entry["name"], c.name);
    else if (!c.name.empty()) entry["name"] = c.name;
    entry["rect"] = entry.contains("rect") ? Keep(entry["rect"], rect) : rect;
    const json* props = original != nullptr && original->is_object() && original->contains("properties")
                            ? &(*original)["properties"]
                            : nullptr;
    // A member the file did not have stays out unless there is something to put in it; one that is
    // no object stays as it was unless the control now has properties to store.
    if (c.properties.empty() && (props == nullptr || !props->is_object())) return entry;
    entry["properties"] = PropertiesJson(c.properties, props);
    return entry;
}

json ControlsJson(const SDocumentModel& model, const json* original) {
    json controls = json::array();
    const bool fromFile = original != nullptr && original->is_array();
    if (fromFile) {
        for (size_t i = 0; i < original->size(); ++i) {
            const SDocumentControl* now = nullptr;
            for (const SDocumentControl& c : model.controls)
                if (c.sourceIndex == static_cast<int>(i)) now = &c;
            // An entry the reader left out is written back as it was.
            controls.push_back(now != nullptr ? ControlJson(*now, &(*original)[i]) : (*original)[i]);
        }
    }
    for (const SDocumentControl& c : model.controls)
        if (!fromFile || c.sourceIndex < 0 || c.sourceIndex >= static_cast<int>(original->size()))
            controls.push_back(ControlJson(c, nullptr));
    return controls;
}

json MacrosJson(const SDocumentModel& model, const json* original) {
    json macros = json::object();
    if (original != nullptr && original->is_object()) {
        for (auto it = original->begin(); it != original->end(); ++it) {
            if (!it.value().is_string()) {
                macros[it.key()] = it.value();  // not Lua source: kept as it was
                continue;
            }
            for (const auto& [name, source] : model.macros)
                if (name == it.key()) macros[it.key()] = Keep(it.value(), source);
        }
    }
    for (const auto& [name, source] : model.macros)
        if (!macros.contains(name)) macros[name] = source;
    return macros;
}

}  // namespace

std::string FormatDocumentJson(const SDocumentModel& model) {
    const json page = {{"width", model.pageWidth}, {"height", model.pageHeight}};
    json doc = json::object();
    if (model.source != nullptr && model.source->document.is_object()) {
        // The file's members in the file's order; the three the host reads are merged with the model.
        for (auto it = model.source->document.begin(); it != model.source->document.end(); ++it) {
            const json& value = it.value();
            if (it.key() == "page") {
                json merged = value.is_object() ? value : json::object();
                for (const char* side : {"width", "height"}) {
                    const json now = page[side];
                    merged[side] = merged.contains(side) ? Keep(merged[side], now) : now;
                }
                doc["page"] = std::move(merged);
            } else if (it.key() == "controls") {
                doc["controls"] = !value.is_array() && model.controls.empty() ? value : ControlsJson(model, &value);
            } else if (it.key() == "macros") {
                doc["macros"] = !value.is_object() && model.macros.empty() ? value : MacrosJson(model, &value);
            } else {
                doc[it.key()] = value;  // a member the host does not know: kept as it was
            }
        }
        if (!doc.contains("page")) doc["page"] = page;
        if (!doc.contains("controls") && !model.controls.empty()) doc["controls"] = ControlsJson(model, nullptr);
        if (!doc.contains("macros") && !model.macros.empty()) doc["macros"] = MacrosJson(model, nullptr);
    } else {
        doc["page"] = page;
        doc["controls"] = ControlsJson(model, nullptr);
        doc["macros"] = MacrosJson(model, nullptr);
    }
    // Bytes that are not UTF-8 (strings are byte strings of the code page) are replaced rather
    // than failing the save.
    return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}

bool LoadDocumentFile(const std::string& path, SDocumentModel& model, std::string& error,
                      std::vector<std::string>& warnings) {
    std::string text, why;
    if (!ReadRegularFile(path, kMaxDocumentBytes, text, why)) {
        error = path + ": cannot open the document (" + why + ")";
        return false;
    }
    if (!ParseDocumentJson(text, model, why, warnings)) {
        error = path + ": " + why;
        return false;
    }
    return true;
}

bool SaveDocumentFile(const std::string& path, const SDocumentModel& model, std::string& error) {
    std::string why;
    if (!WriteOutputText(path, FormatDocumentJson(model), why)) {
        error = path + ": cannot write the document (" + why + ")";
        return false;
    }
    return true;
}
