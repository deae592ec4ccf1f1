// Scenes of simulated data drawn by the viewer on a 1000 x 800 surface, in each ray plot type, for
// 10^4, 10^5 and 10^6 ray legs. A million legs must draw well within one 200 ms animation tick.
// The baseline projects each leg's two end points with the viewer's own projection and flip, the
// least any drawing of the legs has to do; the report ends with each draw as a multiple of the
// baseline of the same size. LinesOnly draws the full rays' lines alone, projected beforehand, with
// one pen: the pixel work of the draw.
//
// --scene_pictures=DIR writes each drawn scene as DIR/scene_<type>_<legs>.png before the runs, so
// a change to the drawing code can be checked pixel for pixel against the pictures from before it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/Png.h"
#include "platform/win/CWindowManager.h"
#include "simulation/Generator.h"
#include "viewer/OrvexViewerCtrl.h"

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 800;
constexpr int kLegCounts[] = {10'000, 100'000, 1'000'000};
// Where the cut falls for the two timed plot types: the longest legs end near 50-70 us, so at 30 us
// most of the fan is in the steel and a good share of legs is cut or straddles a pulse edge.
constexpr double kCutTime = 30.0;

struct SPlotType {
    SHORT value;
    const char* name;
};
constexpr SPlotType kPlotTypes[] = {{0, "full"}, {1, "end_at_time"}, {2, "pulse"}};

size_t CountLegs(const CSimulationData::stSnapshot& s) {
    size_t n = 0;
    for (const CBundle& b : s.m_bundles) n += b.m_rays.size();
    return n;
}

// One snapshot of the generator's fan with exactly `legs` legs: enough rays are traced, then the
// surplus legs are taken off the last bundles.
CSimulationData MakeScene(int legs) {
    stSimulationOptions options;
    options.m_snapshots = 1;
    options.m_samples = 256;
    options.m_rays = std::max(1, legs / 4);
    CSimulationData data;
    for (;;) {
        GenerateSimulation(options, data);
        const size_t have = CountLegs(data.m_snapshots[0]);
        if (have >= static_cast<size_t>(legs)) break;
        options.m_rays = static_cast<int32_t>(static_cast<double>(options.m_rays) * legs / static_cast<double>(have) * 1.02) + 1;
    }
    size_t surplus = CountLegs(data.m_snapshots[0]) - static_cast<size_t>(legs);
    for (auto b = data.m_snapshots[0].m_bundles.rbegin(); b != data.m_snapshots[0].m_bundles.rend() && surplus; ++b) {
        const size_t cut = std::min(surplus, b->m_rays.size());
        b->m_rays.resize(b->m_rays.size() - cut);
        surplus -= cut;
    }
    return data;
}

// A viewer holding one scene, loaded through a file as a user's FileName would load it.
struct SSceneViewer {
    COrvexViewerCtrl* ctrl = nullptr;
    int legs = 0;
    explicit SSceneViewer(int n) : legs(n) {
        const CSimulationData data = MakeScene(n);
        const std::filesystem::path path = std::filesystem::temp_directory_path() /
            ("orvex-scene-bench-" + std::to_string(getpid()) + "-" + std::to_string(n) + ".orvex");
        std::string error;
        if (!SaveOrvexFile(path.string(), data, error)) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error.c_str());
            std::exit(1);
        }
        ctrl = new COrvexViewerCtrl;
        ctrl->SetControlSize(kWidth, kHeight);
        ctrl->SetFileName(path.string());
        std::filesystem::remove(path);
    }
    ~SSceneViewer() { ctrl->Release(); }
    SSceneViewer(const SSceneViewer&) = delete;
    SSceneViewer& operator=(const SSceneViewer&) = delete;
};

std::map<int, std::unique_ptr<SSceneViewer>> g_scenes;

SSceneViewer& Scene(int legs) {
    auto& slot = g_scenes[legs];
    if (!slot) slot = std::make_unique<SSceneViewer>(legs);
    return *slot;
}

