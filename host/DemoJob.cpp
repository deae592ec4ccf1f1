#include "host/DemoJob.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
#include "host/AnimationJob.h"
#include "host/AscanJob.h"
#include "host/AscanTraces.h"
#include "host/BscanPicture.h"
#include "host/DispatchCalls.h"
#include "host/GateMeasureJob.h"
#include "host/HostDocument.h"
#include "host/MacroHost.h"
#include "host/Printing.h"
#include "host/RenderJob.h"
#include "ids/OrvexViewerIds.h"
#include "platform/com/Variant.h"
#include "platform/gdi/Png.h"
#include "simulation/Generator.h"

namespace fs = std::filesystem;

namespace {

// The ray time of the cut and pulse pictures: the pulse is at the hole.
constexpr double kDemoRayTime = 12.0;
// The animation's timer period, by which the frames are spaced.
constexpr DWORD kFramePeriodMs = 200;
// The macro the demo runs in its document.
constexpr const char* kTourMacro = "Tour";
constexpr const char* kTourPrefix = "tour_";

std::string Numbered(const char* prefix, int n, int width, const char* suffix) {
    char text[64];
    std::snprintf(text, sizeof text, "%s%0*d%s", prefix, width, n, suffix);
    return text;
}

bool GetDouble(IDispatch* disp, const char* name, double& value, std::string& error) {
    VARIANT v;
    VariantInit(&v);
    if (!InvokeByName(disp, name, DISPATCH_PROPERTYGET, {}, &v, error)) return false;
    const bool ok = v.vt == VT_R8;
    if (ok) value = v.dblVal;
    else error = std::string(name) + ": not a number";
    VariantClear(&v);
    return ok;
}

bool PutDouble(IDispatch* disp, const char* name, double value, std::string& error) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    return PutPropertyByName(disp, name, v, error);
}

// Everything the demo writes goes through here: the absolute folder to write in (the document
// changes the working folder while it is open) and the folder as the user gave it, for the report.
class CDemoWriter {
public:
    CDemoWriter(fs::path dir, std::string shown, const std::function<void(const std::string&)>& wrote)
        : m_dir(std::move(dir)), m_shown(std::move(shown)), m_wrote(wrote) {}
    std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }
    void Report(const std::string& name) const {
        if (m_wrote) m_wrote((fs::path(m_shown) / name).string());
    }
    const fs::path& Dir() const { return m_dir; }

private:
    fs::path m_dir;
    std::string m_shown;
    const std::function<void(const std::string&)>& m_wrote;
};

bool WriteViewerPictures(const CDemoWriter& out, const std::string& data, std::string& error) {
    struct {
        const char* name;
        std::optional<SRenderOptions::EView> view;
        std::optional<SHORT> plot;
    } pictures[] = {
        {"viewer_front.png", SRenderOptions::EView::Front, std::nullopt},
        {"viewer_side.png", SRenderOptions::EView::Side, std::nullopt},
        {"viewer_top.png", SRenderOptions::EView::Top, std::nullopt},
        {"viewer_full.png", std::nullopt, SHORT{0}},
        {"viewer_end.png", std::nullopt, SHORT{1}},
        {"viewer_pulse.png", std::nullopt, SHORT{2}},
    };
    for (const auto& p : pictures) {
        SRenderOptions options;
        options.inputPath = data;
        options.outputPath = out.PathOf(p.name);
        options.view = p.view;
        options.plotType = p.plot;
        if (p.plot && *p.plot != 0) options.time = kDemoRayTime;
        if (!RunRenderJob(options, error)) return false;
        out.Report(p.name);
    }
    return true;
}

bool WriteAscanPictures(const CDemoWriter& out, const std::string& data, int snapshots, std::string& error) {
    for (int k = 0; k < snapshots; ++k) {
        SAscanOptions options;
        options.inputPath = data;
        options.snapshot = k;
        const std::string name = Numbered("ascan_snapshot_", k, 2, ".png");
        options.outputPath = out.PathOf(name);
        if (!RunAscanJob(options, error)) return false;
        out.Report(name);
    }
    return true;
}

// One cycle of the pulse animation: a frame at the start limit, then one per timer tick until the
// time wraps back to the start (or the frame limit).
bool WriteAnimationFrames(const CDemoWriter& out, const std::string& data, int maxFrames, std::string& error) {
    std::error_code ec;
    fs::create_directories(out.Dir() / "frames", ec);
    if (ec) {
        error = out.PathOf("frames") + ": " + ec.message();
        return false;
    }
    SDocumentModel model;
    model.pageWidth = 500;
    model.pageHeight = 400;
    SDocumentControl entry;
    entry.progId = kOrvexViewerProgID;
    entry.name = kRenderViewerName;
    entry.rect = CRect(0, 0, model.pageWidth, model.pageHeight);
    model.controls.push_back(entry);
    CHostDocument document;
    if (!document.OpenModel(model, error)) return false;
    CComPtr<IDispatch> viewer = document.GetExtendedControl(kRenderViewerName);
    if (!viewer) {
        error = "the viewer control is not available";
        return false;
    }
    VARIANT file;
    VariantInit(&file);
    file.vt = VT_BSTR;
    file.bstrVal = SysAllocStringFrom(data);
    bool ok = PutPropertyByName(viewer.get(), "FileName", file, error);
    VariantClear(&file);
    double start = 0.0;
    ok = ok && GetDouble(viewer.get(), "PulseAnimateStartLimit", start, error) &&
         PutDouble(viewer.get(), "RayEndTime", start, error) &&
         CallMethodByName(viewer.get(), "AnimatePulse", {}, error);
    if (!ok) return false;

    int frames = 0;
    double previous = start;
    while (frames < maxFrames) {
        const std::string name = "frames/" + Numbered("pulse_", frames, 3, ".png");
        if (!document.Render(out.PathOf(name), error)) return false;
        ++frames;
        document.Pump(kFramePeriodMs);
        double now = 0.0;
        if (!GetDouble(viewer.get(), "RayEndTime", now, error)) return false;
        if (now <= previous) break;  // wrapped: the cycle is complete
        previous = now;
    }
    CallMethodByName(viewer.get(), "AnimatePulse", {}, error);
    if (frames > 0)
        out.Report("frames/pulse_000.png ... " + Numbered("pulse_", frames - 1, 3, ".png") + " (" +
                   std::to_string(frames) + " frames, " + std::to_string(kFramePeriodMs) + " ms apart)");
    return true;
}

