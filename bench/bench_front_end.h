#pragma once

#include "engine/monitor/front_end.h"
#include "engine/monitor/monitor.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace trellisk::bench {

// A front end without windows: the thread that calls runUntil() stands for the window thread
// and runs the tasks that jobs post as they come, noting the longest time one of them took.
// The answer to the long-baseline question is "no, carry on".
class BenchFrontEnd final : public FrontEnd {
public:
    using Clock = std::chrono::steady_clock;

    void post(std::function<void()> task) override {
        {
            const std::lock_guard lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        posted_.notify_one();
    }

    // Gives `monitor` the command (start, tick) and runs the tasks its job posts until the job
    // has ended.
    void command(Monitor& monitor, void (Monitor::*given)()) {
        (monitor.*given)();
        while (monitor.jobRunning()) {
            std::function<void()> task;
            {
                std::unique_lock lock(mutex_);
                posted_.wait(lock, [this] { return !tasks_.empty(); });
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            const Clock::time_point started = Clock::now();
            task();
            longest_ = std::max(longest_, Clock::now() - started);
        }
    }

    void startWatch() { longest_ = Clock::duration::zero(); }
    // The longest time one task ran since startWatch().
    [[nodiscard]] double longestTaskSeconds() const {
        return std::chrono::duration<double>(longest_).count();
    }

    void showMessage(const std::string&) override {}
    void askYesNo(const std::string&, std::function<void(bool)> answer) override { answer(false); }
    void withdrawQuestion() override {}
    void setTrayPicture(TrayPicture) override {}
    void setMonitorMenuEnabled(bool) override {}
    void setTimerEnabled(bool) override {}
    void setStatusText(const std::string&) override {}
    void setBaseTimeText(const std::string&) override {}
    void setClearBaseAtStart(bool) override {}
    void showLogWindow() override {}
    void showMainWindow() override {}

private:
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> tasks_;
    Clock::duration longest_ = Clock::duration::zero();
};

} // namespace trellisk::bench
