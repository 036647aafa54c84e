// Times the monitoring engine over generated trees (or one given folder) against `find`, and
// measures its peak memory. Prints a plain table.
#include "bench/bench_tree.h"
#include "bench/bench_window.h"
#include "bench/process_probe.h"
#include "bench/soak.h"
#include "engine/log/log_tables.h"
#include "engine/monitor/monitor.h"
#include "engine/platform/clock.h"
#include "engine/settings/settings.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <malloc.h>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <thread>
#include <vector>

namespace trellisk::bench {

namespace {

constexpr int kRepeats = 3;

struct Phase {
    double seconds = 0;
    long long peakBytes = 0; // growth of the peak resident memory during the phase
};

struct Best {
    double best = 0;
    double worst = 0;
};

struct Figures {
    std::string tree;
    std::size_t directories = 0;
    std::size_t files = 0;
    Phase baseline;
    Best unchanged;            // a cycle without changes
    Best find;                 // find over the same tree
    long long heldPeak = 0;    // peak during an unchanged cycle over the memory before the engine
    std::size_t baseTable = 0; // the base's file table
    std::optional<Phase> changed;
    std::string changes; // what the changed cycle reported
};

bool peakResets = true;

template <class Run> Phase Measure(Run&& run) {
    const long long before = ResidentBytes();
    const bool reset = ResetPeakResident();
    peakResets = peakResets && reset;
    const auto started = std::chrono::steady_clock::now();
    run();
    Phase phase;
    phase.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const long long peak = PeakResidentBytes();
    phase.peakBytes = reset ? peak - before : peak;
    return phase;
}

void Note(Best& figure, double seconds, int attempt) {
    figure.best = attempt == 0 ? seconds : std::min(figure.best, seconds);
    figure.worst = attempt == 0 ? seconds : std::max(figure.worst, seconds);
}

Best TimeFindBestOf(const std::string& dir) {
    Best find;
    if (TimeFind(dir) < 0) // warms the cache, and tells whether find runs at all
        return {-1, -1};
    for (int attempt = 0; attempt < kRepeats; ++attempt)
        Note(find, TimeFind(dir), attempt);
    return find;
}

Figures Run(const std::string& name, const std::string& root, BenchTree* tree) {
    ::malloc_trim(0); // what an earlier tree left in the heap is not counted again
    const long long start = ResidentBytes();
    Figures figures;
    figures.tree = name;

    Settings settings;
    settings.folders.append({root, kSubMonitorYes, "0"});
    LogData log;
    NullWindow window;
    const SystemClock clock;
    Monitor monitor(settings, log, window, clock);

    figures.baseline = Measure([&] { monitor.startMonitoring(); });
    if (!monitor.isMonitoring())
        throw std::runtime_error("monitoring did not start on " + root);
    figures.directories = monitor.baseDirs().count();
    figures.files = monitor.baseFiles().count();

    monitor.runCycle(); // warms the cache and the engine's reused memory
    for (int attempt = 0; attempt < kRepeats; ++attempt) {
        const Phase cycle = Measure([&] { monitor.runCycle(); });
        Note(figures.unchanged, cycle.seconds, attempt);
        figures.heldPeak = std::max(figures.heldPeak, PeakResidentBytes() - start);
    }
    figures.baseTable = monitor.baseFiles().capacityBytes();
    figures.find = TimeFindBestOf(root);

    if (tree != nullptr) {
        tree->changeShare(1);
        figures.changed = Measure([&] { monitor.runCycle(); });
        const LogStatus& status = log.status();
        figures.changes = std::to_string(status.updatedCount) + " updated, " +
                          std::to_string(status.newCount) + " new, " +
                          std::to_string(status.deletedCount) + " deleted, " +
                          std::to_string(status.renamedCount) + " renamed";
    }
    return figures;
}

std::string Seconds(double seconds) {
    if (seconds < 0)
        return "n/a";
    char text[32];
    std::snprintf(text, sizeof text, "%.3f s", seconds);
    return text;
}

std::string Mebibytes(long long bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / 1048576.0);
    return text;
}

std::string PerFile(long long bytes, std::size_t files) {
    if (files == 0)
        return "n/a";
    return std::to_string(bytes / static_cast<long long>(files)) + " B";
}

std::string MachineText() {
    std::string system = "Linux";
    std::ifstream release("/etc/os-release");
    for (std::string line; std::getline(release, line);) {
        if (line.starts_with("PRETTY_NAME="))
            system = line.substr(13, line.size() - 14);
    }
    utsname name{};
    const std::string kernel = ::uname(&name) == 0 ? std::string(" kernel ") + name.release : "";
    return std::to_string(std::thread::hardware_concurrency()) + " cores, " + system + kernel;
}

void Print(const std::vector<Figures>& all) {
    std::printf("Machine: %s\n\n", MachineText().c_str());
    std::printf("| tree | dirs | files | baseline | no-change cycle (best/worst of %d) | "
                "find (best/worst of %d) | cycle / find | 1%% change cycle |\n",
                kRepeats, kRepeats);
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Figures& f : all) {
        char ratio[16] = "n/a";
        if (f.find.best > 0)
            std::snprintf(ratio, sizeof ratio, "%.2f", f.unchanged.best / f.find.best);
        std::printf("| %s | %zu | %zu | %s | %s / %s | %s / %s | %s | %s |\n", f.tree.c_str(),
                    f.directories, f.files, Seconds(f.baseline.seconds).c_str(),
                    Seconds(f.unchanged.best).c_str(), Seconds(f.unchanged.worst).c_str(),
                    Seconds(f.find.best).c_str(), Seconds(f.find.worst).c_str(), ratio,
                    f.changed ? Seconds(f.changed->seconds).c_str() : "-");
    }
    std::printf("\n| tree | baseline peak growth | peak with base and snapshot held | "
                "per file | base file table per file | 1%% change cycle peak growth |\n");
    std::printf("|---|---:|---:|---:|---:|---:|\n");
    for (const Figures& f : all) {
        std::printf("| %s | %s | %s | %s | %s | %s |\n", f.tree.c_str(),
                    Mebibytes(f.baseline.peakBytes).c_str(), Mebibytes(f.heldPeak).c_str(),
                    PerFile(f.heldPeak, f.files).c_str(),
                    PerFile(static_cast<long long>(f.baseTable), f.files).c_str(),
                    f.changed ? Mebibytes(f.changed->peakBytes).c_str() : "-");
    }
    std::printf("\n");
    for (const Figures& f : all) {
        if (f.changed)
            std::printf("1%% change cycle of %s reported: %s.\n", f.tree.c_str(),
                        f.changes.c_str());
    }
    if (!peakResets)
        std::printf("The peak memory could not be reset between phases: the figures are the "
                    "process's absolute peak.\n");
}

