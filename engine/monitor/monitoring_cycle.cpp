#include "engine/monitor/monitor.h"

#include "engine/monitor/busy_scope.h"
#include "engine/platform/file_system.h"
#include "engine/snapshot/folder_scan.h"
#include "engine/text/text_helpers.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace trellisk {

namespace {

// A longer cycle shows as 99 so that every entry of the history keeps two characters.
constexpr long long kLongestShownDuration = 99;
constexpr std::size_t kDurationHistoryLength = 20;

} // namespace

void Monitor::runCycle() {
    if (busy_ || !monitoring_)
        return;
    {
        const BusyScope busy(busy_);
        try {
            const MonotonicTime started = clock_.monotonic();
            const std::string snapshotTime = DateTimeText(clock_.now());
            preProcess(snapshotTime);
            scanFolders();
            resetUpdateMarkers();
            compareDirectories();
            logNewAndDeletedDirectories();
            tidyResultTables();
            rollComparisonBase(snapshotTime);
            finishCycle(started);
        } catch (const std::exception& error) {
            // Out of memory and the like: the base may be half rolled, so monitoring stops
            // and says why instead of comparing against it again.
            releaseSnapshot();
            stopMonitoring();
            window_.setMonitorMenuEnabled(true);
            window_.showMessage(error.what());
        }
    }
    runPendingStart();
}

void Monitor::preProcess(const std::string& snapshotTime) {
    window_.setMonitorMenuEnabled(false);
    setPhase("前処理中");
    window_.setTimerEnabled(false);
    snapshotDirs_.clear();
    log_.changeStatus([&](LogStatus& status) {
        status.snapshotTime = snapshotTime;
        status.comparedBaseTime = status.baseTime;
        status.updatedCount = status.newCount = status.deletedCount = status.renamedCount = 0;
    });
    window_.setBaseTimeText("比較元日時" + log_.status().baseTime);
    showFreeSpace();
    window_.setTrayPicture(TrayPicture::Busy);
    window_.pump();
}

void Monitor::scanFolders() {
    setPhase("ファイル取得中");
    // A copy: user commands run at the pumps and may change the folder list.
    const std::vector<FolderEntry> folders(settings_.folders.begin(), settings_.folders.end());
    scanner_.beginSnapshot(&baseDirs_, &baseFiles_);
    const FolderScanner::Progress pumpAfterEachDirectory = [&] {
        window_.pump();
        return true;
    };
    for (std::size_t q = 0; q < folders.size(); ++q) {
        scanner_.scanFolder(folders[q], snapshotDirs_, snapshotFiles_, pumpAfterEachDirectory);
        setGauge(q + 1, folders.size());
    }
}

void Monitor::releaseSnapshot() {
    snapshotDirs_ = DirIndex();
    snapshotFiles_ = FileTable();
}

void Monitor::resetUpdateMarkers() {
    UpdateTable& updated = log_.updatedFiles;
    for (std::size_t row = 0; row < updated.count(); ++row) {
        const UpdateRow& r = updated[row];
        if (r.rowMarker == Marker::Changed || r.sizeMarker != Marker::None ||
            r.dateMarker != Marker::None) {
            updated.change(row, [](UpdateRow& u) {
                if (u.rowMarker < Marker::Complete)
                    u.rowMarker = Marker::None;
                u.sizeMarker = Marker::None;
                u.dateMarker = Marker::None;
            });
        }
    }
}

void Monitor::compareDirectories() {
    const std::size_t directories = snapshotDirs_.count();
    setPhase("ファイル比較中");
    baseDirPaired_.assign(baseDirs_.count(), 0);

    for (std::size_t q = 0; q < directories; ++q) {
        snapshotDirs_.pathInto(q, dirPath_);
        DirRow& current = snapshotDirs_[q];
        const std::optional<std::size_t> paired = findBaseDir(dirPath_);
        if (paired) {
            const DirRow& base = baseDirs_[*paired];
            const auto run = [](const FileTable& table, const DirRow& row) {
                return table.run(row.firstFile, row.fileCount);
            };
            classifier_.classify(dirPath_, run(snapshotFiles_, current), run(baseFiles_, base));
            baseDirPaired_[*paired] = 1;
            current.mark = true;
        }
        // Said once, when the directory turns unreadable; its files are kept meanwhile.
        if (current.unreadable && !(paired && baseDirs_[*paired].unreadable))
            logDirectory(dirPath_, kKindUnreadable);
        setPhase("ファイル比較中 " + dirPath_);
        setGauge(q + 1, directories);
        window_.pump();
    }
}

