#pragma once

#include "engine/log/finding.h"

#include <chrono>
#include <cstdint>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace trellisk {

// Where a monitoring cycle is.
enum class JobPhase : std::uint8_t { Preparing, Listing, Comparing, Finishing };

struct JobProgress {
    JobPhase phase = JobPhase::Preparing;
    std::string directory;      // Comparing: the directory compared last
    std::optional<int> percent; // of the watched folders listed, or of the directories
                                // compared; nothing where the gauge stays as it is
};

// The free space of one file system that holds watched folders.
struct FreeSpace {
    std::string mountPoint;
    std::int64_t bytes = -1; // -1 when unknown
};

// A file whose row a listener keeps: whether it is still there and, where `openTest` is
// asked for, whether anybody still writes it.
struct FileToCheck {
    std::string directory; // ending with the separator
    std::string name;
    bool openTest = false;
};

struct FileCheck {
    std::string directory;
    std::string name;
    bool exists = false;
    bool complete = false; // open-tested, and no process writes it any more
};

struct CycleSummary {
    bool compared = false; // false when a stop came before the listing was complete
    std::chrono::seconds duration{0};
};

// What monitoring reports to whoever shows or records it: the desktop's log window, or a
// command-line front end. Every call comes on the front end's thread, in the order the engine
// made them; the findings of a cycle come in batches, in the order they were found.
//
// Declared below the monitor so that the change log's recorder can listen directly.
class MonitorListener {
public:
    virtual ~MonitorListener() = default;

    // The baseline is complete.
    virtual void baselineTaken(std::time_t /*baseTime*/, std::size_t /*directories*/,
                               std::size_t /*files*/) {}
    // A cycle begins: it snapshots the folders at `snapshotTime` and compares with the base
    // taken at `baseTime`.
    virtual void cycleStarted(std::time_t /*snapshotTime*/, std::time_t /*baseTime*/) {}
    virtual void freeSpaceMeasured(std::span<const FreeSpace> /*spaces*/) {}
    // The latest progress; intermediate ones may be left out.
    virtual void progressed(const JobProgress& /*progress*/) {}
    virtual void found(std::span<const Finding> /*findings*/) {}
    // The files to check at the end of the cycle that is starting, besides the new and
    // updated files the cycle finds itself.
    [[nodiscard]] virtual std::vector<FileToCheck> filesToCheck() { return {}; }
    // The answers, at the end of a cycle, for those files and the cycle's new and updated files.
    virtual void filesChecked(std::span<const FileCheck> /*checks*/) {}
    virtual void cycleFinished(const CycleSummary& /*summary*/) {}
};

} // namespace trellisk
