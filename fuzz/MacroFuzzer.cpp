// Random scripts in the macro layer's sandbox, against a document with a viewer and a linked
// A-scan control. Whatever the script does (calls with wrong arguments, event handlers that fail,
// endless loops, memory hogs), the run ends with a result or one error line, and the document
// closes without crash or leak. The budget and memory cap are small so a run takes milliseconds.
// The document is shared between inputs that leave it as it was (see below).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/DocumentFile.h"
#include "host/HostDocument.h"
#include "host/MacroHost.h"

#include <lua.hpp>

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

// Whether the script used a host call that changes state the saved form does not show (the
// clock's timers, queued mouse input, the property frame); set from Lua through the prelude.
bool g_touchedHost = false;

int TouchHost(lua_State*) {
    g_touchedHost = true;
    return 0;
}

// Scripts may not write files from the harness: host.render, host.save, host.print and
// host.render_frame become no-ops (the host table itself is read-only, so the global is replaced
// by a view of it). Calls that change what the saved form does not show are noted.
constexpr const char* kPrelude = R"(
local touch = __touch
__touch = nil
local real = host
local changesTheHost = {pump = true, mouse = true, frame = true, file_dialog_answer = true}
host = setmetatable({}, {__index = function(_, k)
  if changesTheHost[k] then touch() end
  if k == "render" or k == "save" or k == "print" or k == "render_frame" then return function() return true end end
  return real[k]
end})
)";

// What the document looks like from outside: its saved form, clock and debugger output. A run
// that leaves these as they were (and did not touch the host table) leaves the document as a
// fresh one, so the next input starts from the same state and reproduces on its own.
struct SDocumentState {
    std::string saved;
    uint64_t time = 0;
    size_t traceLines = 0;
    bool operator==(const SDocumentState&) const = default;
};

SDocumentState StateOf(CHostDocument& document) {
    return {FormatDocumentJson(document.GetModel()), document.GetTime(), document.Trace().size()};
}

}  // namespace

// Opening the document (two controls, a data file, a paint) is most of a run's time; it is opened
// once and reused for every input that leaves it as it was opened, and opened again otherwise.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    static const SDocumentModel model = MakeDocument();
    static CHostDocument* document = nullptr;
    static SDocumentState pristine;
    const std::string source(reinterpret_cast<const char*>(bytes), size);

    std::string error;
    if (document == nullptr) {
        document = new CHostDocument;
        if (!document->OpenModel(model, error)) Finding("the harness's document does not open");
        pristine = StateOf(*document);
    }
    g_touchedHost = false;
    {
        SMacroLimits limits;
        limits.maxInstructions = 100'000;
        limits.maxMemoryBytes = 8u << 20;
        CMacroHost macros(*document, limits);
        macros.SetPrintSink([](std::string_view) {});
        macros.SetReportSink([](const std::string&) {});
        if (!macros.Start(error)) Finding("the harness's macro layer does not start");
        lua_State* L = macros.GetSandbox()->GetState();
        lua_pushcfunction(L, TouchHost);
        lua_setglobal(L, "__touch");
        if (!macros.RunSource(kPrelude, "prelude", error)) Finding("the harness's prelude fails");
        if (!macros.RunSource(source, "script fuzz.lua", error) && error.empty())
            Finding("a failed run gave no message");
        // The document stays usable after any script.
        document->Pump(0);
        macros.Close();
    }
    if (g_touchedHost || !(StateOf(*document) == pristine)) {
        document->Close();
        delete document;
        document = nullptr;
    }
    return 0;
}
