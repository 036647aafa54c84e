// Times the monitoring engine over generated trees (or one given folder) against `find`, and
// measures its peak memory. Prints a plain table.
#include "bench/bench_front_end.h"
#include "bench/bench_tree.h"
#include "bench/process_probe.h"
#include "bench/soak.h"
#include "engine/log/log_recorder.h"
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
#include <unistd.h>
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
    std::string changes;       // what the changed cycle reported
    double longestTask = 0;    // longest task on the front end's thread in the timed cycles
    long long processPeak = 0; // the whole process's peak resident size while monitoring
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
    settings.folders.append({root, true, 0});
    LogData log;
    LogRecorder recorder(log, settings);
    BenchFrontEnd frontEnd;
    const SystemClock clock;
    Monitor monitor(settings, frontEnd, recorder, clock);
    const auto notePeak = [&] {
        figures.processPeak = std::max(figures.processPeak, PeakResidentBytes());
    };
    // A command and its job, with the job's reports handled as they come.
    const auto run = [&](void (Monitor::*command)()) { frontEnd.command(monitor, command); };

    figures.baseline = Measure([&] { run(&Monitor::start); });
    notePeak();
    if (!monitor.isMonitoring())
        throw std::runtime_error("monitoring did not start on " + root);
    figures.directories = monitor.baseDirs().count();
    figures.files = monitor.baseFiles().count();

    run(&Monitor::tick); // warms the cache and the engine's reused memory
    notePeak();
    frontEnd.startWatch();
    for (int attempt = 0; attempt < kRepeats; ++attempt) {
        const Phase cycle = Measure([&] { run(&Monitor::tick); });
        Note(figures.unchanged, cycle.seconds, attempt);
        figures.heldPeak = std::max(figures.heldPeak, PeakResidentBytes() - start);
        notePeak();
    }
    figures.longestTask = frontEnd.longestTaskSeconds();
    figures.baseTable = monitor.baseFiles().capacityBytes();
    figures.find = TimeFindBestOf(root);

    if (tree != nullptr && tree->changeable()) {
        tree->changeShare(1);
        frontEnd.startWatch();
        figures.changed = Measure([&] { run(&Monitor::tick); });
        figures.longestTask = std::max(figures.longestTask, frontEnd.longestTaskSeconds());
        notePeak();
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

std::string Milliseconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", seconds * 1000.0);
    return text;
}

// The commit of the source folder as git tells it when the benchmark starts.
std::string CommitText() {
    const std::string command =
        "git -C '" TRELLISK_SOURCE_DIR "' describe --always --dirty --abbrev=10 2>/dev/null";
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[128];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            text += buffer;
        ::pclose(pipe);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.pop_back();
    return text.empty() ? "unknown" : text;
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

void Print(const std::vector<Figures>& all, const std::string& commit) {
    std::printf("Machine: %s; commit %s\n\n", MachineText().c_str(), commit.c_str());
    std::printf("| tree | dirs | files | baseline | no-change cycle (best/worst of %d) | "
                "find (best/worst of %d) | cycle / find | 1%% change cycle | "
                "longest task on the window thread |\n",
                kRepeats, kRepeats);
    std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Figures& f : all) {
        char ratio[16] = "n/a";
        if (f.find.best > 0)
            std::snprintf(ratio, sizeof ratio, "%.2f", f.unchanged.best / f.find.best);
        std::printf("| %s | %zu | %zu | %s | %s / %s | %s / %s | %s | %s | %s |\n", f.tree.c_str(),
                    f.directories, f.files, Seconds(f.baseline.seconds).c_str(),
                    Seconds(f.unchanged.best).c_str(), Seconds(f.unchanged.worst).c_str(),
                    Seconds(f.find.best).c_str(), Seconds(f.find.worst).c_str(), ratio,
                    f.changed ? Seconds(f.changed->seconds).c_str() : "-",
                    Milliseconds(f.longestTask).c_str());
    }
    std::printf("\n| tree | baseline peak growth | peak with base and snapshot held | "
                "per entry (file or directory) | base file table per file | "
                "1%% change cycle peak growth | process peak |\n");
    std::printf("|---|---:|---:|---:|---:|---:|---:|\n");
    for (const Figures& f : all) {
        std::printf("| %s | %s | %s | %s | %s | %s | %s |\n", f.tree.c_str(),
                    Mebibytes(f.baseline.peakBytes).c_str(), Mebibytes(f.heldPeak).c_str(),
                    PerFile(f.heldPeak, f.files + f.directories).c_str(),
                    PerFile(static_cast<long long>(f.baseTable), f.files).c_str(),
                    f.changed ? Mebibytes(f.changed->peakBytes).c_str() : "-",
                    Mebibytes(f.processPeak).c_str());
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

void RunGenerated(const std::string& name, const std::string& what, const BenchTree::Shape& shape,
                  std::vector<Figures>& all) {
    const TempDir dir;
    std::fprintf(stderr, "building %s...\n", what.c_str());
    std::optional<BenchTree> tree;
    tree.emplace(dir.path(), shape);
    // The new files are written out first, so that the kernel's write-back does not compete
    // with the timed runs for the cores.
    ::sync();
    if (!shape.keepPaths) {
        ::malloc_trim(0);
        all.push_back(Run(name, tree->root(), nullptr));
    } else {
        all.push_back(Run(name, tree->root(), &*tree));
    }
}

int Main(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--soak" && argc <= 3) {
        const int cycles = argc == 3 ? std::atoi(argv[2]) : 2000;
        if (cycles > 0)
            return RunSoak(cycles);
    }
    const bool large = argc == 2 && std::string(argv[1]) == "--large";
    if (argc > 2 || (argc == 2 && argv[1][0] == '-' && !large)) {
        std::fprintf(stderr, "usage: %s [--large | existing-folder | --soak [cycles]]\n", argv[0]);
        return 2;
    }
    const std::string commit = CommitText(); // before the long run, while it is still true
    std::vector<Figures> all;
    if (argc == 2 && !large) {
        struct stat info {};
        if (::stat(argv[1], &info) != 0 || !S_ISDIR(info.st_mode)) {
            std::fprintf(stderr, "%s: not a folder\n", argv[1]);
            return 2;
        }
        all.push_back(Run(argv[1], argv[1], nullptr));
    } else {
        RunGenerated("(a) 10,000 dirs x 20 files, 5 levels", "10,000 directories of 20 files",
                     {.directories = 10000, .depth = 5, .minFiles = 20, .maxFiles = 20}, all);
        RunGenerated("(b) 1 dir x 100,000 files", "one directory of 100,000 files",
                     {.minFiles = 100000, .maxFiles = 100000}, all);
        RunGenerated("(c) 13,800 dirs 8 levels, 3-6 files, Japanese names",
                     "13,800 directories 8 levels deep with Japanese names",
                     {.directories = 13800,
                      .depth = 8,
                      .rootFanOut = 5,
                      .fanOut = 3,
                      .minFiles = 3,
                      .maxFiles = 6,
                      .japaneseNames = true},
                     all);
        if (large)
            RunGenerated("(d) 50,000 dirs x 20 files, 5 levels", "50,000 directories of 20 files",
                         {.directories = 50000,
                          .depth = 5,
                          .minFiles = 20,
                          .maxFiles = 20,
                          .keepPaths = false},
                         all);
    }
    Print(all, commit);
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
