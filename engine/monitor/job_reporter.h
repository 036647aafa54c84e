#pragma once

#include "engine/log/finding.h"
#include "engine/log/monitor_listener.h"
#include "engine/monitor/front_end.h"

#include <chrono>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

namespace trellisk {

// A job's way to the front end's thread. Findings go in batches (every few milliseconds or
// every so many findings), progress goes as the latest state (a task now and then, however
// often it changes; the last state always arrives), and every other report in its place
// between them; the listener hears all of them on the front end's thread in the order the job
// made them. Used on the job's thread.
class JobReporter {
public:
    JobReporter(FrontEnd& frontEnd, MonitorListener& listener, std::stop_token stop);
    JobReporter(const JobReporter&) = delete;
    JobReporter& operator=(const JobReporter&) = delete;

    [[nodiscard]] bool stopRequested() const { return stop_.stop_requested(); }

    // Takes the findings, leaving `findings` empty.
    void found(std::vector<Finding>& findings);
    void progress(JobPhase phase, std::string_view directory, std::optional<int> percent);
    // The findings so far, then `call(listener)`.
    template <class Call> void tell(Call call) {
        flush();
        frontEnd_.post([&listener = listener_, call = std::move(call)] { call(listener); });
    }
    // Hands the findings and the progress gathered so far over.
    void flush();

    // Asks the question and waits for the answer: true for Yes; nothing when a stop came first,
    // which leaves the question open (see questionLeftOpen).
    [[nodiscard]] std::optional<bool> ask(const std::string& question);
    [[nodiscard]] bool questionLeftOpen() const { return questionLeftOpen_; }

private:
    struct ProgressMailbox;
    struct Answer;

    void flushFindings();
    void postProgress();

    FrontEnd& frontEnd_;
    MonitorListener& listener_;
    std::stop_token stop_;
    std::vector<Finding> batch_;
    std::chrono::steady_clock::time_point batchStarted_;
    std::shared_ptr<ProgressMailbox> progress_;          // shared with the task that delivers it
    std::chrono::steady_clock::time_point nextProgress_; // none is posted before, unless the
                                                         // phase changes
    bool progressHeld_ = false; // a state that no task is on its way to deliver
    bool questionLeftOpen_ = false;
};

} // namespace trellisk
