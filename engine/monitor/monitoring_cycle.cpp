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

void Monitor::Timer1Timer() {
    if (busy_ || !monitoring_)
        return;
    {
        const BusyScope busy(busy_);
        try {
            const MonotonicTime started = clock_.monotonic();
            const std::string snapshotTime = DateTimeText(clock_.now());
            preProcess(snapshotTime);
            expandFolders();
            listFiles();
            resetUpdateMarkers();
            compareDirectories();
            logNewAndDeletedDirectories();
            tidyResultTables();
            rollComparisonBase(snapshotTime);
            finishCycle(started);
        } catch (const std::exception& error) {
            // Out of memory and the like: the base may be half rolled, so monitoring stops
            // and says why instead of comparing against it again.
            StopMonitoring();
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
    snapdirListView_.clear();
    log_.changeStatus([&](LogStatus& status) {
        status.Label4 = snapshotTime;
        status.Label3 = status.oldlabel;
        status.updateno = status.newno = status.delno = status.renameno = 0;
    });
    window_.setBaseTimeText("比較元日時" + log_.status().oldlabel);
    showFreeSpace();
    window_.setTrayPicture(kTrayBusy);
    window_.pump();
}

void Monitor::expandFolders() {
    const std::size_t folders = settings_.ListView1.count();
    setPhase("フォルダ展開中");
    expandedEntries_.clear();
    for (std::size_t q = 0; q < folders; ++q) {
        const FolderEntry& entry = settings_.ListView1[q];
        snapdirListView_.append(DirRow{entry.path, -1, -1, false});
        if (entry.subMonitor == kSubMonitorYes)
            ExpandFolder(AddBackslash(entry.path), snapdirListView_, entry, &expandedEntries_);
        setGauge(q + 1, folders);
    }
}

void Monitor::listFiles() {
    allsnapListView_.clear();
    setPhase("ファイル取得中");
    RunListingPass(
        snapdirListView_, allsnapListView_, [] { return true; }, [&] { window_.pump(); },
        &expandedEntries_);
    expandedEntries_.clear();
}

void Monitor::resetUpdateMarkers() {
    UpdateTable& updated = log_.updateListview;
    for (std::size_t row = 0; row < updated.count(); ++row) {
        const UpdateRow& r = updated[row];
        if (r.rowImage == kChangedMarker || r.sizeImage != kNoMarker || r.dateImage != kNoMarker) {
            updated.change(row, [](UpdateRow& u) {
                if (u.rowImage < kCompleteMarker)
                    u.rowImage = kNoMarker;
                u.sizeImage = kNoMarker;
                u.dateImage = kNoMarker;
            });
        }
    }
}

void Monitor::compareDirectories() {
    const std::size_t directories = snapdirListView_.count();
    setPhase("ファイル比較中");
    olddirRemoved_.assign(olddirListView_.count(), 0);
    olddirByPath_.build(
        static_cast<std::uint32_t>(olddirListView_.count()),
        [&](std::uint32_t row) { return std::string_view(olddirListView_[row].dir); });

    for (std::size_t q = 0; q < directories; ++q) {
        DirRow& current = snapdirListView_[q];
        const long long k = FindOldDir(current.dir);
        if (k != -1) {
            const DirRow& base = olddirListView_[static_cast<std::size_t>(k - 1)];
            const auto run = [](const FileTable& table, const DirRow& row) {
                const bool hasFiles = row.start != -1 && row.item > 0;
                return FileRun{table, hasFiles ? static_cast<std::size_t>(row.start) : 0,
                               hasFiles ? static_cast<std::size_t>(row.item) : 0};
            };
            classifier_.ClassifyChanges(current.dir, run(allsnapListView_, current),
                                        run(alloldListView_, base));
            olddirRemoved_[static_cast<std::size_t>(k - 1)] = 1;
            current.mark = true;
        }
        setPhase("ファイル比較中 " + current.dir);
        setGauge(q + 1, directories);
        window_.pump();
    }
}

long long Monitor::FindOldDir(std::string_view dir) {
    const std::uint32_t row = olddirByPath_.first(dir, olddirRemoved_);
    return row == olddirByPath_.npos ? -1 : static_cast<long long>(row) + 1;
}

void Monitor::logNewAndDeletedDirectories() {
    for (const DirRow& row : snapdirListView_) {
        if (!row.mark)
            logDirectory(row.dir, kKindNew);
    }
    for (std::size_t row = 0; row < olddirListView_.count(); ++row) {
        if (!olddirRemoved_[row])
            logDirectory(olddirListView_[row].dir, kKindDeleted);
    }
}

void Monitor::logDirectory(const std::string& dir, const char* kind) {
    const std::size_t row =
        log_.logListView.append({dir, kind, {}, {}, {}, DateTimeText(clock_.now()), {}});
    log_.logListView.scrollTo(row);
}

namespace {

// Drops the rows of files that are gone and marks those that nobody writes any more.
template <class Table> void TidyRows(Table& table) {
    table.removeIf([](const auto& row) { return !platform::FileExists(row.folder + row.file); });
    for (std::size_t row = 0; row < table.count(); ++row) {
        const auto& r = table[row];
        if (r.rowImage < kCompleteMarker && platform::CanOpenFile(r.folder + r.file))
            table.change(row, [](auto& changed) { changed.rowImage = kCompleteMarker; });
    }
}

} // namespace

void Monitor::tidyResultTables() {
    TidyRows(log_.NewListView);
    TidyRows(log_.updateListview);
}

void Monitor::rollComparisonBase(const std::string& snapshotTime) {
    setPhase("後処理中");
    log_.changeStatus([&](LogStatus& status) { status.oldlabel = snapshotTime; });
    // The new snapshot becomes the base by handing the tables over; the old base's memory is
    // kept for the next snapshot.
    olddirByPath_.clear();
    std::swap(alloldListView_, allsnapListView_);
    std::swap(olddirListView_, snapdirListView_);
    olddirListView_.clearMarks();
    allsnapListView_.clear();
    snapdirListView_.clear();
}

void Monitor::finishCycle(MonotonicTime started) {
    const long long seconds =
        std::chrono::duration_cast<std::chrono::seconds>(clock_.monotonic() - started).count();
    char duration[8];
    std::snprintf(duration, sizeof duration, "%2lld",
                  std::clamp(seconds, 0LL, kLongestShownDuration));
    log_.changeStatus([&](LogStatus& status) {
        status.Label11 += duration;
        if (status.Label11.size() > kDurationHistoryLength)
            status.Label11.erase(0, status.Label11.size() - kDurationHistoryLength);
    });
    if (monitoring_)
        window_.setTrayPicture(kTrayMonitoring);
    log_.changeStatus([&](LogStatus& status) {
        status.Label9.clear();
        status.lines = "ログ行数 " + std::to_string(log_.logListView.count());
    });
    window_.pump();
    // A stop chosen during the cycle keeps the timer off.
    if (monitoring_)
        window_.setTimerEnabled(true);
    window_.setMonitorMenuEnabled(true);
}

void Monitor::setPhase(std::string text) {
    log_.changeStatus([&](LogStatus& status) { status.Label9 = std::move(text); });
}

void Monitor::setGauge(std::size_t done, std::size_t total) {
    const int percent = total == 0 ? 0 : static_cast<int>(done * 100 / total);
    log_.changeStatus([&](LogStatus& status) { status.Gauge1 = percent; });
}

} // namespace trellisk
