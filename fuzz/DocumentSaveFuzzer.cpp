// The document save round trip: text through the document reader, then the writer. For an
// accepted document the written text is the same JSON value as the input (nothing the host does
// not read is lost, nothing is added), reads back to the same model, and writes back to the same
// text (a fixed point).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/DocumentFile.h"

namespace {

void Finding(const char* what) {
    std::fprintf(stderr, "fuzz finding: %s\n", what);
    std::abort();
}

bool SameModel(const SDocumentModel& a, const SDocumentModel& b) {
    if (a.pageWidth != b.pageWidth || a.pageHeight != b.pageHeight || a.macros != b.macros ||
        a.controls.size() != b.controls.size())
        return false;
    for (size_t i = 0; i < a.controls.size(); ++i) {
        const SDocumentControl& x = a.controls[i];
        const SDocumentControl& y = b.controls[i];
        if (x.progId != y.progId || x.name != y.name || x.rect.left != y.rect.left || x.rect.top != y.rect.top || x.rect.right != y.rect.right || x.rect.bottom != y.rect.bottom || x.sourceIndex != y.sourceIndex ||
            x.properties.size() != y.properties.size())
            return false;
        for (size_t p = 0; p < x.properties.size(); ++p)
            if (x.properties[p].name != y.properties[p].name ||
                !SameStoredValue(x.properties[p].value, y.properties[p].value))
                return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    SDocumentModel first;
    std::string error;
    std::vector<std::string> warnings;
    if (!ParseDocumentJson(text, first, error, warnings)) return 0;
    const std::string saved = FormatDocumentJson(first);
    if (nlohmann::json::parse(saved, nullptr, false) != nlohmann::json::parse(text, nullptr, false))
        Finding("the saved document is not the JSON value that was read");
    SDocumentModel second;
    std::vector<std::string> warnings2;
    if (!ParseDocumentJson(saved, second, error, warnings2)) Finding("the saved document does not read back");
    if (!SameModel(first, second)) Finding("the saved document reads back as another model");
    if (warnings2.size() != warnings.size()) Finding("the saved document reads back with other warnings");
    if (FormatDocumentJson(second) != saved) Finding("saving is not a fixed point");
    return 0;
}
