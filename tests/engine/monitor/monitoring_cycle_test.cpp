// One monitoring cycle: pairing of directories, new and deleted directories, status fields.
#include "tests/engine/monitor/monitor_fixture.h"

#include <cstdio>
#include <new>
#ifndef _WIN32
#include "tests/support/permission_bits.h"

#include <sys/stat.h>
#endif

namespace trellisk::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST_F(MonitorTest, CycleShowsPhaseProgressTimesAndLineCount) {
    tree.makeDir("sub");
    watch(tree.root(), true);
    start();
    const std::string baseTime = now();
    bool menuOffInCycle = false, timerOffInCycle = false, busyPicture = false;
    bool menuOnInCycle = false;
    std::vector<std::string> phases;
    window.onTask = [&](int) {
        menuOffInCycle |= !window.monitorMenuEnabled;
        timerOffInCycle |= !window.timerEnabled;
        busyPicture |= window.tray() == TrayPicture::Busy;
        menuOnInCycle |= window.monitorMenuEnabled;
        if (phases.empty() || phases.back() != log.status().phase)
            phases.push_back(log.status().phase);
    };
    cycle();
    window.onTask = nullptr;
    EXPECT_TRUE(menuOffInCycle);
    EXPECT_FALSE(menuOnInCycle);
    EXPECT_TRUE(timerOffInCycle);
    EXPECT_TRUE(busyPicture);
    EXPECT_TRUE(window.monitorMenuEnabled);
    EXPECT_TRUE(window.timerEnabled);
    EXPECT_EQ(window.tray(), TrayPicture::Monitoring);
    ASSERT_FALSE(phases.empty());
    EXPECT_EQ(phases.front(), "前処理中");
    for (const std::string& phase : phases)
        EXPECT_TRUE(phase == "前処理中" || phase == "ファイル取得中" ||
                    phase.starts_with("ファイル比較中") || phase == "後処理中")
            << phase;

    const LogStatus& status = log.status();
    EXPECT_EQ(status.comparedBaseTime, baseTime) << "first cycle compares with the baseline";
    EXPECT_EQ(status.snapshotTime, now());
    EXPECT_EQ(DateTimeText(monitor.baseTime()), now());
    EXPECT_EQ(window.baseTimeText, "比較元日時" + baseTime);
    EXPECT_EQ(status.phase, "");
    EXPECT_EQ(status.progress, 100);
    EXPECT_EQ(status.recentDurations, " 0");
    EXPECT_EQ(status.lineCount, "ログ行数 0");

    const std::string firstSnapshot = now();
    cycle();
    EXPECT_EQ(log.status().comparedBaseTime, firstSnapshot);
}

// The duration runs from the tick to the end of the cycle's job, whichever thread reads it.
TEST_F(MonitorTest, DurationHistoryKeepsTheLatestTenTwoCharacterEntries) {
    watch(tree.root());
    start();
    long long secondsThisCycle = 0;
    window.onTask = [&](int task) {
        if (task == 1)
            clock.advance(std::chrono::seconds(secondsThisCycle));
    };
    std::string expected;
    for (long long seconds : {5, 150, 12, 0, 1, 2, 3, 4, 5, 6, 7}) {
        secondsThisCycle = seconds;
        cycle();
        char entry[24];
        std::snprintf(entry, sizeof entry, "%2lld", std::min(seconds, 99LL));
        expected += entry;
    }
    EXPECT_EQ(log.status().recentDurations, expected.substr(expected.size() - 20));
}

TEST_F(MonitorTest, NewAndVanishedDirectoriesAreOneLogRowEachAndNotCounted) {
    watch(tree.root(), true);
    start();
    tree.makeDir("sub");
    tree.makeFile("sub/inside.txt", 5, kFileTime);
    cycle();
    EXPECT_EQ(logRows(), (Rows{{tree.path("sub/"), "新規", "", "", "", now(), ""}}));
    EXPECT_TRUE(log.newFiles.empty());
    EXPECT_EQ(log.status().newCount, 0);

    tree.makeFile("sub/second.txt", 5, kFileTime);
    cycle();
    ASSERT_EQ(log.newFiles.count(), 1u) << "files of a known directory are compared";
    EXPECT_EQ(log.newFiles[0].file, "second.txt");

    tree.remove("sub/inside.txt");
    tree.remove("sub/second.txt");
    tree.remove("sub");
    cycle();
    EXPECT_EQ(Fields(log.entries[log.entries.count() - 1]),
              (std::vector<std::string>{tree.path("sub/"), "削除", "", "", "", now(), ""}));
    EXPECT_EQ(log.status().deletedCount, 0);
    EXPECT_EQ(log.status().newCount, 0);
}

