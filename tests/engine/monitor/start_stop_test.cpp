// Starting and stopping monitoring: the baseline, reusing the kept base, the long-baseline
// question and the states the front end is told about.
#include "tests/engine/monitor/monitor_fixture.h"

#include "engine/platform/file_system.h"

#include <new>

namespace trellisk::test {
namespace {

const std::string kQuestion4 = "フォルダ(4コ)内全ファイル情報の取得に15秒以上かかります。"
                               "処理を中止しますか？\nはいをクリックすることを強く推奨します。";

TEST_F(MonitorTest, StartWithoutFoldersOnlyShowsTheMessage) {
    monitor.start();
    EXPECT_EQ(window.messages, std::vector<std::string>{"監視フォルダが指定されていません"});
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_FALSE(monitor.jobRunning());
    EXPECT_FALSE(window.logWindowShown);
    EXPECT_TRUE(window.trayPictures.empty());
}

TEST_F(MonitorTest, FirstStartTakesABaselineAndEnablesTheTimer) {
    tree.makeFile("a.txt", 3, kFileTime);
    watch(tree.root());
    settings.clearBaseAtStart = true;
    window.restartClear = true;
    monitor.start();
    // Monitoring from the start on; the timer waits for the baseline.
    EXPECT_EQ(monitor.state(), Monitor::State::Starting);
    EXPECT_TRUE(monitor.isMonitoring());
    EXPECT_EQ(window.statusText, "状態：監視中");
    EXPECT_FALSE(window.timerEnabled);
    settle();

    EXPECT_EQ(monitor.state(), Monitor::State::Waiting);
    EXPECT_TRUE(window.logWindowShown);
    EXPECT_EQ(window.trayPictures,
              (std::vector<TrayPicture>{TrayPicture::Monitoring, TrayPicture::Busy,
                                        TrayPicture::Monitoring}));
    EXPECT_TRUE(window.timerEnabled);
    EXPECT_FALSE(settings.clearBaseAtStart);
    EXPECT_FALSE(window.restartClear);
    EXPECT_EQ(DateTimeText(monitor.baseTime()), now());
    ASSERT_EQ(monitor.baseDirs().count(), 1u);
    EXPECT_EQ(monitor.baseDirs().path(0), tree.root());
    EXPECT_EQ(monitor.baseFiles().count(), 1u);
    const std::string mount = platform::MountPointOf(tree.root());
    EXPECT_EQ(monitor.drives(), std::vector<std::string>{mount});
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
    EXPECT_EQ(monitor.drives(),
              (std::vector<std::string>{platform::MountPointOf(tree.root()), "/proc"}));
    EXPECT_EQ(log.status().freeSpaceLines.size(), 2u);
#endif
}

TEST_F(MonitorTest, StartWhileMonitoringAndStopWhileStoppedDoNothing) {
    watch(tree.root());
    monitor.stop();
    EXPECT_TRUE(window.trayPictures.empty());
    start();
    const auto pictures = window.trayPictures;
    monitor.start();
    EXPECT_FALSE(monitor.jobRunning());
    EXPECT_EQ(window.trayPictures, pictures);
    EXPECT_TRUE(window.messages.empty());
}

TEST_F(MonitorTest, StopKeepsTheBaseAndTheNextStartReusesIt) {
    tree.makeFile("a.txt", 3, kFileTime);
    watch(tree.root());
    start();
    const std::time_t baseTime = monitor.baseTime();
    monitor.stop();
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    EXPECT_EQ(window.statusText, "状態：停止中");
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_EQ(monitor.baseFiles().count(), 1u);

    tree.makeFile("a.txt", 30, kFileTime); // changed while stopped
    clock.advance(std::chrono::seconds(60));
    window.trayPictures.clear();
    window.logWindowShown = false;
    start();
    EXPECT_EQ(window.trayPictures,
              (std::vector<TrayPicture>{TrayPicture::Monitoring, TrayPicture::Monitoring}))
        << "no baseline picture";
    EXPECT_TRUE(window.logWindowShown);
    EXPECT_TRUE(log.status().freeSpaceLines.empty()) << "until the first cycle measures it";
    EXPECT_EQ(monitor.baseTime(), baseTime);
    cycle();
    EXPECT_EQ(log.status().updatedCount, 1) << "the change made while stopped is reported";
}

TEST_F(MonitorTest, CheckedRestartOptionForcesANewBaseline) {
    tree.makeFile("a.txt", 3, kFileTime);
    watch(tree.root());
    start();
    monitor.stop();
    tree.makeFile("a.txt", 30, kFileTime);
    settings.clearBaseAtStart = true;
    clock.advance(std::chrono::seconds(60));
    start();
    EXPECT_EQ(DateTimeText(monitor.baseTime()), now());
    EXPECT_FALSE(settings.clearBaseAtStart);
    cycle();
    EXPECT_EQ(log.status().updatedCount, 0) << "the new base already has the change";
}

// The listener hears of a complete baseline, with its time and size.
TEST_F(MonitorTest, ACompleteBaselineIsReportedToTheListener) {
    class Baselines final : public MonitorListener {
    public:
        void baselineTaken(std::time_t time, std::size_t dirs, std::size_t files) override {
            taken.push_back({time, dirs, files});
        }
        std::vector<std::tuple<std::time_t, std::size_t, std::size_t>> taken;
    } listener;
    tree.makeDir("sub");
    tree.makeFile("sub/a", 1, kFileTime);
    watch(tree.root(), true);
    Monitor own(settings, window, listener, clock);
    own.start();
    window.runUntil([&] { return !own.jobRunning(); });
    EXPECT_EQ(listener.taken, (std::vector<std::tuple<std::time_t, std::size_t, std::size_t>>{
                                  {clock.now(), 2, 1}}));
}

class LongBaselineTest : public MonitorTest {
protected:
    LongBaselineTest() {
        for (const char* d : {"a", "b", "c"})
            tree.makeDir(d);
        watch(tree.root(), true); // four directories
        // Every reading of the clock moves it on by 6 seconds: before the four directories
        // 6, 12, 18 and 24 s have passed, so the question comes before the last two.
        clock.setStepPerReading(std::chrono::seconds(6));
    }
};

TEST_F(LongBaselineTest, NoMeansGoOnAndAskAgainBeforeEveryFurtherDirectory) {
    start();
    EXPECT_EQ(window.questions, (std::vector<std::string>{kQuestion4, kQuestion4}));
    EXPECT_EQ(monitor.baseDirs().count(), 4u);
    EXPECT_EQ(window.withdrawnQuestions, 0);
}

TEST_F(LongBaselineTest, YesGivesUpAndLeavesNoBase) {
    window.answers = {false, true};
    monitor.start();
    settle();
    EXPECT_EQ(window.questions.size(), 2u);
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_EQ(window.statusText, "状態：停止中");
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    EXPECT_TRUE(window.mainWindowShown);
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_TRUE(monitor.baseDirs().empty());
    EXPECT_TRUE(monitor.baseFiles().empty());
    EXPECT_TRUE(monitor.drives().empty());
    EXPECT_FALSE(log.status().freeSpaceLines.empty()) << "the free-space lines stay";

    // With no base the next start takes a full one, the option being clear.
    clock.setStepPerReading(std::chrono::seconds(0));
    EXPECT_FALSE(settings.clearBaseAtStart);
    start();
    EXPECT_EQ(monitor.baseDirs().count(), 4u);
}

// The job waits for the answer on its own thread; a stop meanwhile ends it at once, and the
// question, no longer wanted, is withdrawn.
TEST_F(LongBaselineTest, StopWhileTheQuestionIsOpenEndsTheBaselineAtOnce) {
    window.holdQuestions = true;
    monitor.start();
    window.runUntil([&] { return window.pendingAnswer != nullptr; });
    EXPECT_EQ(window.questions.size(), 1u);
    EXPECT_EQ(monitor.state(), Monitor::State::Starting);

    monitor.stop();
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    settle();
    EXPECT_EQ(monitor.state(), Monitor::State::Stopped);
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_EQ(window.withdrawnQuestions, 1);
    EXPECT_TRUE(monitor.baseDirs().empty()) << "a half-listed base is not kept";
    EXPECT_TRUE(monitor.drives().empty());
}

TEST_F(LongBaselineTest, RunningOutOfMemoryStopsMonitoringWithAMessage) {
    clock.failAfterReadings(2); // the start's reading and the first look in the job
    monitor.start();
    settle();
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_FALSE(window.timerEnabled);
    EXPECT_EQ(window.tray(), TrayPicture::Stopped);
    EXPECT_EQ(window.statusText, "状態：停止中");
    EXPECT_EQ(window.messages, std::vector<std::string>{std::bad_alloc().what()});
    EXPECT_TRUE(monitor.baseDirs().empty());
    EXPECT_TRUE(monitor.baseFiles().empty());

    clock.failAfterReadings(-1);
    clock.setStepPerReading(std::chrono::seconds(0));
    start();
    EXPECT_EQ(monitor.baseDirs().count(), 4u) << "a later start takes a full baseline";
}

TEST_F(MonitorTest, QuickBaselineAsksNothing) {
    tree.makeDir("a");
    watch(tree.root(), true);
    clock.setStepPerReading(std::chrono::seconds(5)); // 5 and 10 s before the two directories
    start();
    EXPECT_TRUE(window.questions.empty());
}

} // namespace
} // namespace trellisk::test