std::optional<std::size_t> Monitor::findBaseDir(std::string_view dir) {
    return scanner_.basePaths().find(dir, basePath_,
                                     [&](std::size_t row) { return !baseDirPaired_[row]; });
}

void Monitor::logNewAndDeletedDirectories() {
    for (std::size_t row = 0; row < snapshotDirs_.count(); ++row) {
        if (!snapshotDirs_[row].mark)
            logDirectory(snapshotDirs_.path(row), kKindNew);
    }
    for (std::size_t row = 0; row < baseDirs_.count(); ++row) {
        if (!baseDirPaired_[row])
            logDirectory(baseDirs_.path(row), kKindDeleted);
    }
}

void Monitor::logDirectory(const std::string& dir, const char* kind) {
    const std::size_t row =
        log_.entries.append({dir, kind, {}, {}, {}, DateTimeText(clock_.now()), {}});
    log_.entries.scrollTo(row);
}

namespace {

// Drops the rows of files that are gone and marks those that nobody writes any more.
template <class Table> void TidyRows(Table& table) {
    table.removeIf([](const auto& row) { return !platform::FileExists(row.folder + row.file); });
    for (std::size_t row = 0; row < table.count(); ++row) {
        const auto& r = table[row];
        if (r.rowMarker < Marker::Complete && platform::CanOpenFile(r.folder + r.file))
            table.change(row, [](auto& changed) { changed.rowMarker = Marker::Complete; });
    }
}

} // namespace

void Monitor::tidyResultTables() {
    TidyRows(log_.newFiles);
    TidyRows(log_.updatedFiles);
}

void Monitor::rollComparisonBase(const std::string& snapshotTime) {
    setPhase("後処理中");
    log_.changeStatus([&](LogStatus& status) { status.baseTime = snapshotTime; });
    // The new snapshot becomes the base by handing the tables over; the old base's memory is
    // kept for the next snapshot.
    std::swap(baseFiles_, snapshotFiles_);
    std::swap(baseDirs_, snapshotDirs_);
    baseDirs_.clearMarks();
    snapshotFiles_.clear();
    snapshotDirs_.clear();
}

void Monitor::finishCycle(MonotonicTime started) {
    const long long seconds =
        std::chrono::duration_cast<std::chrono::seconds>(clock_.monotonic() - started).count();
    char duration[8];
    std::snprintf(duration, sizeof duration, "%2lld",
                  std::clamp(seconds, 0LL, kLongestShownDuration));
    log_.changeStatus([&](LogStatus& status) {
        status.recentDurations += duration;
        if (status.recentDurations.size() > kDurationHistoryLength)
            status.recentDurations.erase(0, status.recentDurations.size() - kDurationHistoryLength);
    });
    if (monitoring_)
        window_.setTrayPicture(TrayPicture::Monitoring);
    log_.changeStatus([&](LogStatus& status) {
        status.phase.clear();
        status.lineCount = "ログ行数 " + std::to_string(log_.entries.count());
    });
    window_.pump();
    // A stop chosen during the cycle keeps the timer off.
    if (monitoring_)
        window_.setTimerEnabled(true);
    window_.setMonitorMenuEnabled(true);
}

void Monitor::setPhase(std::string text) {
    log_.changeStatus([&](LogStatus& status) { status.phase = std::move(text); });
}

void Monitor::setGauge(std::size_t done, std::size_t total) {
    const int percent = total == 0 ? 0 : static_cast<int>(done * 100 / total);
    log_.changeStatus([&](LogStatus& status) { status.progress = percent; });
}

} // namespace trellisk