TEST_F(MonitorTest, DirectoryPathsPairOnlyWhenEqualByteForByte) {
    tree.makeDir("Data");
    watch(tree.root(), true);
    start();
    if (!rename("Data", "data"))
        GTEST_SKIP() << kNoCaseOnlyRename;
    cycle();
    EXPECT_EQ(logRows(), (Rows{{tree.path("data/"), "新規", "", "", "", now(), ""},
                               {tree.path("Data/"), "削除", "", "", "", now(), ""}}));
}

TEST_F(MonitorTest, VanishedWatchedFolderReportsItsFilesAndSubdirectoriesDeleted) {
    tree.makeDir("w");
    tree.makeDir("w/s");
    tree.makeFile("w/f.txt", 9, kFileTime);
    watch(tree.path("w/"), true);
    start();
    tree.remove("w/f.txt");
    tree.remove("w/s");
    tree.remove("w");
    cycle();
    EXPECT_EQ(logRows(), (Rows{{"f.txt", "削除", "", "", "", now(), tree.path("w/")},
                               {tree.path("w/s/"), "削除", "", "", "", now(), ""}}));
    EXPECT_EQ(log.status().deletedCount, 1);
}

TEST_F(MonitorTest, OverlappingFoldersPairFirstWithFirstAndShareOneUpdatedRow) {
    tree.makeFile("a.txt", 10, kFileTime);
    watch(tree.root());
    watch(tree.root());
    start();
    EXPECT_EQ(monitor.baseFiles().count(), 2u) << "the shared folder is listed twice";
    tree.makeFile("a.txt", 10 + 3 * 1048576, kFileTime);
    cycle();
    EXPECT_EQ(log.entries.count(), 2u);
    ASSERT_EQ(log.updatedFiles.count(), 1u);
    EXPECT_EQ(CellText(log.updatedFiles[0], UpdatedColumn::Rate), "8.00")
        << "second finding refreshes the row";
    EXPECT_EQ(log.status().updatedCount, 2);
    EXPECT_TRUE(log.newFiles.empty());
    EXPECT_TRUE(log.deletedFiles.empty());
}

// Findings carry the watched folder they were found under, and their directory.
TEST_F(MonitorTest, FindingsNameTheirWatchedFolderAndDirectory) {
    class Findings final : public MonitorListener {
    public:
        void found(std::span<const Finding> batch) override {
            all.insert(all.end(), batch.begin(), batch.end());
        }
        std::vector<Finding> all;
    } listener;
    tree.makeDir("w");
    tree.makeDir("w/s");
    tree.makeFile("w/s/grows", 1, kFileTime);
    watch(tree.path("w"), true);
    Monitor own(settings, window, listener, clock);
    own.start();
    window.runUntil([&] { return !own.jobRunning(); });
    tree.makeFile("w/s/grows", 5, kFileTime + 2);
    tree.makeDir("w/s/t");
    own.tick();
    window.runUntil([&] { return !own.jobRunning(); });
    ASSERT_EQ(listener.all.size(), 2u);
    const Finding& grown = listener.all[0];
    EXPECT_EQ(grown.kind, FindingKind::Updated);
    EXPECT_EQ(grown.watchedFolder, tree.path("w/"));
    EXPECT_EQ(grown.directory, tree.path("w/s/"));
    EXPECT_EQ(grown.name, "grows");
    EXPECT_EQ(grown.size, 5u);
    EXPECT_EQ(grown.baseSize, 1u);
    EXPECT_EQ(grown.dateKey, kFileTime + 2);
    EXPECT_EQ(grown.baseDateKey, kFileTime);
    EXPECT_EQ(grown.detected, clock.now());
    const Finding& folder = listener.all[1];
    EXPECT_EQ(folder.kind, FindingKind::FolderNew);
    EXPECT_EQ(folder.watchedFolder, tree.path("w/"));
    EXPECT_EQ(folder.directory, tree.path("w/s/t/"));
    EXPECT_TRUE(folder.name.empty());
    own.stop();
}

