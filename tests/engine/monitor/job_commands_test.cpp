// Commands that arrive while a baseline or a cycle runs as a job: stop, start, clear, save
// and the end of the program. The fake front end holds the job at a chosen task while the
// command is given.
#include "tests/engine/monitor/monitor_fixture.h"

#include "engine/log/log_export.h"

#include <fstream>

namespace trellisk::test {
namespace {

using namespace std::chrono_literals;

// Files of `tree` that a test changes, with a base where each has size 1.
class JobCommandsTest : public MonitorTest {
protected:
    void makeFiles(int count, std::uint64_t size, const std::string& dir = "") {
        for (int i = 0; i < count; ++i)
            tree.makeFile(dir + "f" + std::to_string(i), size, kFileTime);
    }
    // Runs a cycle and calls `command` before the first task that comes once the findings
    // have started to arrive: the listing is complete then, the comparison running or done.
    void cycleWithCommandAfterFirstFindings(const std::function<void()>& command) {
        const std::size_t before = log.entries.count();
        bool given = false;
        window.onTask = [&](int) {
            if (!given && log.entries.count() > before) {
                given = true;
                command();
            }
        };
        cycle();
        window.onTask = nullptr;
        EXPECT_TRUE(given) << "no findings arrived";
    }
};

// The job is held at its first task, before its listing: the stop takes effect at once in
// the front end, and the job ends without a finding, keeping the old base.
TEST_F(JobCommandsTest, StopDuringTheListingDropsTheSnapshotAndKeepsTheBase) {
    makeFiles(3, 1);
    watch(tree.root());
    start();
    makeFiles(3, 2);
    window.onTask = [&](int task) {
        if (task != 1)
            return;
        monitor.stop();
        EXPECT_EQ(monitor.state(), Monitor::State::Stopping);
        EXPECT_FALSE(monitor.isMonitoring());
        EXPECT_EQ(window.tray(), TrayPicture::Stopped);
        EXPECT_EQ(window.statusText, "状態：停止中");
        EXPECT_FALSE(window.timerEnabled);
    };
    cycle();
    window.onTask = nullptr;
    EXPECT_EQ(monitor.state(), Monitor::State::Stopped);
    EXPECT_FALSE(window.timerEnabled) << "a stopped cycle leaves the timer off";
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    EXPECT_TRUE(window.monitorMenuEnabled);
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(log.status().phase, "");
    EXPECT_EQ(log.status().recentDurations, "") << "a dropped cycle has no duration";
    EXPECT_EQ(monitor.baseFiles().size(0), 1u) << "the old base";

    // The next start compares with the old base: each change once.
    start();
    cycle();
    EXPECT_EQ(log.status().updatedCount, 3);
    EXPECT_EQ(log.entries.count(), 3u);
}

// Once the listing is complete, the comparison finishes and the base is rolled: every finding
// is reported once, and none again after the next start.
TEST_F(JobCommandsTest, StopAfterTheListingFinishesTheComparisonAndRollsTheBase) {
    tree.makeDir("a");
    tree.makeDir("b");
    makeFiles(600, 1, "a/");
    makeFiles(600, 1, "b/");
    watch(tree.root(), true);
    start();
    makeFiles(600, 2, "a/");
    makeFiles(600, 2, "b/");
    cycleWithCommandAfterFirstFindings([&] { monitor.stop(); });
    EXPECT_EQ(monitor.state(), Monitor::State::Stopped);
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    EXPECT_EQ(log.entries.count(), 1200u);
    EXPECT_EQ(log.status().updatedCount, 1200);
    EXPECT_EQ(monitor.baseFiles().size(0), 2u) << "the base is rolled";

    start();
    cycle();
    EXPECT_EQ(log.entries.count(), 1200u) << "nothing is reported twice";
}

// A stopped baseline, wherever the stop finds it, leaves no half base.
TEST_F(JobCommandsTest, StopDuringTheBaselineLeavesNoBase) {
    tree.makeDir("a");
    makeFiles(50, 1, "a/");
    watch(tree.root(), true);
    monitor.start();
    monitor.stop();
    EXPECT_EQ(monitor.state(), Monitor::State::Stopping);
    settle();
    EXPECT_EQ(monitor.state(), Monitor::State::Stopped);
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    EXPECT_TRUE(monitor.baseDirs().empty());
    EXPECT_TRUE(monitor.baseFiles().empty());
    EXPECT_TRUE(monitor.drives().empty());
}

// A start given while a stopped job ends is a state of the monitor: it takes effect once the
// job has ended, and a stop before that calls it off.
TEST_F(JobCommandsTest, StartWhileAStoppedJobEndsTakesEffectAfterIt) {
    struct Case {
        const char* name;
        bool stopAgain;
        Monitor::State after;
    };
    for (const Case& c : {Case{"start", false, Monitor::State::Waiting},
                          Case{"start, then stop", true, Monitor::State::Stopped}}) {
        SCOPED_TRACE(c.name);
        makeFiles(2, 1);
        watch(tree.root());
        start();
        window.onTask = [&](int task) {
            if (task != 1)
                return;
            monitor.stop();
            monitor.start();
            EXPECT_EQ(monitor.state(), Monitor::State::Restarting);
            EXPECT_FALSE(monitor.isMonitoring());
            if (c.stopAgain)
                monitor.stop();
        };
        cycle();
        window.onTask = nullptr;
        settle();
        EXPECT_EQ(monitor.state(), c.after);
        EXPECT_EQ(window.timerEnabled, !c.stopAgain);
        EXPECT_EQ(window.tray(), c.stopAgain ? TrayPicture::Stopped : TrayPicture::Monitoring);
        EXPECT_EQ(monitor.baseFiles().count(), 2u) << "the old base is kept and reused";
        monitor.stop();
        settings.folders.clear();
    }
}

// Start during a running cycle does nothing (the main menu is off then; the tray's is not).
TEST_F(JobCommandsTest, StartDuringACycleDoesNothing) {
    watch(tree.root());
    start();
    const auto pictures = window.trayPictures.size();
    window.onTask = [&](int task) {
        if (task == 1)
            monitor.start();
    };
    cycle();
    window.onTask = nullptr;
    EXPECT_EQ(window.trayPictures.size(), pictures + 2) << "only the cycle's own pictures";
    EXPECT_EQ(monitor.state(), Monitor::State::Waiting);
    EXPECT_TRUE(window.timerEnabled);
}

// The first or later finding of an updated file is decided by the table as it is when the
// finding arrives: after a clear, a file is found for the first time again.
TEST_F(JobCommandsTest, FindingsAfterAClearGoIntoTheEmptiedTables) {
    makeFiles(1200, 1);
    watch(tree.root());
    start();
    makeFiles(1200, 2);
    cycle();
    ASSERT_EQ(log.updatedFiles.count(), 1200u);

    makeFiles(1200, 3);
    cycleWithCommandAfterFirstFindings([&] { ClearLog(log); });
    const std::size_t after = log.entries.count();
    EXPECT_GT(after, 0u) << "findings arrived after the clear";
    EXPECT_LT(after, 1200u) << "the clear came between findings";
    EXPECT_EQ(log.updatedFiles.count(), after);
    for (const UpdateRow& row : log.updatedFiles)
        EXPECT_FALSE(row.rate.has_value()) << row.file << ": a first finding has no rate";
    for (const LogRow& row : log.entries)
        EXPECT_FALSE(row.sizeChange.has_value()) << row.file;
    EXPECT_EQ(log.status().updatedCount, 1200) << "the counts are not cleared";
}

// A save writes the tables as they are; the cycle goes on.
TEST_F(JobCommandsTest, SaveDuringACycleWritesTheTablesAsFarAsFilled) {
    makeFiles(1200, 1);
    watch(tree.root());
    start();
    makeFiles(1200, 2);
    const std::string base = tree.path("saved");
    std::optional<std::string> error = "not saved";
    std::size_t rowsAtSave = 0;
    cycleWithCommandAfterFirstFindings([&] {
        rowsAtSave = log.entries.count();
        error = SaveLog(log, base);
    });
    ASSERT_EQ(error, std::nullopt);
    std::ifstream saved(FsPath(base + "-log.txt"));
    std::size_t lines = 0;
    for (std::string line; std::getline(saved, line);)
        ++lines;
    EXPECT_EQ(lines, rowsAtSave + 1) << "header and the rows found before the save";
    EXPECT_EQ(log.entries.count(), 1200u) << "the cycle went on after the save";
}

// At the end of the program the front end stops the job and waits a bounded time for it,
// running no task meanwhile: a stopped job ends at its next directory.
TEST_F(JobCommandsTest, AJobStopsWithinASecondAtTheEndOfTheProgram) {
    for (int d = 0; d < 200; ++d)
        tree.makeDir("d" + std::to_string(d));
    watch(tree.root(), true);
    window.lockStep = false;
    for (const bool baseline : {true, false}) {
        SCOPED_TRACE(baseline ? "baseline" : "cycle");
        if (baseline)
            monitor.start();
        else
            monitor.tick();
        ASSERT_TRUE(monitor.jobRunning());
        monitor.stop();
        EXPECT_TRUE(monitor.waitForJobEnd(1s));
        settle();
        EXPECT_EQ(monitor.state(), Monitor::State::Stopped);
        if (baseline)
            start(); // for the cycle
    }
}

TEST_F(JobCommandsTest, WaitingForNoJobReturnsAtOnce) {
    EXPECT_TRUE(monitor.waitForJobEnd(0ms));
}

} // namespace
} // namespace trellisk::test
