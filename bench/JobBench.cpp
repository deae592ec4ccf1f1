// The jobs users wait for, as whole processes: `orvex info` of files of about 100 MB (and 1 GB with
// --jobs_1gb), `orvex render` of a million legs at 1000 x 800, `orvex ascan` of 10 million samples
// at 800 x 300, and `orvex demo`, against `cat FILE` of the same files and a write of one raw
// picture's pixels, in the same run. Each is run 5 times (--repetitions=N) one after another;
// the table gives medians of wall and CPU (user + system) time, the load average before the
// run, and the ratios the goals are stated in.
//
// Files are made with `orvex simulate` into TMPDIR (or /tmp) and removed at exit; each is read
// once before it is measured, so every case reads from the page cache.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct stTimes {
    double wall = 0, cpu = 0;
};

// Runs argv to its end with its output thrown away; exits the benchmark when it fails.
stTimes Run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        std::fprintf(stderr, "cannot run %s\n", argv[0]);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    stTimes t;
    t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    t.cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec * 1e-6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec * 1e-6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::string line;
        for (const auto& a : args) line += a + " ";
        std::fprintf(stderr, "failed: %s\n", line.c_str());
        std::exit(1);
    }
    return t;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct stCase {
    std::string name;
    std::vector<std::string> args;  // empty: the raw-pixel write, in this process
    double wall = 0, cpu = 0;
};

// Writes one 1000 x 800 picture's 32-bit pixels to a file: the least any picture output costs.
stTimes WriteRawPixels(const std::string& path) {
    static std::vector<uint32_t> pixels(1000 * 800, 0x00FFFFFFu);
    const auto start = std::chrono::steady_clock::now();
    const clock_t cpu0 = std::clock();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(pixels.data(), sizeof(uint32_t), pixels.size(), f) != pixels.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    stTimes t;
    t.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    t.cpu = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
    return t;
}

}  // namespace

int main(int argc, char** argv) {
    bool with1GB = false;
    int repetitions = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--jobs_1gb") == 0) with1GB = true;
        else if (std::strncmp(argv[i], "--repetitions=", 14) == 0) repetitions = std::max(1, std::atoi(argv[i] + 14));
        else {
            std::fprintf(stderr, "usage: bench_jobs [--jobs_1gb] [--repetitions=N]\n");
            return 2;
        }
    }
    const std::string orvex = ORVEX_BINARY;
    const char* tmp = std::getenv("TMPDIR");
    const std::filesystem::path dir =
        std::filesystem::path(tmp && *tmp ? tmp : "/tmp") / ("orvex-jobbench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto file = [&](const char* name) { return (dir / name).string(); };

    // The files: 16 snapshots of 4096 samples with the ray count setting the size (as the load
    // benchmark), one snapshot of a million legs, one of 10 million samples.
    std::printf("making the files in %s ...\n", dir.c_str());
    Run({orvex, "simulate", "--rays", "18768", "--snapshots", "16", "-o", file("100mb.orvex")});
    if (with1GB) Run({orvex, "simulate", "--rays", "187000", "--snapshots", "16", "-o", file("1gb.orvex")});
    Run({orvex, "simulate", "--rays", "250000", "--snapshots", "1", "-o", file("legs.orvex")});
    Run({orvex, "simulate", "--rays", "1", "--snapshots", "1", "--samples", "10000000", "-o", file("samples.orvex")});

    std::vector<stCase> cases;
    auto add = [&](std::string name, std::vector<std::string> args) { cases.push_back({std::move(name), std::move(args)}); };
    const std::string cat = "/bin/cat";
    add("cat 100mb", {cat, file("100mb.orvex")});
    add("info 100mb", {orvex, "info", file("100mb.orvex")});
    if (with1GB) {
        add("cat 1gb", {cat, file("1gb.orvex")});
        add("info 1gb", {orvex, "info", file("1gb.orvex")});
    }
    add("cat legs", {cat, file("legs.orvex")});
    add("info legs", {orvex, "info", file("legs.orvex")});
    add("render legs", {orvex, "render", file("legs.orvex"), "--size", "1000x800", "-o", file("legs.png")});
    add("cat samples", {cat, file("samples.orvex")});
    add("info samples", {orvex, "info", file("samples.orvex")});
    add("ascan samples", {orvex, "ascan", file("samples.orvex"), "--size", "800x300", "-o", file("samples.png")});
    add("demo", {orvex, "demo", "-o", file("demo")});
    add("raw pixels", {});

    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    for (auto& c : cases) {
        if (!c.args.empty() && c.args[0] == cat) Run(c.args);  // into the page cache
        std::vector<double> wall, cpu;
        for (int r = 0; r < repetitions; ++r) {
            const stTimes t = c.args.empty() ? WriteRawPixels(file("raw.bin")) : Run(c.args);
            wall.push_back(t.wall);
            cpu.push_back(t.cpu);
        }
        c.wall = Median(wall);
        c.cpu = Median(cpu);
    }
    double loadAfter[3] = {0, 0, 0};
    getloadavg(loadAfter, 3);

    auto find = [&](const char* name) -> const stCase* {
        for (const auto& c : cases)
            if (c.name == name) return &c;
        return nullptr;
    };
    std::printf("\nWhole jobs, medians of %d runs (load average %.2f before, %.2f after):\n", repetitions, load[0],
                loadAfter[0]);
    std::printf("  %-14s %10s %10s\n", "job", "wall (ms)", "CPU (ms)");
    for (const auto& c : cases) std::printf("  %-14s %10.1f %10.1f\n", c.name.c_str(), c.wall * 1e3, c.cpu * 1e3);
    // CPU time is the steadier figure on a shared machine: each job is single-threaded apart from
    // the demo's encoders, and waiting for the cores stretches only the wall clock.
    std::printf("\nRatios:%39s %6s %6s\n", "", "wall", "CPU");
    auto ratio = [&](const char* what, const char* a, const char* b, const char* c2 = nullptr) {
        const stCase *x = find(a), *y = find(b), *z = c2 ? find(c2) : nullptr;
        if (!x || !y) return;
        const double wall = y->wall + (z ? z->wall : 0.0), cpu = y->cpu + (z ? z->cpu : 0.0);
        std::printf("  %-44s %6.2f %6.2f\n", what, x->wall / wall, x->cpu / cpu);
    };
    ratio("info 100mb / cat 100mb", "info 100mb", "cat 100mb");
    ratio("info 1gb / cat 1gb", "info 1gb", "cat 1gb");
    ratio("render legs / (info legs + raw pixels)", "render legs", "info legs", "raw pixels");
    ratio("ascan samples / (info samples + raw pixels)", "ascan samples", "info samples", "raw pixels");
    if (const stCase* d = find("demo")) std::printf("  %-44s %6.3f s\n", "demo", d->wall);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    return 0;
}
