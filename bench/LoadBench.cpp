// Loading .orvex files of about 10 MB and 100 MB (1 GB with --load_1gb): a load should run close
// to the rate at which the file's bytes can be read, and need memory close to the file's size. The
// baseline reads the whole file into one buffer that is already mapped and touched (made and
// written once, before the timing), the least work any loader does: so the ratio measures the
// loader, including the fresh memory it must fault in, not the baseline's allocator. The report
// ends with each load's time as a multiple of that read, its throughput, and its peak heap use as
// a multiple of the file size.
//
// Files are generated with the simulation library (16 snapshots of 4096 samples; the ray count
// sets the size) into TMPDIR (or /tmp) and removed at exit.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <new>
#include <string>
#include <vector>

#include "geometry/OrvexFile.h"
#include "platform/afx/CArchive.h"
#include "platform/afx/CFile.h"
#include "simulation/Generator.h"

// ---- heap accounting ---------------------------------------------------------------------------
// Every C++ allocation of the process passes here, so the peak of live bytes during a load is
// measured exactly (the loader allocates nothing through malloc directly).

namespace {

std::atomic<size_t> g_liveBytes{0};
std::atomic<size_t> g_peakBytes{0};

void* CountedAlloc(size_t size) {
    void* p = std::malloc(size == 0 ? 1 : size);
    if (!p) throw std::bad_alloc();
    const size_t live = g_liveBytes.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
    size_t peak = g_peakBytes.load();
    while (live > peak && !g_peakBytes.compare_exchange_weak(peak, live)) {
    }
    return p;
}

void CountedFree(void* p) {
    if (!p) return;
    g_liveBytes.fetch_sub(malloc_usable_size(p));
    std::free(p);
}

}  // namespace

void* operator new(size_t size) { return CountedAlloc(size); }
void* operator new[](size_t size) { return CountedAlloc(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAlloc(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }

namespace {

// ---- data files --------------------------------------------------------------------------------

constexpr int32_t kSnapshots = 16;
constexpr int32_t kSamples = 4096;
// File bytes one ray adds per snapshot in generated data (about four 80-byte legs), measured.
constexpr double kBytesPerRaySnapshot = 333.0;

struct stDataFile {
    std::string path;
    size_t bytes = 0;
};

std::vector<std::string> g_filesToRemove;

// The generated file of about megabytes MB, made on first use.
const stDataFile& DataFile(int megabytes) {
    static std::map<int, stDataFile> files;
    auto it = files.find(megabytes);
    if (it != files.end()) return it->second;

    stSimulationOptions options;
    options.m_snapshots = kSnapshots;
    options.m_samples = kSamples;
    options.m_rays = static_cast<int32_t>(megabytes * 1e6 / (kSnapshots * kBytesPerRaySnapshot));
    std::string problem;
    if (!CheckSimulationOptions(options, problem)) {
        std::fprintf(stderr, "cannot generate %d MB: %s\n", megabytes, problem.c_str());
        std::exit(1);
    }
    const char* tmp = std::getenv("TMPDIR");
    stDataFile file;
    file.path = std::string(tmp && *tmp ? tmp : "/tmp") + "/orvex-loadbench-" + std::to_string(::getpid()) + "-" +
                std::to_string(megabytes) + "mb.orvex";
    {
        CSimulationData data;
        GenerateSimulation(options, data);
        std::string error;
        if (!SaveOrvexFile(file.path, data, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::exit(1);
        }
    }
    g_filesToRemove.push_back(file.path);
    file.bytes = static_cast<size_t>(std::filesystem::file_size(file.path));
    return files.emplace(megabytes, file).first->second;
}

// Reads a whole file into a buffer of its size.
void ReadBytes(const std::string& path, char* buffer, size_t bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f || std::fread(buffer, 1, bytes, f) != bytes) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        std::exit(1);
    }
    std::fclose(f);
}

void SetFileCounters(benchmark::State& state, const stDataFile& file, size_t peak) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(file.bytes));
    state.counters["fileMB"] = static_cast<double>(file.bytes) / 1e6;
    state.counters["peakXfile"] = static_cast<double>(peak) / static_cast<double>(file.bytes);
}

// ---- cases -------------------------------------------------------------------------------------

void BM_ReadBytes(benchmark::State& state) {
    const stDataFile& file = DataFile(static_cast<int>(state.range(0)));
    const size_t before = g_liveBytes.load();
    g_peakBytes = before;
    std::vector<char> bytes(file.bytes, 1);  // mapped and touched before the timing
    for (auto _ : state) {
        ReadBytes(file.path, bytes.data(), file.bytes);
        benchmark::DoNotOptimize(bytes.data());
    }
    SetFileCounters(state, file, g_peakBytes.load() - before);
}

