// A full A-scan Render at 800 x 300, and the axes alone, for the plot as the A-scan control builds
// it: the array, display window and label come from a viewer holding simulated data, through the
// same viewer calls the control makes. The baseline copies one 800 x 300 frame, the least a
// Render does (it copies twice); the report ends with each case as a multiple of it.
//
// --ascan_pictures=DIR writes each rendered plot as DIR/ascan_<samples>.png before the runs.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
#include "lineplot/LinePlotWnd.h"
#include "platform/com/Bstr.h"
#include "platform/com/SafeArray.h"
#include "platform/com/Variant.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/Png.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"
#include "simulation/Generator.h"
#include "viewer/OrvexViewerCtrl.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 300;
// The generator's default A-scan length, and a dense one whose trace must be reduced per pixel.
constexpr int kSampleCounts[] = {4096, 1'000'000};

// The control's plot settings (ascan/AscanDisplay.cpp).
constexpr UINT kPlotChildId = 911;
constexpr DWORD kPlotWindowStyle = 0x5000020E;
constexpr COLORREF kTraceColour = 0x008000;

// A memory context over a bitmap of the plot's size, as the window's paint would give.
struct SSurface {
    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;
    SSurface() {
        dc.CreateCompatibleDC(nullptr);
        bitmap.CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
        previous = dc.SelectObject(&bitmap);
        dc.PatBlt(0, 0, kWidth, kHeight, WHITENESS);
    }
    ~SSurface() { dc.SelectObject(previous); }
};

class CPageWnd : public CWnd {};

// A viewer with one snapshot of `samples` samples, and the plot built from its A-scan.
struct SAscanPlot {
    COrvexViewerCtrl* viewer = nullptr;
    CPageWnd page;
    CLinePlotWnd plot;
    VARIANT ascan;
    float* samples = nullptr;
    int count = 0;

    explicit SAscanPlot(int sampleCount) {
        VariantInit(&ascan);
        stSimulationOptions options;
        options.m_rays = 8;
        options.m_snapshots = 1;
        options.m_samples = sampleCount;
        CSimulationData data;
        GenerateSimulation(options, data);
        const std::filesystem::path path = std::filesystem::temp_directory_path() /
            ("orvex-ascan-bench-" + std::to_string(getpid()) + "-" + std::to_string(sampleCount) + ".orvex");
        std::string error;
        if (!SaveOrvexFile(path.string(), data, error)) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
            std::exit(1);
        }
        viewer = new COrvexViewerCtrl;
        viewer->SetFileName(path.string());
        std::filesystem::remove(path);

        double dataStart = 0.0, resolution = 0.0;
        double start = 0.0, end = 0.0, yMax = 0.0, yMin = 0.0;
        BSTR label = nullptr;
        if (!viewer->GetAscan(&dataStart, &resolution, &ascan) ||
            !viewer->GetAscanDisplayWindow(&start, &end, &yMax, &yMin) || !viewer->GetAscanXAxisLabel(&label)) {
            std::fprintf(stderr, "the viewer gave no A-scan for %d samples\n", sampleCount);
            std::exit(1);
        }
        LONG lower = 0, upper = -1;
        SafeArrayGetLBound(ascan.parray, 1, &lower);
        SafeArrayGetUBound(ascan.parray, 1, &upper);
        count = static_cast<int>(upper - lower + 1);
        void* data_ = nullptr;
        SafeArrayAccessData(ascan.parray, &data_);
        samples = static_cast<float*>(data_);

        page.CreateEx(0, nullptr, "page", WS_VISIBLE, CRect(0, 0, kWidth, kHeight), nullptr, 0);
        const CRect frame(0, 0, kWidth, kHeight);
        plot.SetFrameRect(frame);
        plot.Create(nullptr, nullptr, kPlotWindowStyle, frame, &page, kPlotChildId);
        plot.m_nCaptionStrip = 0;
        plot.AddLine(0, count, kTraceColour, 0, 0, 1, samples);
        plot.MouseMode = 0;
        plot.SetYAxis(0.0f, 1.0f, -1.0f, 2.0f, std::string());
        plot.SetXAxis(0.0f, static_cast<float>(resolution), StringFromBstr(label));
        SysFreeString(label);
        plot.SetYRange(static_cast<float>(yMin), static_cast<float>(yMax));
        plot.SetXRange(static_cast<float>(start), static_cast<float>(end));
        plot.m_bKeepRangeOnResize = 1;
        plot.RememberViewRange();
    }
    ~SAscanPlot() {
        plot.RemoveAllLines();  // the samples go back to the viewer's array before it is freed
        if (plot.GetSafeHwnd() != nullptr) plot.DestroyWindow();
        if (page.GetSafeHwnd() != nullptr) page.DestroyWindow();
        SafeArrayUnaccessData(ascan.parray);
        VariantClear(&ascan);
        viewer->Release();
    }
    SAscanPlot(const SAscanPlot&) = delete;
    SAscanPlot& operator=(const SAscanPlot&) = delete;
};