// Taking the permissions of a directory away and giving them back deletes and creates nothing.
TEST_F(MonitorTest, UnreadableDirectoryKeepsItsFilesAndIsLoggedOnce) {
#ifdef _WIN32
    GTEST_SKIP() << kNoPermissionBits;
#else
    tree.makeDir("locked");
    tree.makeDir("locked/inner");
    tree.makeFile("locked/one.txt", 1, kFileTime);
    tree.makeFile("locked/inner/two.txt", 2, kFileTime);
    watch(tree.root(), true);
    // Before the first job: its thread, made then, takes this thread's permissions.
    const PermissionBitsApply permissions;
    ASSERT_TRUE(permissions.active());
    start();
    for (const mode_t mode : {0000, 0300}) {
        log.entries.clear();
        ASSERT_EQ(::chmod(tree.path("locked").c_str(), mode), 0);
        cycle();
        EXPECT_EQ(logRows(), (Rows{{tree.path("locked/"), "読取不可", "", "", "", now(), ""}}))
            << "mode " << mode;
        cycle();
        EXPECT_EQ(log.entries.count(), 1u) << "said once";
        ASSERT_EQ(::chmod(tree.path("locked").c_str(), 0755), 0);
        cycle();
        EXPECT_EQ(log.entries.count(), 1u) << "readable again: nothing changed";
    }
    EXPECT_TRUE(log.deletedFiles.empty());
    EXPECT_TRUE(log.newFiles.empty());
    EXPECT_EQ(log.status().deletedCount, 0);

    // A change made while it was unreadable shows once it can be read again.
    ASSERT_EQ(::chmod(tree.path("locked").c_str(), 0), 0);
    cycle();
    ASSERT_EQ(::chmod(tree.path("locked").c_str(), 0755), 0);
    tree.remove("locked/one.txt");
    cycle();
    ASSERT_EQ(log.deletedFiles.count(), 1u);
    EXPECT_EQ(log.deletedFiles[0].file, "one.txt");
#endif
}

TEST_F(MonitorTest, EmptyDirectoryInBothSnapshotsIsPairedSilently) {
    tree.makeDir("empty");
    watch(tree.root(), true);
    start();
    cycle();
    EXPECT_TRUE(log.entries.empty());
}

TEST_F(MonitorTest, TickWhileStoppedRunsNoCycle) {
    watch(tree.root());
    monitor.tick();
    EXPECT_FALSE(monitor.jobRunning());
    EXPECT_TRUE(window.monitorMenuHistory.empty());
    EXPECT_TRUE(window.trayPictures.empty());
}

TEST_F(MonitorTest, CountersShowTheLatestCycleOnly) {
    tree.makeFile("a.txt", 1, kFileTime);
    watch(tree.root());
    start();
    tree.makeFile("a.txt", 2, kFileTime);
    cycle();
    EXPECT_EQ(log.status().updatedCount, 1);
    cycle();
    EXPECT_EQ(log.status().updatedCount, 0);
    EXPECT_EQ(log.status().lineCount, "ログ行数 1");
}

// Out of memory in a cycle: monitoring stops and says why; the base stays as it was.
TEST_F(MonitorTest, RunningOutOfMemoryInACycleStopsMonitoringWithAMessage) {
    tree.makeFile("a.txt", 1, kFileTime);
    watch(tree.root());
    start();
    clock.failAfterReadings(1); // the tick's reading; the cycle's end throws
    cycle();
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_TRUE(window.monitorMenuEnabled);
    EXPECT_EQ(window.messages, std::vector<std::string>{std::bad_alloc().what()});
    EXPECT_EQ(monitor.baseFiles().count(), 1u);
}

} // namespace
} // namespace trellisk::test
