#include "bench/soak.h"

#include "bench/bench_front_end.h"
#include "bench/bench_tree.h"
#include "bench/process_probe.h"
#include "engine/log/log_export.h"
#include "engine/log/log_recorder.h"
#include "engine/log/log_tables.h"
#include "engine/monitor/monitor.h"
#include "engine/platform/clock.h"
#include "engine/settings/settings.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace trellisk::bench {

namespace {

constexpr std::size_t kDirectories = 200;
constexpr std::size_t kChangedPerCycle = 40; // 1 % of the tree

std::string Mebibytes(long long bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / 1048576.0);
    return text;
}

void Append(const std::string& path, std::size_t bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot write " + path);
    const std::string text(bytes, 'x');
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(bytes);
    ::close(fd);
    if (!written)
        throw std::runtime_error("cannot write " + path);
}

// The same files over and over: appended to (and cut back when large), renamed back and
// forth, deleted and made again, so that the tree neither grows nor runs out of names.
class ChangingFiles {
public:
    explicit ChangingFiles(const std::string& root) {
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
            if (entry.is_regular_file())
                files_.push_back(entry.path().string());
        }
    }

    void change(std::size_t cycle) {
        for (std::size_t n = 0; n < kChangedPerCycle && !files_.empty(); ++n) {
            std::string& file = files_[(cycle * kChangedPerCycle + n * 97) % files_.size()];
            switch ((cycle + n) % 3) {
            case 0:
                if (std::filesystem::file_size(file) > 65536)
                    std::filesystem::resize_file(file, 0);
                Append(file, 17);
                break;
            case 1: {
                std::string renamed =
                    file.ends_with(".moved") ? file.substr(0, file.size() - 6) : file + ".moved";
                std::filesystem::rename(file, renamed);
                file = std::move(renamed);
                break;
            }
            default:
                std::filesystem::remove(file);
                Append(file, 100 + n);
                break;
            }
        }
    }

private:
    std::vector<std::string> files_;
};

} // namespace

int RunSoak(int cycles) {
    const TempDir dir;
    std::fprintf(stderr, "building 200 directories of 20 files...\n");
    BenchTree::Shape shape;
    shape.directories = kDirectories;
    shape.depth = 3;
    shape.minFiles = shape.maxFiles = 20;
    BenchTree tree(dir.path(), shape);
    ChangingFiles changing(tree.root());

    Settings settings;
    settings.folders.append({tree.root(), true, 0});
    LogData log;
    LogRecorder recorder(log, settings);
    BenchFrontEnd frontEnd;
    const SystemClock clock;
    Monitor monitor(settings, frontEnd, recorder, clock);
    const auto run = [&](void (Monitor::*command)()) { frontEnd.command(monitor, command); };
    run(&Monitor::start);
    if (!monitor.isMonitoring())
        throw std::runtime_error("monitoring did not start on " + tree.root());
    run(&Monitor::tick);
    ::malloc_trim(0);
    const long long atStart = ResidentBytes();

    long long findings = 0;
    for (int cycle = 0; cycle < cycles; ++cycle) {
        changing.change(static_cast<std::size_t>(cycle));
        run(&Monitor::tick);
        if (!monitor.isMonitoring())
            throw std::runtime_error("monitoring stopped in cycle " + std::to_string(cycle));
        const LogStatus& status = log.status();
        findings +=
            status.updatedCount + status.newCount + status.deletedCount + status.renamedCount;
    }
    ::malloc_trim(0);
    const long long atEnd = ResidentBytes();
    const std::size_t rows = log.entries.count() + log.updatedFiles.count() + log.newFiles.count() +
                             log.deletedFiles.count() + log.renamedFiles.count();
    ClearLog(log);
    log.renamedFiles.clear();
    ::malloc_trim(0);
    const long long cleared = ResidentBytes();

    std::printf("Soak: %d cycles over %zu files in %zu directories, %zu files changed per cycle, "
                "%lld findings\n\n",
                cycles, tree.fileCount(), kDirectories + 1, kChangedPerCycle, findings);
    std::printf("| resident after the baseline | at the end | table rows kept | "
                "after clearing the tables |\n");
    std::printf("|---:|---:|---:|---:|\n");
    std::printf("| %s | %s | %zu | %s |\n", Mebibytes(atStart).c_str(), Mebibytes(atEnd).c_str(),
                rows, Mebibytes(cleared).c_str());
    return 0;
}

} // namespace trellisk::bench
