// The document reader and the property exchange against arbitrary text. The file form must be a
// fixed point after one save (what a document says survives saving it again), and any document
// the reader accepts opens and closes without crash, leak or unbounded allocation: each control
// is created, sited, loaded through its property exchange, activated and painted.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/DocumentFile.h"
#include "host/HostDocument.h"

namespace {

void Finding(const char* what) {
    std::fprintf(stderr, "fuzz finding: %s\n", what);
    std::abort();
}

// Pages up to this many pixels are opened; bigger ones are refused or accepted by the page-size
// checks the host's own tests cover, and would only slow the search down.
constexpr long long kMaxOpenedPagePixels = 1024 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    SDocumentModel model;
    std::string error;
    std::vector<std::string> warnings;
    if (!ParseDocumentJson(text, model, error, warnings)) {
        if (error.empty()) Finding("a refused document gave no reason");
        return 0;
    }

    const std::string saved = FormatDocumentJson(model);
    SDocumentModel reread;
    std::vector<std::string> rereadWarnings;
    if (!ParseDocumentJson(saved, reread, error, rereadWarnings)) Finding("a saved document does not read back");
    if (FormatDocumentJson(reread) != saved) Finding("saving a document twice gave different files");

    if (static_cast<long long>(model.pageWidth) * model.pageHeight > kMaxOpenedPagePixels) return 0;
    CHostDocument document;
    if (document.OpenModel(model, error)) {
        document.Pump(0);
        const SDocumentModel after = document.GetModel();
        if (after.controls.size() != model.controls.size()) Finding("an open document lost or gained controls");
        document.Close();
    }
    return 0;
}
