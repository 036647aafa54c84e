#pragma once

#include "engine/log/log_tables.h"
#include "engine/log/monitor_listener.h"
#include "engine/settings/settings.h"

namespace trellisk {

// Writes what monitoring reports into the log's tables and status fields, on the front end's
// thread: a log row per finding, the result tables' rows and markers, the counts of the
// latest cycle and the status texts. Whether an updated file is found for the first time or
// again is decided here, by the updated-files table as it is now: the user may clear it at
// any moment, and a file found after that gets a first row again.
class LogRecorder final : public MonitorListener {
public:
    // The transfer rate uses the interval that `settings` shows when a finding is recorded.
    LogRecorder(LogData& log, const Settings& settings) : log_(log), settings_(settings) {}

    void cycleStarted(std::time_t snapshotTime, std::time_t baseTime) override;
    void freeSpaceMeasured(std::span<const FreeSpace> spaces) override;
    void progressed(const JobProgress& progress) override;
    void found(std::span<const Finding> findings) override;
    // The rows of the new-files and updated-files tables: whether their files are still there,
    // and for rows without the complete marker whether anybody still writes them.
    [[nodiscard]] std::vector<FileToCheck> filesToCheck() override;
    // Rows of files that are gone leave those tables; rows of files nobody writes any more
    // get the complete marker. Rows are found by their file and folder.
    void filesChecked(std::span<const FileCheck> checks) override;
    void cycleFinished(const CycleSummary& summary) override;

private:
    void recordUpdated(const Finding& finding);
    void appendLog(const Finding& finding, std::optional<std::int64_t> sizeChange = {});

    LogData& log_;
    const Settings& settings_;
};

} // namespace trellisk
