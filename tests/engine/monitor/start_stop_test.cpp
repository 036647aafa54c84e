// Starting and stopping monitoring: the baseline, reusing the kept base, the long-baseline
// question and the states the windows are told about.
#include "tests/engine/monitor/monitor_fixture.h"

#include "engine/platform/file_system.h"

#include <new>

namespace trellisk::test {
namespace {

const std::string kQuestion4 = "フォルダ(4コ)内全ファイル情報の取得に15秒以上かかります。"
                               "処理を中止しますか？\nはいをクリックすることを強く推奨します。";

TEST_F(MonitorTest, StartWithoutFoldersOnlyShowsTheMessage) {
    monitor.startMonitoring();
    EXPECT_EQ(window.messages, std::vector<std::string>{"監視フォルダが指定されていません"});
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_FALSE(window.logWindowShown);
    EXPECT_TRUE(window.trayPictures.empty());
}

TEST_F(MonitorTest, FirstStartTakesABaselineAndEnablesTheTimer) {
    tree.makeFile("a.txt", 3, kFileTime);
    watch(tree.root());
    settings.clearBaseAtStart = true;
    window.restartClear = true;
    monitor.startMonitoring();

    EXPECT_TRUE(monitor.isMonitoring());
    EXPECT_TRUE(window.logWindowShown);
    EXPECT_EQ(window.trayPictures,
              (std::vector<TrayPicture>{TrayPicture::Monitoring, TrayPicture::Busy,
                                        TrayPicture::Monitoring}));
    EXPECT_EQ(window.statusText, "状態：監視中");
    EXPECT_TRUE(window.timerEnabled);
    EXPECT_FALSE(settings.clearBaseAtStart);
    EXPECT_FALSE(window.restartClear);
    EXPECT_EQ(log.status().baseTime, now());
    ASSERT_EQ(monitor.baseDirs().count(), 1u);
    EXPECT_EQ(monitor.baseDirs().path(0), tree.root());
    EXPECT_EQ(monitor.baseFiles().count(), 1u);
    const std::string mount = platform::MountPointOf(tree.root());
    EXPECT_EQ(log.status().drives, std::vector<std::string>{mount});
    ASSERT_EQ(log.status().freeSpaceLines.size(), 1u);
    EXPECT_EQ(log.status().freeSpaceLines[0].rfind(mount + "ドライブ ", 0), 0u);
    EXPECT_TRUE(window.questions.empty());
}

TEST_F(MonitorTest, DriveListHasEachFileSystemOnceInOrderOfFirstAppearance) {
#ifdef _WIN32
    GTEST_SKIP() << "no /proc on Windows; the Windows monitor test checks its drive letters";
#else
    tree.makeDir("a");
    tree.makeDir("b");
    watch(tree.path("a/"));
    watch("/proc/self/");
    watch(tree.path("b/"));
    start();
    EXPECT_EQ(log.status().drives,
              (std::vector<std::string>{platform::MountPointOf(tree.root()), "/proc"}));
    EXPECT_EQ(log.status().freeSpaceLines.size(), 2u);
#endif
}

TEST_F(MonitorTest, StartWhileMonitoringAndStopWhileStoppedDoNothing) {
    watch(tree.root());
    monitor.stopMonitoring();
    EXPECT_TRUE(window.trayPictures.empty());
    start();
    const auto pictures = window.trayPictures;
    monitor.startMonitoring();
    EXPECT_EQ(window.trayPictures, pictures);
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(MonitorTest, StopKeepsTheBaseAndTheNextStartReusesIt) {
    tree.makeFile("a.txt", 3, kFileTime);
    watch(tree.root());
    start();
    const std::string baseTime = log.status().baseTime;
    monitor.stopMonitoring();
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    EXPECT_EQ(window.statusText, "状態：停止中");
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_EQ(monitor.baseFiles().count(), 1u);

    tree.makeFile("a.txt", 30, kFileTime); // changed while stopped
    clock.advance(std::chrono::seconds(60));
    window.trayPictures.clear();
    window.logWindowShown = false;
    monitor.startMonitoring();
    EXPECT_EQ(window.trayPictures,
              (std::vector<TrayPicture>{TrayPicture::Monitoring, TrayPicture::Monitoring}))
        << "no baseline picture";
    EXPECT_TRUE(window.logWindowShown);
    EXPECT_EQ(log.status().baseTime, baseTime);
    EXPECT_TRUE(window.timerEnabled);
    cycle();
    EXPECT_EQ(log.status().updatedCount, 1) << "the change made while stopped is reported";
}

TEST_F(MonitorTest, CheckedRestartOptionForcesANewBaseline) {
    tree.makeFile("a.txt", 3, kFileTime);
    watch(tree.root());
    start();
    monitor.stopMonitoring();
    tree.makeFile("a.txt", 30, kFileTime);
    settings.clearBaseAtStart = true;
    clock.advance(std::chrono::seconds(60));
    monitor.startMonitoring();
    EXPECT_EQ(log.status().baseTime, now());
    EXPECT_FALSE(settings.clearBaseAtStart);
    cycle();
    EXPECT_EQ(log.status().updatedCount, 0) << "the new base already has the change";
}

class LongBaselineTest : public MonitorTest {
protected:
    LongBaselineTest() {
        for (const char* d : {"a", "b", "c"})
            tree.makeDir(d);
        watch(tree.root(), kSubMonitorYes); // four directories
        // Every reading of the clock moves it on by 6 seconds: before the four directories
        // 6, 12, 18 and 24 s have passed, so the question comes before the last two.
        clock.stepPerReading = std::chrono::seconds(6);
    }
};

TEST_F(LongBaselineTest, NoMeansGoOnAndAskAgainBeforeEveryFurtherDirectory) {
    monitor.startMonitoring();
    EXPECT_EQ(window.questions, (std::vector<std::string>{kQuestion4, kQuestion4}));
    EXPECT_TRUE(monitor.isMonitoring());
    EXPECT_TRUE(window.timerEnabled);
    EXPECT_EQ(monitor.baseDirs().count(), 4u);
}

TEST_F(LongBaselineTest, YesGivesUpAndLeavesNoBase) {
    window.answers = {false, true};
    monitor.startMonitoring();
    EXPECT_EQ(window.questions.size(), 2u);
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_EQ(window.statusText, "状態：停止中");
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    EXPECT_TRUE(window.mainWindowShown);
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_TRUE(monitor.baseDirs().empty());
    EXPECT_TRUE(monitor.baseFiles().empty());
    EXPECT_TRUE(log.status().drives.empty());
    EXPECT_FALSE(log.status().freeSpaceLines.empty()) << "the free-space lines stay";

    // With no base the next start takes a full one, the option being clear.
    clock.stepPerReading = std::chrono::seconds(0);
    EXPECT_FALSE(settings.clearBaseAtStart);
    monitor.startMonitoring();
    EXPECT_TRUE(monitor.isMonitoring());
    EXPECT_EQ(monitor.baseDirs().count(), 4u);
}

TEST_F(LongBaselineTest, StopWhileTheQuestionIsOpenEndsTheBaselineStopped) {
    window.onAsk = [&] { monitor.stopMonitoring(); };
    monitor.startMonitoring();
    EXPECT_EQ(window.questions.size(), 1u);
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    EXPECT_TRUE(monitor.baseDirs().empty()) << "a half-listed base is not kept";
    EXPECT_FALSE(monitor.busy());
}

TEST_F(LongBaselineTest, RunningOutOfMemoryStopsMonitoringWithAMessage) {
    window.onAsk = [] { throw std::bad_alloc(); };
    monitor.startMonitoring();
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_FALSE(monitor.busy());
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    EXPECT_EQ(window.statusText, "状態：停止中");
    EXPECT_EQ(window.messages, std::vector<std::string>{std::bad_alloc().what()});
    EXPECT_TRUE(monitor.baseDirs().empty());
    EXPECT_TRUE(monitor.baseFiles().empty());

    window.onAsk = nullptr;
    clock.stepPerReading = std::chrono::seconds(0);
    monitor.startMonitoring();
    EXPECT_TRUE(monitor.isMonitoring()) << "a later start takes a full baseline";
    EXPECT_EQ(monitor.baseDirs().count(), 4u);
}

TEST_F(MonitorTest, QuickBaselineAsksNothing) {
    tree.makeDir("a");
    watch(tree.root(), kSubMonitorYes);
    clock.stepPerReading = std::chrono::seconds(5); // 5 and 10 s before the two directories
    monitor.startMonitoring();
    EXPECT_TRUE(window.questions.empty());
    EXPECT_TRUE(monitor.isMonitoring());
}

} // namespace
} // namespace trellisk::test
