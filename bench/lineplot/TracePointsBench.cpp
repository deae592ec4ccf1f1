// Dense A-scan traces: the points of a 10-million-sample trace in an 800-pixel plot should cost
// about one pass over the samples, and a zoomed view should cost in proportion to the plot width.
// The baseline reads every sample once for its minimum and maximum, the least work any reduction
// can do, and the report ends with each case's time as a multiple of it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "lineplot/SampleExtent.h"
#include "lineplot/TracePoints.h"

namespace {

constexpr int kSamples = 10'000'000;
constexpr int kPlotWidth = 800;

const std::vector<float>& DampedSine() {
    static const std::vector<float> samples = [] {
        std::vector<float> s(kSamples);
        for (int i = 0; i < kSamples; ++i) {
            const float t = static_cast<float>(i) / kSamples;
            s[static_cast<size_t>(i)] = std::exp(-4.0f * t) * std::sin(6283.0f * t);
        }
        return s;
    }();
    return samples;
}

CTraceView View(float startSample, float visibleSamples) {
    CTraceView v;
    v.plot = CRect(55, 20, 55 + kPlotWidth, 345);
    v.xViewStart = startSample;
    v.xPixelsPerSample = kPlotWidth / visibleSamples;
    v.yViewStart = -1.0f;
    v.yPixelsPerUnit = 325.0f / 2.0f;
    return v;
}

void BM_BaselineMinMax(benchmark::State& state) {
    const std::vector<float>& s = DampedSine();
    for (auto _ : state) {
        const CFloatExtent e = FindSampleExtent(s.data(), s.size());
        benchmark::DoNotOptimize(e);
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
    state.SetLabel(SampleExtentKernelName());
}

void RunTrace(benchmark::State& state, const CTraceView& view) {
    const std::vector<float>& s = DampedSine();
    std::vector<POINT> points(s.size());
    const CTraceSamples src{nullptr, s.data(), kSamples};
    size_t n = 0;
    for (auto _ : state) {
        n = ComputeLinePoints(src, view, points.data(), points.size());
        benchmark::DoNotOptimize(points.data());
    }
    state.counters["points"] = static_cast<double>(n);
}

void BM_Trace10MIn800Pixels(benchmark::State& state) { RunTrace(state, View(0, kSamples)); }
void BM_Trace10MZoomedTo100Samples(benchmark::State& state) { RunTrace(state, View(kSamples / 2, 100)); }

BENCHMARK(BM_BaselineMinMax)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Trace10MIn800Pixels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Trace10MZoomedTo100Samples)->Unit(benchmark::kMicrosecond);

// Prints the usual table, then each case against the baseline.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (r.run_type == Run::RT_Iteration) m_seconds[r.benchmark_name()] = r.GetAdjustedRealTime() /
                benchmark::GetTimeUnitMultiplier(r.time_unit);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        const auto base = m_seconds.find("BM_BaselineMinMax");
        if (base == m_seconds.end() || base->second <= 0) return;
        std::printf("\nTime relative to one min/max pass over %d samples:\n", kSamples);
        for (const auto& [name, seconds] : m_seconds)
            std::printf("  %-32s %10.4g\n", name.c_str(), seconds / base->second);
    }

private:
    std::map<std::string, double> m_seconds;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
