#include "engine/monitor/job_reporter.h"

#include <condition_variable>
#include <mutex>

namespace trellisk {

namespace {

// A batch goes when it holds this many findings or has waited this long: findings show as
// they come, and no batch holds the front end's thread for long.
constexpr std::size_t kBatchFindings = 512;
constexpr auto kBatchWait = std::chrono::milliseconds(20);
// Progress is posted at most this often (and when the phase changes): a task per directory
// would wake the front end's thread thousands of times a cycle for nothing one can see.
constexpr auto kProgressSpacing = std::chrono::milliseconds(15);

} // namespace

struct JobReporter::ProgressMailbox {
    std::mutex mutex;
    JobProgress latest;
    bool posted = false; // a task that delivers `latest` is on its way
};

struct JobReporter::Answer {
    std::mutex mutex;
    std::condition_variable_any given;
    std::optional<bool> yes;
};

JobReporter::JobReporter(FrontEnd& frontEnd, MonitorListener& listener, std::stop_token stop)
    : frontEnd_(frontEnd), listener_(listener), stop_(std::move(stop)),
      progress_(std::make_shared<ProgressMailbox>()) {}

void JobReporter::found(std::vector<Finding>& findings) {
    if (findings.empty())
        return;
    const auto now = std::chrono::steady_clock::now();
    for (Finding& finding : findings) {
        if (batch_.empty())
            batchStarted_ = now;
        batch_.push_back(std::move(finding));
        if (batch_.size() == kBatchFindings)
            flushFindings();
    }
    findings.clear();
    if (!batch_.empty() && now - batchStarted_ >= kBatchWait)
        flushFindings();
}

void JobReporter::flush() {
    flushFindings();
    if (progressHeld_)
        postProgress();
}

void JobReporter::flushFindings() {
    if (batch_.empty())
        return;
    frontEnd_.post([&listener = listener_, batch = std::move(batch_)] { listener.found(batch); });
    batch_ = {};
}

void JobReporter::progress(JobPhase phase, std::string_view directory, std::optional<int> percent) {
    bool due = false;
    {
        const std::lock_guard lock(progress_->mutex);
        JobProgress& latest = progress_->latest;
        due = phase != latest.phase || std::chrono::steady_clock::now() >= nextProgress_;
        latest.phase = phase;
        latest.directory.assign(directory);
        if (percent)
            latest.percent = percent;
        if (progress_->posted)
            return; // the task on its way delivers this state
    }
    if (due)
        postProgress();
    else
        progressHeld_ = true;
}

void JobReporter::postProgress() {
    {
        const std::lock_guard lock(progress_->mutex);
        if (progress_->posted)
            return;
        progress_->posted = true;
    }
    progressHeld_ = false;
    nextProgress_ = std::chrono::steady_clock::now() + kProgressSpacing;
    // Findings made before this progress are shown before it.
    flushFindings();
    frontEnd_.post([&listener = listener_, mailbox = progress_] {
        JobProgress latest;
        {
            const std::lock_guard lock(mailbox->mutex);
            latest = mailbox->latest;
            mailbox->latest.percent.reset();
            mailbox->posted = false;
        }
        listener.progressed(latest);
    });
}

std::optional<bool> JobReporter::ask(const std::string& question) {
    flush();
    const auto answer = std::make_shared<Answer>();
    frontEnd_.post([&frontEnd = frontEnd_, question, answer] {
        frontEnd.askYesNo(question, [answer](bool yes) {
            {
                const std::lock_guard lock(answer->mutex);
                answer->yes = yes;
            }
            answer->given.notify_all();
        });
    });
    std::unique_lock lock(answer->mutex);
    if (!answer->given.wait(lock, stop_, [&] { return answer->yes.has_value(); })) {
        questionLeftOpen_ = true;
        return std::nullopt;
    }
    return answer->yes;
}

} // namespace trellisk
