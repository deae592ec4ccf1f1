#pragma once
// The document as stored: a JSON file with the page size, the controls in order (ProgID, container
// name, rectangle, stored properties) and the macros by name. Reading checks structure and types
// and reports each problem as one line naming where it is; a control that cannot be described is
// left out, the rest of the document is kept.
#include <cstdint>
#include <memory>
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
    // Where the entry stands in the file's "controls" array; -1 for a control the file did not
    // have. Saving merges the entry back into its place.
    int sourceIndex = -1;
};

// The document as the file said it, member for member, so a save writes back what the host does
// not understand (other members, entries it left out, macros that are no strings) in place and
// order. Defined where the JSON is read.
struct SDocumentSource;

// A whole document.
struct SDocumentModel {
    int pageWidth = 0;
    int pageHeight = 0;
    std::vector<SDocumentControl> controls;
    // Lua source by macro name, in file order.
    std::vector<std::pair<std::string, std::string>> macros;
    // The file the model was read from; none for a model made in code.
    std::shared_ptr<const SDocumentSource> source;
};

// Limits of the page and the control rectangles, so a hostile document cannot ask for a surface
// the window manager refuses or sizes that do not fit the 16 bits window messages carry.
constexpr int kMaxPageExtent = 8192;
constexpr int kMaxControlExtent = 32767;

// One memory budget for the pictures of an open document: the page's surface and, for each
// control, two pictures of its size (a back buffer, and a plot's composition and background
// bitmaps), 1 GiB of 32-bit pixels in all. It is checked before anything is made: a control that
// would take the document past it is left out with a message naming it and its size.
constexpr uint64_t kPictureBudgetPixels = 1ull << 28;
constexpr uint64_t kPicturesPerControl = 2;

// Parses a document. A file that is not a JSON object or has no usable page fails: false, with one
// line in `error`. Problems within single controls, properties or macros are appended to
// `warnings` (one line each, naming the entry) and that entry, or that value, is left out.
bool ParseDocumentJson(const std::string& text, SDocumentModel& model, std::string& error,
                       std::vector<std::string>& warnings);

// The JSON text of a document. A model read from a file is written over that file's members:
// what the model holds replaces what it was read from, where it differs; everything else stays
// as the file had it, in its order. A model made in code is written in the layout above (page,
// controls, macros). Numbers that are not finite are written as the strings "NaN", "Infinity"
// and "-Infinity", which a float property reads back.
std::string FormatDocumentJson(const SDocumentModel& model);

// Whether two stored values are the same (NaN is the same as NaN, an integer as the equal float).
bool SameStoredValue(const CStoredValue& a, const CStoredValue& b);

// Named files; false with one line in `error` (the file name first) on failure.
bool LoadDocumentFile(const std::string& path, SDocumentModel& model, std::string& error,
                      std::vector<std::string>& warnings);
bool SaveDocumentFile(const std::string& path, const SDocumentModel& model, std::string& error);

// How a stored value reads in messages: "a string", "a boolean", "a number".
const char* DescribeStoredValue(const CStoredValue& value);