// A screen-like memory context over a 1000 x 800 bitmap, as a window's paint would give.
struct SSurface {
    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;
    SSurface() {
        dc.CreateCompatibleDC(nullptr);
        dc.SetTechnology(DT_RASDISPLAY);
        bitmap.CreateBitmap(kWidth, kHeight, 1, 32, nullptr);
        previous = dc.SelectObject(&bitmap);
    }
    ~SSurface() { dc.SelectObject(previous); }
};

void DrawScene(SSceneViewer& scene, const SPlotType& type, SSurface& surface) {
    scene.ctrl->SetRayPlotType(type.value);
    scene.ctrl->SetRayEndTime(kCutTime);
    const CRect bounds(0, 0, kWidth, kHeight);
    scene.ctrl->Draw(DVASPECT_CONTENT, &surface.dc, &bounds);
}

void BM_Scene(benchmark::State& state, SPlotType type, int legs) {
    SSceneViewer& scene = Scene(legs);
    SSurface surface;
    DrawScene(scene, type, surface);  // the back buffer is made once, as on screen
    for (auto _ : state) {
        DrawScene(scene, type, surface);
        benchmark::DoNotOptimize(surface.bitmap.GetPixels());
    }
    state.counters["legs"] = legs;
    state.SetItemsProcessed(state.iterations() * legs);
}

