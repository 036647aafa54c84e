#pragma once

#include "engine/log/finding.h"
#include "engine/log/monitor_listener.h"
#include "engine/monitor/classify_changes.h"
#include "engine/monitor/front_end.h"
#include "engine/monitor/job_reporter.h"
#include "engine/monitor/job_thread.h"
#include "engine/platform/clock.h"
#include "engine/settings/settings.h"
#include "engine/snapshot/dir_index.h"
#include "engine/snapshot/file_table.h"
#include "engine/snapshot/folder_scan.h"

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trellisk {

inline constexpr const char* kStatusStopped = "状態：停止中";
inline constexpr const char* kStatusMonitoring = "状態：監視中";
inline constexpr const char* kNoFolderMessage = "監視フォルダが指定されていません";

// Starts and stops monitoring and runs one monitoring cycle per tick of the interval timer.
//
// The commands come on the front end's thread and return at once. A start (its drive list and,
// where needed, the baseline) and each cycle run as a job on a thread of their own, from start
// to end: the snapshot, the pairing and classification, the file checks. A job reports to the
// listener through the front end's post(), so the front end's thread never waits for it and
// never runs an event loop of its own on its behalf. A stop ends a running job at its next
// directory; a start given meanwhile takes effect once the job has ended.
class Monitor {
public:
    enum class State {
        Stopped,
        Starting,   // monitoring; the start's job runs (the drive list, the baseline)
        Waiting,    // monitoring; the timer runs
        Cycle,      // monitoring; a cycle's job runs
        Stopping,   // stopped; a job is ending
        Restarting, // stopped; a job is ending, and a start waits for it
    };

    Monitor(Settings& settings, FrontEnd& frontEnd, MonitorListener& listener, const Clock& clock);
    // Stops a running job and waits for it.
    ~Monitor();
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    void start();
    void stop();
    // A tick of the interval timer: a cycle, while monitoring waits for one.
    void tick();

    [[nodiscard]] State state() const { return state_; }
    [[nodiscard]] bool isMonitoring() const {
        return state_ == State::Starting || state_ == State::Waiting || state_ == State::Cycle;
    }
    [[nodiscard]] bool jobRunning() const {
        return state_ != State::Stopped && state_ != State::Waiting;
    }
    // For the end of the program, after stop(): waits up to `timeout` for a job to end. False
    // when it still runs (held up by a file system that does not answer, say).
    [[nodiscard]] bool waitForJobEnd(std::chrono::milliseconds timeout);

    // What the engine keeps between jobs; to be read while no job runs.
    [[nodiscard]] const DirIndex& baseDirs() const { return baseDirs_; }
    [[nodiscard]] const FileTable& baseFiles() const { return baseFiles_; }
    // When the comparison base was taken.
    [[nodiscard]] std::time_t baseTime() const { return baseTime_; }
    // The file systems of the watched folders, each once, in order of first appearance.
    [[nodiscard]] const std::vector<std::string>& drives() const { return drives_; }

private:
    enum class JobKind { Start, Cycle };
    enum class Outcome { Done, GaveUp, Stopped, Failed };
    struct JobResult {
        JobKind kind = JobKind::Start;
        Outcome outcome = Outcome::Done;
        bool questionLeftOpen = false;
        CycleSummary summary; // a cycle's
        std::time_t snapshotTime = 0;
        std::string error; // Failed
    };
    struct CycleJob {
        std::vector<FolderEntry> folders;
        std::vector<FileToCheck> files;
        std::chrono::steady_clock::time_point started;
        std::time_t snapshotTime = 0;
    };
    using MonotonicTime = std::chrono::steady_clock::time_point;

    // Runs `body(JobReporter&)`, which returns the JobResult, on the job's thread.
    template <class Body> void launch(JobKind kind, Body body);
    // Back on the front end's thread.
    void finishJob(const JobResult& result);
    void finishStart(const JobResult& result, bool stopped);
    void finishCycle(const JobResult& result, bool stopped);
    void showStopped();

    // The start's job.
    JobResult runStart(JobReporter& report, const std::vector<FolderEntry>& folders,
                       bool needBaseline, MonotonicTime started);
    [[nodiscard]] Outcome takeBaseline(JobReporter& report, const std::vector<FolderEntry>& folders,
                                       MonotonicTime started);
    // Yes, No, or nothing when a stop came; asked only once the baseline has run too long.
    [[nodiscard]] std::optional<bool> askToGiveUp(JobReporter& report, MonotonicTime started);

    // A cycle's job.
    JobResult runCycle(JobReporter& report, CycleJob job);
    [[nodiscard]] bool scanFolders(JobReporter& report, const std::vector<FolderEntry>& folders);
    void compareDirectories(JobReporter& report);
    void reportNewAndDeletedDirectories(JobReporter& report);
    [[nodiscard]] std::vector<FileCheck> checkFiles(const JobReporter& report,
                                                    std::vector<FileToCheck> files);
    void rollComparisonBase();
    void releaseSnapshot();
    void reportFreeSpace(JobReporter& report);
    void directoryFinding(FindingKind kind, const std::string& watchedFolder,
                          const std::string& dir);
    // The first base directory of this path not yet paired with one of the snapshot.
    [[nodiscard]] std::optional<std::size_t> findBaseDir(std::string_view dir);

    Settings& settings_;
    FrontEnd& frontEnd_;
    MonitorListener& listener_;
    const Clock& clock_;

    State state_ = State::Stopped;
    std::time_t baseTime_ = 0;

    // Used by the running job alone while it runs.
    ChangeClassifier classifier_;
    std::vector<std::string> drives_;
    DirIndex baseDirs_;       // comparison base: directories
    FileTable baseFiles_;     // comparison base: files
    DirIndex snapshotDirs_;   // this cycle's directories
    FileTable snapshotFiles_; // this cycle's files
    FolderScanner scanner_;
    std::string dirPath_; // the path of the directory being compared
    std::string basePath_;
    std::vector<char> baseDirPaired_; // base directories already paired with one of the snapshot
    std::vector<Finding> findings_;   // of the directory being compared
    std::vector<FileToCheck> cycleFiles_; // this cycle's new and updated files

    std::mutex jobMutex_;
    std::condition_variable jobEndedChanged_;
    bool jobEnded_ = true;
    JobThread jobs_; // last: its job is stopped and waited for before the members it uses go
};

} // namespace trellisk
