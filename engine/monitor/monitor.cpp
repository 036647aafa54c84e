#include "engine/monitor/monitor.h"

#include "engine/platform/file_system.h"
#include "engine/text/text_helpers.h"

#include <algorithm>
#include <exception>

namespace trellisk {

namespace {

constexpr auto kBaselineQuestionAfter = std::chrono::seconds(15);
// While the baseline scans, the monitoring clock is looked at this often (real time).
constexpr auto kQuestionSpacing = std::chrono::seconds(1);

std::string BaselineQuestion(std::size_t folders) {
    return "フォルダ(" + std::to_string(folders) +
           "コ)内全ファイル情報の取得に15秒以上かかります。処理を中止しますか？\n"
           "はいをクリックすることを強く推奨します。";
}

std::vector<std::string> DrivesOf(const std::vector<FolderEntry>& folders) {
    std::vector<std::string> drives;
    for (const FolderEntry& entry : folders) {
        std::string mountPoint = platform::MountPointOf(entry.path);
        // A network path (Windows "\\server\share\") lies on no drive.
        if (!mountPoint.empty() && std::ranges::find(drives, mountPoint) == drives.end())
            drives.push_back(std::move(mountPoint));
    }
    return drives;
}

} // namespace

Monitor::Monitor(Settings& settings, FrontEnd& frontEnd, MonitorListener& listener,
                 const Clock& clock)
    : settings_(settings), frontEnd_(frontEnd), listener_(listener), clock_(clock),
      classifier_(clock) {}

Monitor::~Monitor() = default;

void Monitor::start() {
    if (state_ == State::Stopping) {
        state_ = State::Restarting;
        return;
    }
    if (state_ != State::Stopped)
        return;
    if (settings_.folders.empty()) {
        frontEnd_.showMessage(kNoFolderMessage);
        return;
    }
    frontEnd_.showLogWindow();
    drives_.clear();
    listener_.freeSpaceMeasured({});
    state_ = State::Starting;
    frontEnd_.setTrayPicture(TrayPicture::Monitoring);
    const MonotonicTime started = clock_.monotonic();
    frontEnd_.setStatusText(kStatusMonitoring);
    const bool needBaseline = settings_.clearBaseAtStart || baseDirs_.empty();
    if (needBaseline) {
        settings_.clearBaseAtStart = false;
        frontEnd_.setClearBaseAtStart(false);
        frontEnd_.setTrayPicture(TrayPicture::Busy);
        baseTime_ = clock_.now();
    }
    // A copy: the folder list may change while the job runs.
    std::vector<FolderEntry> folders(settings_.folders.begin(), settings_.folders.end());
    launch(JobKind::Start,
           [this, folders = std::move(folders), needBaseline, started](JobReporter& report) {
               return runStart(report, folders, needBaseline, started);
           });
}

void Monitor::stop() {
    switch (state_) {
    case State::Restarting:
        state_ = State::Stopping; // the start that waited is called off
        return;
    case State::Starting:
    case State::Cycle:
        jobs_.stopJob();
        state_ = State::Stopping;
        break;
    case State::Waiting:
        state_ = State::Stopped;
        break;
    case State::Stopped:
    case State::Stopping:
        return;
    }
    showStopped();
}

void Monitor::showStopped() {
    frontEnd_.setTrayPicture(TrayPicture::Stopped);
    frontEnd_.setStatusText(kStatusStopped);
    frontEnd_.setTimerEnabled(false);
}

void Monitor::tick() {
    if (state_ != State::Waiting)
        return;
    state_ = State::Cycle;
    frontEnd_.setMonitorMenuEnabled(false);
    CycleJob job;
    job.started = clock_.monotonic();
    frontEnd_.setTimerEnabled(false);
    job.snapshotTime = clock_.now();
    listener_.cycleStarted(job.snapshotTime, baseTime_);
    frontEnd_.setBaseTimeText("比較元日時" + DateTimeText(baseTime_));
    frontEnd_.setTrayPicture(TrayPicture::Busy);
    job.files = listener_.filesToCheck();
    job.folders.assign(settings_.folders.begin(), settings_.folders.end());
    launch(JobKind::Cycle, [this, job = std::move(job)](JobReporter& report) mutable {
        return runCycle(report, std::move(job));
    });
}

template <class Body> void Monitor::launch(JobKind kind, Body body) {
    {
        const std::lock_guard lock(jobMutex_);
        jobEnded_ = false;
    }
    jobs_.run([this, kind, body = std::move(body)](std::stop_token stop) mutable {
        JobReporter report(frontEnd_, listener_, std::move(stop));
        JobResult result;
        try {
            result = body(report);
        } catch (const std::exception& error) {
            // Out of memory and the like.
            result.outcome = Outcome::Failed;
            result.error = error.what();
        }
        result.kind = kind;
        report.flush();
        result.questionLeftOpen = report.questionLeftOpen();
        {
            const std::lock_guard lock(jobMutex_);
            jobEnded_ = true;
        }
        jobEndedChanged_.notify_all();
        frontEnd_.post([this, result = std::move(result)] { finishJob(result); });
    });
}

bool Monitor::waitForJobEnd(std::chrono::milliseconds timeout) {
    std::unique_lock lock(jobMutex_);
    return jobEndedChanged_.wait_for(lock, timeout, [this] { return jobEnded_; });
}

void Monitor::finishJob(const JobResult& result) {
    if (result.questionLeftOpen)
        frontEnd_.withdrawQuestion();
    const bool restart = state_ == State::Restarting;
    const bool stopped = restart || state_ == State::Stopping;
    if (result.kind == JobKind::Cycle)
        finishCycle(result, stopped);
    else
        finishStart(result, stopped);
    if (restart) {
        state_ = State::Stopped;
        start();
    }
}

void Monitor::finishStart(const JobResult& result, bool stopped) {
    if (result.outcome != Outcome::Done)
        drives_.clear();
    if (stopped) {
        state_ = State::Stopped;
    } else if (result.outcome == Outcome::Done) {
        frontEnd_.setTrayPicture(TrayPicture::Monitoring);
        state_ = State::Waiting;
        frontEnd_.setTimerEnabled(true);
    } else if (result.outcome == Outcome::GaveUp) {
        frontEnd_.setTimerEnabled(false);
        frontEnd_.setStatusText(kStatusStopped);
        state_ = State::Stopped;
        frontEnd_.setTrayPicture(TrayPicture::Stopped);
        frontEnd_.showMainWindow();
    } else {
        state_ = State::Stopped;
        showStopped();
    }
    if (result.outcome == Outcome::Failed)
        frontEnd_.showMessage(result.error);
}

Monitor::JobResult Monitor::runStart(JobReporter& report, const std::vector<FolderEntry>& folders,
                                     bool needBaseline, MonotonicTime started) {
    drives_ = DrivesOf(folders);
    JobResult result;
    if (!needBaseline)
        return result;
    try {
        result.outcome = takeBaseline(report, folders, started);
    } catch (...) {
        baseDirs_ = DirIndex(); // no half-taken base is kept
        baseFiles_ = FileTable();
        throw;
    }
    if (result.outcome == Outcome::Done) {
        report.tell([time = baseTime_, dirs = baseDirs_.count(), files = baseFiles_.count()](
                        MonitorListener& listener) { listener.baselineTaken(time, dirs, files); });
    } else {
        // A stopped or given-up baseline leaves no half base: the next start takes a full one.
        baseDirs_.clear();
        baseFiles_.clear();
    }
    return result;
}

Monitor::Outcome Monitor::takeBaseline(JobReporter& report, const std::vector<FolderEntry>& folders,
                                       MonotonicTime started) {
    baseDirs_.clear();
    baseFiles_.clear();
    // The question is asked between directories once the scan has run for a while; the real
    // clock only spaces out the looks at the monitoring clock.
    auto nextLook = std::chrono::steady_clock::now() + kQuestionSpacing;
    bool gaveUp = false;
    const FolderScanner::Progress askNowAndThen = [&] {
        if (report.stopRequested())
            return false;
        if (std::chrono::steady_clock::now() < nextLook)
            return true;
        nextLook = std::chrono::steady_clock::now() + kQuestionSpacing;
        const std::optional<bool> giveUp = askToGiveUp(report, started);
        gaveUp = giveUp.value_or(false);
        return giveUp == false;
    };
    scanner_.beginSnapshot(nullptr, nullptr);
    bool listed = true;
    for (const FolderEntry& entry : folders) {
        listed = scanner_.scanFolder(entry, baseDirs_, baseFiles_, askNowAndThen);
        if (!listed)
            break;
    }
    if (!report.stopRequested())
        reportFreeSpace(report);
    // Then before every directory of the base, as long as the baseline has taken too long.
    for (std::size_t row = 0; listed && row < baseDirs_.count(); ++row) {
        const std::optional<bool> giveUp = askToGiveUp(report, started);
        gaveUp = giveUp.value_or(false);
        listed = giveUp == false;
    }
    if (gaveUp)
        return Outcome::GaveUp;
    return listed && !report.stopRequested() ? Outcome::Done : Outcome::Stopped;
}

std::optional<bool> Monitor::askToGiveUp(JobReporter& report, MonotonicTime started) {
    if (report.stopRequested())
        return std::nullopt;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(clock_.monotonic() - started);
    if (elapsed <= kBaselineQuestionAfter)
        return false;
    return report.ask(BaselineQuestion(baseDirs_.count()));
}

void Monitor::reportFreeSpace(JobReporter& report) {
    std::vector<FreeSpace> spaces;
    for (const std::string& drive : drives_)
        spaces.push_back({drive, platform::FreeSpace(drive)});
    report.tell([spaces = std::move(spaces)](MonitorListener& listener) {
        listener.freeSpaceMeasured(spaces);
    });
}

} // namespace trellisk