// The end points of every leg a full-ray draw would draw, projected and flipped, nothing drawn.
void BM_BaselineProjectEnds(benchmark::State& state, int legs) {
    SSceneViewer& scene = Scene(legs);
    const CRect bounds(0, 0, kWidth, kHeight);
    scene.ctrl->ComputeScale(bounds);
    const CSimulationData::stSnapshot& snapshot = scene.ctrl->GetSimulationData().m_snapshots[0];
    int64_t steps = 0;
    for (auto _ : state) {
        int64_t sum = 0;
        steps = 0;
        for (const CBundle& bundle : snapshot.m_bundles) {
            for (const CUTRay& leg : bundle.m_rays) {
                const CPoint3D end = leg.HasEnd() ? leg.GetEnd() : leg.GetOrigin() + 25.0 * leg.GetDirection();
                int sx = 0, sy = 0, ex = 0, ey = 0;
                scene.ctrl->ProjectPoint(leg.GetOrigin(), sx, sy);
                scene.ctrl->ProjectPoint(end, ex, ey);
                sum += sx + ex + COrvexViewerCtrl::FlipY(bounds, sy) + COrvexViewerCtrl::FlipY(bounds, ey);
                steps += std::max(std::abs(int64_t{ex} - sx), std::abs(int64_t{ey} - sy));
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["legs"] = legs;
    // Pixels a full-ray draw of one-pixel pens would set per leg: what the draw cannot avoid.
    state.counters["px_per_leg"] = static_cast<double>(steps) / legs;
    state.SetItemsProcessed(state.iterations() * legs);
}

// The lines of a full-ray draw, projected beforehand and drawn with one pen: the pixel work no
// drawing of these legs can avoid (160 pixels a leg on average), to tell it from the per-leg costs.
void BM_LinesOnly(benchmark::State& state, int legs) {
    SSceneViewer& scene = Scene(legs);
    const CRect bounds(0, 0, kWidth, kHeight);
    scene.ctrl->ComputeScale(bounds);
    std::vector<CRect> lines;
    for (const CBundle& bundle : scene.ctrl->GetSimulationData().m_snapshots[0].m_bundles) {
        for (const CUTRay& leg : bundle.m_rays) {
            const CPoint3D end = leg.HasEnd() ? leg.GetEnd() : leg.GetOrigin() + 25.0 * leg.GetDirection();
            int sx = 0, sy = 0, ex = 0, ey = 0;
            if (!scene.ctrl->ProjectPoint(leg.GetOrigin(), sx, sy) || !scene.ctrl->ProjectPoint(end, ex, ey)) continue;
            lines.emplace_back(sx, COrvexViewerCtrl::FlipY(bounds, sy), ex, COrvexViewerCtrl::FlipY(bounds, ey));
        }
    }
    SSurface surface;
    CPen pen(PS_SOLID, 1, RGB(200, 0, 0));
    CPen* previous = surface.dc.SelectObject(&pen);
    for (auto _ : state) {
        for (const CRect& l : lines) {
            surface.dc.MoveTo(l.left, l.top);
            surface.dc.LineTo(l.right, l.bottom);
        }
        benchmark::DoNotOptimize(surface.bitmap.GetPixels());
    }
    surface.dc.SelectObject(previous);
    state.counters["legs"] = legs;
}

std::string LinesOnlyName(int legs) { return "LinesOnly/legs:" + std::to_string(legs); }
std::string BaselineName(int legs) { return "BaselineProjectEnds/legs:" + std::to_string(legs); }
std::string SceneName(const SPlotType& t, int legs) {
    return std::string("Scene_") + t.name + "/legs:" + std::to_string(legs);
}

void RegisterAll() {
    for (int legs : kLegCounts) {
        benchmark::RegisterBenchmark(BaselineName(legs).c_str(), BM_BaselineProjectEnds, legs)
            ->Unit(benchmark::kMillisecond);
        for (const SPlotType& t : kPlotTypes)
            benchmark::RegisterBenchmark(SceneName(t, legs).c_str(), BM_Scene, t, legs)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(LinesOnlyName(legs).c_str(), BM_LinesOnly, legs)->Unit(benchmark::kMillisecond);
    }
}

// Writes every scene as a PNG; false when one cannot be written.
bool WritePictures(const std::string& dir) {
    std::filesystem::create_directories(dir);
    for (int legs : kLegCounts) {
        for (const SPlotType& t : kPlotTypes) {
            SSurface surface;
            DrawScene(Scene(legs), t, surface);
            const std::string file = dir + "/scene_" + t.name + "_" + std::to_string(legs) + ".png";
            if (!SaveBitmapPng(surface.bitmap, file)) {
                std::fprintf(stderr, "cannot write %s\n", file.c_str());
                return false;
            }
        }
    }
    return true;
}

// Prints the usual table, then each draw against the baseline of its size.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration)
                m_seconds[r.benchmark_name()] =
                    r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        // CPU time: the draw runs on one thread, and a shared machine stretches the wall clock.
        std::printf("\nScene draw CPU time, and relative to projecting the legs' end points:\n");
        for (int legs : kLegCounts) {
            const auto base = m_seconds.find(BaselineName(legs));
            if (base == m_seconds.end() || base->second <= 0) continue;
            std::vector<std::string> names;
            for (const SPlotType& t : kPlotTypes) names.push_back(SceneName(t, legs));
            names.push_back(LinesOnlyName(legs));
            for (const std::string& name : names) {
                const auto run = m_seconds.find(name);
                if (run == m_seconds.end()) continue;
                std::printf("  %-32s %9.2f ms %8.2fx\n", run->first.c_str(), run->second * 1e3,
                            run->second / base->second);
            }
        }
    }

private:
    std::map<std::string, double> m_seconds;
};

}  // namespace

int main(int argc, char** argv) {
    std::string pictures;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        constexpr const char* kFlag = "--scene_pictures=";
        if (std::strncmp(argv[i], kFlag, std::strlen(kFlag)) == 0) pictures = argv[i] + std::strlen(kFlag);
        else args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;

    CWindowManager windows;  // the controls' windows and timers live in it
    int status = 0;
    if (!pictures.empty() && !WritePictures(pictures)) status = 1;
    if (status == 0) {
        RegisterAll();
        CRatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
    }
    benchmark::Shutdown();
    g_scenes.clear();  // the controls go before the window manager
    return status;
}