void BM_LoadOrvex(benchmark::State& state) {
    const stDataFile& file = DataFile(static_cast<int>(state.range(0)));
    size_t peak = 0;
    for (auto _ : state) {
        const size_t before = g_liveBytes.load();
        g_peakBytes = before;
        CSimulationData data;
        std::string error;
        if (!LoadOrvexFile(file.path, data, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(data.m_snapshots.data());
        peak = g_peakBytes.load() - before;
        // Freeing a data set of millions of legs is part of replacing it, but not of loading.
        state.PauseTiming();
        data.Empty();
        state.ResumeTiming();
    }
    SetFileCounters(state, file, peak);
}

// The same load through an archive with a 4 KB buffer, as the viewer reads a file it was not handed
// by a job: how much the read calls of a small buffer cost (a diagnostic, not a baseline).
void BM_LoadOrvex4KBBuffer(benchmark::State& state) {
    const stDataFile& file = DataFile(static_cast<int>(state.range(0)));
    size_t peak = 0;
    for (auto _ : state) {
        const size_t before = g_liveBytes.load();
        g_peakBytes = before;
        CSimulationData data;
        CFile f(file.path.c_str(), CFile::modeRead | CFile::typeBinary);
        CArchive ar(&f, CArchive::load, 4096);
        DWORD format = 1;
        ar >> format;
        data.Load(ar);
        benchmark::DoNotOptimize(data.m_snapshots.data());
        peak = g_peakBytes.load() - before;
        state.PauseTiming();
        data.Empty();
        state.ResumeTiming();
    }
    SetFileCounters(state, file, peak);
}

// Prints the usual table, then each load against the read of the same file.
class CRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            // Single runs, or the median of repetitions (--benchmark_repetitions=N).
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if ((r.run_type != Run::RT_Iteration && !median) || r.error_occurred) continue;
            const std::string name = r.benchmark_name();
            const std::string size = name.substr(name.find('/') + 1);  // "10" of "BM_LoadOrvex/10"
            stResult& result = m_results[std::stoi(size)];
            // CPU time: the load is single-threaded and reads from the page cache, and the shared
            // machine stretches the wall clock.
            const double seconds = r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
            const auto peak = r.counters.find("peakXfile");
            const auto fileMB = r.counters.find("fileMB");
            if (fileMB != r.counters.end()) result.bytes = fileMB->second.value * 1e6;
            if (name.rfind("BM_ReadBytes", 0) == 0) {
                result.read = seconds;
            } else if (name.rfind("BM_LoadOrvex4KBBuffer", 0) == 0) {
                result.loadSmallBuffer = seconds;
            } else {
                result.load = seconds;
                result.peak = peak == r.counters.end() ? 0.0 : peak->second.value;
            }
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nLoading against reading the same file's bytes into touched memory (CPU time):\n");
        std::printf("  %-8s %10s %10s %10s %12s %15s %22s\n", "size", "read (ms)", "load (ms)", "load/read",
                    "load GB/s", "peak/file size", "4 KB buffer: load/read");
        for (const auto& [mb, r] : m_results) {
            if (r.read <= 0 || r.load <= 0) continue;
            std::printf("  %5d MB %10.1f %10.1f %10.2f %12.2f %15.2f %22.2f\n", mb, r.read * 1e3, r.load * 1e3,
                        r.load / r.read, r.bytes / r.load / 1e9, r.peak, r.loadSmallBuffer / r.read);
        }
    }

private:
    struct stResult {
        double read = 0, load = 0, loadSmallBuffer = 0, peak = 0, bytes = 0;
    };
    std::map<int, stResult> m_results;
};

}  // namespace

int main(int argc, char** argv) {
    // Our own flag, taken out before Google Benchmark sees the arguments.
    bool with1GB = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--load_1gb") == 0) {
            with1GB = true;
            for (int j = i; j < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            --i;
        }
    }
    for (auto* bench : {benchmark::RegisterBenchmark("BM_ReadBytes", BM_ReadBytes),
                        benchmark::RegisterBenchmark("BM_LoadOrvex", BM_LoadOrvex),
                        benchmark::RegisterBenchmark("BM_LoadOrvex4KBBuffer", BM_LoadOrvex4KBBuffer)}) {
        bench->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
        if (with1GB) bench->Arg(1000);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    CRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const std::string& path : g_filesToRemove) std::remove(path.c_str());
    return 0;
}
