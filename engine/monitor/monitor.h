#pragma once

#include "engine/log/log_tables.h"
#include "engine/monitor/classify_changes.h"
#include "engine/monitor/window_interface.h"
#include "engine/platform/clock.h"
#include "engine/settings/settings.h"
#include "engine/snapshot/dir_index.h"
#include "engine/snapshot/file_table.h"
#include "engine/snapshot/folder_scan.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace trellisk {

inline constexpr const char* kStatusStopped = "状態：停止中";
inline constexpr const char* kStatusMonitoring = "状態：監視中";
inline constexpr const char* kNoFolderMessage = "監視フォルダが指定されていません";

// Starts and stops monitoring and runs one monitoring cycle per timer tick, over the main
// window's settings and the log window's tables.
class Monitor {
public:
    Monitor(Settings& settings, LogData& log, WindowInterface& window, const Clock& clock);
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    void startMonitoring();
    void stopMonitoring();
    // One monitoring cycle; the program calls it on every tick of the interval timer.
    void runCycle();

    [[nodiscard]] bool isMonitoring() const { return monitoring_; }
    // A baseline or a cycle is running (and pumping events): the program must not end now.
    [[nodiscard]] bool busy() const { return busy_; }

    // The comparison base.
    [[nodiscard]] const DirIndex& baseDirs() const { return baseDirs_; }
    [[nodiscard]] const FileTable& baseFiles() const { return baseFiles_; }

private:
    using MonotonicTime = std::chrono::steady_clock::time_point;

    // startMonitoring's parts.
    void rebuildDriveList();
    [[nodiscard]] bool takeBaseline(MonotonicTime started);
    void giveUpBaseline();
    [[nodiscard]] bool askToGiveUp(MonotonicTime started);

    // runCycle's steps.
    void preProcess(const std::string& snapshotTime);
    void scanFolders();
    void resetUpdateMarkers();
    void compareDirectories();
    void logNewAndDeletedDirectories();
    void tidyResultTables();
    void rollComparisonBase(const std::string& snapshotTime);
    void finishCycle(MonotonicTime started);

    void showFreeSpace();
    void setPhase(std::string text);
    void setGauge(std::size_t done, std::size_t total);
    void logDirectory(const std::string& dir, const char* kind);
    // Drops the snapshot being taken and the memory it held.
    void releaseSnapshot();
    // The first base directory of this path not yet paired with one of the snapshot.
    [[nodiscard]] std::optional<std::size_t> findBaseDir(std::string_view dir);
    void runPendingStart();

    Settings& settings_;
    LogData& log_;
    WindowInterface& window_;
    const Clock& clock_;
    ChangeClassifier classifier_;

    bool monitoring_ = false;
    bool busy_ = false;
    bool startPending_ = false; // a start chosen while a stopped cycle was still unwinding

    DirIndex baseDirs_;       // comparison base: directories
    FileTable baseFiles_;     // comparison base: files
    DirIndex snapshotDirs_;   // this cycle's directories
    FileTable snapshotFiles_; // this cycle's files
    FolderScanner scanner_;
    std::string dirPath_; // the path of the directory being compared
    std::string basePath_;

    // Base directories already paired with one of the snapshot.
    std::vector<char> baseDirPaired_;
};

} // namespace trellisk
