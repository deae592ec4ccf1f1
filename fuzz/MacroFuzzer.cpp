// Random scripts in the macro layer's sandbox, against a document with a viewer and a linked
// A-scan control. Whatever the script does (calls with wrong arguments, event handlers that fail,
// endless loops, memory hogs), the run ends with a result or one error line, and the document
// closes without crash or leak. The budget and memory cap are small so a run takes milliseconds.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/DocumentFile.h"
#include "host/HostDocument.h"
#include "host/MacroHost.h"

namespace {

void Finding(const char* what) {
    std::fprintf(stderr, "fuzz finding: %s\n", what);
    std::abort();
}

SDocumentModel MakeDocument() {
    // Small controls: painting is most of a run's time under coverage instrumentation.
    const std::string text = R"({"page": {"width": 160, "height": 80}, "controls": [
        {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "OrvexViewer1", "rect": [0, 0, 80, 80],
         "properties": {"FileName": ")" ORVEX_SOURCE_DIR R"(/tests/data/valid-small.orvex", "RayPlotType": 2}},
        {"progid": "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1", "name": "OrvexAscanViewer1",
         "rect": [80, 0, 80, 80], "properties": {"OrvexViewerName": "OrvexViewer1"}} ]})";
    SDocumentModel model;
    std::string error;
    std::vector<std::string> warnings;
    if (!ParseDocumentJson(text, model, error, warnings)) Finding("the harness's document does not parse");
    return model;
}

// Scripts may not write files from the harness: host.render and host.save become no-ops (the
// host table itself is read-only, so the global is replaced by a view of it).
constexpr const char* kPrelude = R"(
local real = host
host = setmetatable({}, {__index = function(_, k)
  if k == "render" or k == "save" then return function() return true end end
  return real[k]
end})
)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    static const SDocumentModel model = MakeDocument();
    const std::string source(reinterpret_cast<const char*>(bytes), size);

    CHostDocument document;
    std::string error;
    if (!document.OpenModel(model, error)) Finding("the harness's document does not open");
    {
        SMacroLimits limits;
        limits.maxInstructions = 200'000;
        limits.maxMemoryBytes = 8u << 20;
        CMacroHost macros(document, limits);
        macros.SetPrintSink([](std::string_view) {});
        macros.SetReportSink([](const std::string&) {});
        if (!macros.RunSource(kPrelude, "prelude", error)) Finding("the harness's prelude fails");
        if (!macros.RunSource(source, "script fuzz.lua", error) && error.empty())
            Finding("a failed run gave no message");
        // The document stays usable after any script.
        document.Pump(0);
    }
    document.Close();
    return 0;
}
