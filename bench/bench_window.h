#pragma once

#include "engine/monitor/window_interface.h"

#include <algorithm>
#include <chrono>

namespace trellisk::bench {

// A window that does nothing: the engine runs as it would with no events pending, and the
// answer to the long-baseline question is "no, carry on". It notes the longest time the
// engine went without letting events run.
class NullWindow final : public WindowInterface {
public:
    using Clock = std::chrono::steady_clock;

    void pump() override { note(); }
    void keepAlive() override { note(); }

    void startWatch() {
        last_ = Clock::now();
        longest_ = Clock::duration::zero();
    }
    // The longest gap between two event turns since startWatch(), up to now.
    [[nodiscard]] double longestGapSeconds() {
        note();
        return std::chrono::duration<double>(longest_).count();
    }

    void showMessage(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
    void setTrayPicture(TrayPicture) override {}
    void setMonitorMenuEnabled(bool) override {}
    void setTimerEnabled(bool) override {}
    void setStatusText(const std::string&) override {}
    void setBaseTimeText(const std::string&) override {}
    void setClearBaseAtStart(bool) override {}
    void showLogWindow() override {}
    void showMainWindow() override {}

private:
    void note() {
        const Clock::time_point now = Clock::now();
        longest_ = std::max(longest_, now - last_);
        last_ = now;
    }

    Clock::time_point last_ = Clock::now();
    Clock::duration longest_ = Clock::duration::zero();
};

} // namespace trellisk::bench