std::map<int, std::unique_ptr<SAscanPlot>> g_plots;

SAscanPlot& Plot(int samples) {
    auto& slot = g_plots[samples];
    if (!slot) slot = std::make_unique<SAscanPlot>(samples);
    return *slot;
}

void BM_Render(benchmark::State& state, int samples) {
    SAscanPlot& p = Plot(samples);
    SSurface surface;
    for (auto _ : state) {
        p.plot.Render(&surface.dc, 0);
        benchmark::DoNotOptimize(surface.bitmap.GetPixels());
    }
    state.counters["samples"] = p.count;
}

// What Render does for the axes: the background cleared and the axes, ticks and labels drawn.
void BM_AxesAlone(benchmark::State& state, int samples) {
    SAscanPlot& p = Plot(samples);
    SSurface surface;
    for (auto _ : state) {
        surface.dc.PatBlt(0, 0, kWidth, kHeight, WHITENESS);
        p.plot.DrawAxes(&surface.dc);
        benchmark::DoNotOptimize(surface.bitmap.GetPixels());
    }
    state.counters["samples"] = p.count;
}

void BM_BaselineCopyFrame(benchmark::State& state) {
    SSurface from, to;
    for (auto _ : state) {
        to.dc.BitBlt(0, 0, kWidth, kHeight, &from.dc, 0, 0, SRCCOPY);
        benchmark::DoNotOptimize(to.bitmap.GetPixels());
    }
}

std::string RenderName(int samples) { return "AscanRender/samples:" + std::to_string(samples); }
std::string AxesName(int samples) { return "AscanAxesAlone/samples:" + std::to_string(samples); }
constexpr const char* kBaselineName = "BaselineCopyFrame";

void RegisterAll() {
    benchmark::RegisterBenchmark(kBaselineName, BM_BaselineCopyFrame)->Unit(benchmark::kMicrosecond);
    for (int samples : kSampleCounts) {
        benchmark::RegisterBenchmark(RenderName(samples).c_str(), BM_Render, samples)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(AxesName(samples).c_str(), BM_AxesAlone, samples)->Unit(benchmark::kMicrosecond);
    }
}

bool WritePictures(const std::string& dir) {
    std::filesystem::create_directories(dir);
    for (int samples : kSampleCounts) {
        SSurface surface;
        Plot(samples).plot.Render(&surface.dc, 0);
        const std::string file = dir + "/ascan_" + std::to_string(samples) + ".png";
        if (!SaveBitmapPng(surface.bitmap, file)) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            return false;
        }
    }
    return true;
}

// Prints the usual table, then each case against copying one frame.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration)
                m_seconds[r.benchmark_name()] = r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto base = m_seconds.find(kBaselineName);
        if (base == m_seconds.end() || base->second <= 0) return;
        std::printf("\nCPU time, and relative to copying one %d x %d frame:\n", kWidth, kHeight);
        for (const auto& [name, seconds] : m_seconds)
            std::printf("  %-32s %9.1f us %8.2fx\n", name.c_str(), seconds * 1e6, seconds / base->second);
    }

private:
    std::map<std::string, double> m_seconds;
};

}  // namespace

int main(int argc, char** argv) {
    std::string pictures;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        constexpr const char* kFlag = "--ascan_pictures=";
        if (std::strncmp(argv[i], kFlag, std::strlen(kFlag)) == 0) pictures = argv[i] + std::strlen(kFlag);
        else args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

    CWindowManager windows;  // the plot's window and its page live in it
    int status = 0;
    if (!pictures.empty() && !WritePictures(pictures)) status = 1;
    if (status == 0) {
        RegisterAll();
        CRatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
    }
    benchmark::Shutdown();
    g_plots.clear();  // the windows go before the window manager
    return status;
}