int Main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--soak" && argc <= 3) {
        const int cycles = argc == 3 ? std::atoi(argv[2]) : 2000;
        if (cycles > 0)
            return RunSoak(cycles);
    }
    if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
        std::fprintf(stderr, "usage: %s [existing-folder | --soak [cycles]]\n", argv[0]);
        return 2;
    }
    std::vector<Figures> all;
    if (argc == 2) {
        struct stat info {};
        if (::stat(argv[1], &info) != 0 || !S_ISDIR(info.st_mode)) {
            std::fprintf(stderr, "%s: not a folder\n", argv[1]);
            return 2;
        }
        all.push_back(Run(argv[1], argv[1], nullptr));
    } else {
        {
            const TempDir dir;
            std::fprintf(stderr, "building 10,000 directories of 20 files...\n");
            BenchTree tree(dir.path(), 10000, 5, 20);
            all.push_back(Run("(a) 10,000 dirs x 20 files, 5 levels", tree.root(), &tree));
        }
        {
            const TempDir dir;
            std::fprintf(stderr, "building one directory of 100,000 files...\n");
            BenchTree tree(dir.path(), 0, 0, 100000);
            all.push_back(Run("(b) 1 dir x 100,000 files", tree.root(), &tree));
        }
    }
    Print(all);
    return 0;
}

} // namespace

} // namespace trellisk::bench

int main(int argc, char** argv) {
    try {
        return trellisk::bench::Main(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "trellisk_bench: %s\n", error.what());
        return 1;
    }
}
