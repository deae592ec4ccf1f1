#pragma once
// The document as stored: a JSON file with the page size, the controls in order (ProgID, container
// name, rectangle, stored properties) and the macros by name. Reading checks structure and types
// and reports each problem as one line naming where it is; a control that cannot be described is
// left out, the rest of the document is kept.
#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/base/WinDef.h"

// A stored property value: JSON booleans, integers (within 32 bits), other numbers, strings.
using CStoredValue = std::variant<bool, int32_t, double, std::string>;

// One stored property, in the order the file (or the control's exchange) lists it.
struct SStoredProperty {
    std::string name;
    CStoredValue value;
};

// One control of the page.
struct SDocumentControl {
    std::string progId;
    std::string name;
    // Page pixels; the file stores [left, top, width, height].
    CRect rect;
    std::vector<SStoredProperty> properties;
};

// A whole document.
struct SDocumentModel {
    int pageWidth = 0;
    int pageHeight = 0;
    std::vector<SDocumentControl> controls;
    // Lua source by macro name, in file order.
    std::vector<std::pair<std::string, std::string>> macros;
};

// Limits of the page and the control rectangles, so a hostile document cannot ask for a surface
// the window manager refuses or sizes that do not fit the 16 bits window messages carry.
constexpr int kMaxPageExtent = 8192;
constexpr int kMaxControlExtent = 32767;

// Parses a document. A file that is not a JSON object or has no usable page fails: false, with one
// line in `error`. Problems within single controls, properties or macros are appended to
// `warnings` (one line each, naming the entry) and that entry, or that value, is left out.
bool ParseDocumentJson(const std::string& text, SDocumentModel& model, std::string& error,
                       std::vector<std::string>& warnings);

// The JSON text of a document, in the layout of the file above (page, controls, macros).
std::string FormatDocumentJson(const SDocumentModel& model);

// Named files; false with one line in `error` (the file name first) on failure.
bool LoadDocumentFile(const std::string& path, SDocumentModel& model, std::string& error,
                      std::vector<std::string>& warnings);
bool SaveDocumentFile(const std::string& path, const SDocumentModel& model, std::string& error);

// How a stored value reads in messages: "a string", "a boolean", "a number".
const char* DescribeStoredValue(const CStoredValue& value);