bool RunDemoDocument(const CDemoWriter& out, CPngBackgroundWrites& writes, std::string& error) {
    const std::string docPath = out.PathOf("demo.json");
    {
        std::ofstream doc(docPath, std::ios::binary | std::ios::trunc);
        doc << DemoDocumentText();
        if (!doc.flush()) {
            error = docPath + ": cannot write the file";
            return false;
        }
    }
    out.Report("demo.json");

    std::set<fs::path> before;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(out.Dir(), ec)) before.insert(e.path().filename());

    CHostDocument document;
    if (!document.Open(docPath, error)) return false;
    if (!document.GetMessages().empty()) {
        error = "demo.json: " + document.GetMessages().front();
        return false;
    }
    // Relative to the document's folder, which is the working folder while it is open.
    if (!document.Render("demo_document.png", error)) return false;
    out.Report("demo_document.png");
    // The same page printed, as vector files for reports.
    for (const char* name : {"demo_document.pdf", "demo_document.svg"}) {
        if (!PrintDocument(document, name, EPaperSize::A4, error)) return false;
        out.Report(name);
    }

    CMacroHost macros(document);
    const bool ran = macros.RunMacro(kTourMacro, error);
    macros.Close();
    document.Close();

    // The tour's pictures are found in the folder, so they must be on disk first.
    std::string writeError;
    const bool written = writes.Finish(writeError);
    // The tour's pictures, whether or not it ran to its end.
    std::vector<std::string> made;
    for (const auto& e : fs::directory_iterator(out.Dir(), ec)) {
        const std::string name = e.path().filename().string();
        if (name.rfind(kTourPrefix, 0) == 0 && !before.count(e.path().filename())) made.push_back(name);
    }
    std::sort(made.begin(), made.end());
    for (const auto& name : made) out.Report(name);
    if (ran && !written) error = writeError;
    return ran && written;
}

// The measurements and exports of the data: its B-scan, a gate table over every snapshot (the
// echo of the hole and the later time range) and the pulse animation as a GIF.
bool WriteMeasurements(const CDemoWriter& out, const std::string& data, std::string& error) {
    {
        CAscanTraceSource source;
        if (!source.Open(data, error)) return false;
        if (!WriteBscan(source.GetViewer().get(), SBscanOptions(), out.PathOf("bscan.png"), error)) return false;
    }
    out.Report("bscan.png");

    SGatesOptions gates;
    gates.inputPath = data;
    gates.allSnapshots = true;
    SMeasureGate echo, late;
    echo.start = 15.0;
    echo.end = 30.0;
    echo.threshold = 0.1;
    late.start = 30.0;
    late.end = 50.0;
    late.threshold = 0.05;
    gates.gates = {echo, late};
    std::vector<SGateTableRow> rows;
    if (!MeasureGates(gates, rows, error)) return false;
    {
        std::ofstream table(out.PathOf("gates.txt"), std::ios::binary | std::ios::trunc);
        table << FormatGateTable(gates, rows);
        if (!table) {
            error = out.PathOf("gates.txt") + ": cannot write the file";
            return false;
        }
    }
    out.Report("gates.txt");

    SAnimateOptions animation;
    animation.inputPath = data;
    animation.outputPath = out.PathOf("pulse.gif");
    animation.stamp = true;
    SAnimateResult result;
    if (!RunAnimateJob(animation, result, error)) return false;
    out.Report("pulse.gif");
    return true;
}

}  // namespace

bool RunDemoJob(const SDemoOptions& options, const std::function<void(const std::string&)>& wrote,
                std::string& error) {
    std::error_code ec;
    fs::create_directories(options.outputDir, ec);
    if (ec) {
        error = options.outputDir + ": cannot make the folder (" + ec.message() + ")";
        return false;
    }
    const fs::path dir = fs::absolute(options.outputDir, ec);
    if (ec) {
        error = options.outputDir + ": " + ec.message();
        return false;
    }
    const CDemoWriter out(dir, options.outputDir, wrote);

    CSimulationData data;
    GenerateSimulation(stSimulationOptions{}, data);
    const std::string dataPath = out.PathOf(kDemoDataFile);
    if (!SaveOrvexFile(dataPath, data, error)) return false;
    out.Report(kDemoDataFile);
    const int snapshots = static_cast<int>(data.m_snapshots.size());
    data = CSimulationData();

    // The pictures are independent of each other: they are encoded and written beside the
    // drawing, which stays on this thread.
    CPngBackgroundWrites writes;
    const bool ok = WriteViewerPictures(out, dataPath, error) && WriteAscanPictures(out, dataPath, snapshots, error) &&
                    WriteAnimationFrames(out, dataPath, options.maxFrames, error) &&
                    WriteMeasurements(out, dataPath, error) && RunDemoDocument(out, writes, error);
    std::string writeError;
    if (!writes.Finish(writeError) && ok) {
        error = writeError;
        return false;
    }
    return ok;
}
