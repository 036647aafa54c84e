#include "engine/monitor/job_thread.h"

#include <utility>

namespace trellisk {

JobThread::~JobThread() {
    stopJob();
    // The thread's own end is asked for and waited for as it goes.
}

void JobThread::run(Job job) {
    {
        const std::lock_guard lock(mutex_);
        next_ = std::move(job);
        jobStop_ = std::stop_source();
    }
    if (!thread_.joinable())
        thread_ = std::jthread([this](std::stop_token end) { serve(std::move(end)); });
    jobGiven_.notify_one();
}

void JobThread::stopJob() {
    const std::lock_guard lock(mutex_);
    jobStop_.request_stop();
}

void JobThread::serve(std::stop_token end) {
    for (;;) {
        Job job;
        std::stop_token stop;
        {
            std::unique_lock lock(mutex_);
            if (!jobGiven_.wait(lock, end, [this] { return next_ != nullptr; }))
                return;
            job = std::exchange(next_, nullptr);
            stop = jobStop_.get_token();
        }
        job(std::move(stop));
    }
}

} // namespace trellisk
