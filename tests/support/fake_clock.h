#pragma once

#include "engine/platform/clock.h"

#include <chrono>
#include <ctime>
#include <mutex>
#include <new>

namespace trellisk::test {

// A clock that moves only when told to, or by a fixed step at every monotonic reading. A
// monitoring job reads it on its own thread, so every reading and change is locked.
class FakeClock : public Clock {
public:
    FakeClock() = default;
    explicit FakeClock(std::time_t now) : wall_(now) {}

    [[nodiscard]] std::time_t now() const override {
        const std::lock_guard lock(mutex_);
        return wall_;
    }
    [[nodiscard]] std::chrono::steady_clock::time_point monotonic() const override {
        const std::lock_guard lock(mutex_);
        if (readingsLeft_ == 0)
            throw std::bad_alloc(); // stands in for running out of memory where it is read
        if (readingsLeft_ > 0)
            --readingsLeft_;
        elapsed_ += stepPerReading_;
        return std::chrono::steady_clock::time_point(elapsed_);
    }
    void advance(std::chrono::seconds by) {
        const std::lock_guard lock(mutex_);
        wall_ += by.count();
        elapsed_ += by;
    }
    void setStepPerReading(std::chrono::seconds step) {
        const std::lock_guard lock(mutex_);
        stepPerReading_ = step;
    }
    // The monotonic readings after the next `readings` throw std::bad_alloc; -1 never.
    void failAfterReadings(int readings) {
        const std::lock_guard lock(mutex_);
        readingsLeft_ = readings;
    }

private:
    mutable std::mutex mutex_;
    std::time_t wall_ = 1800000000;
    mutable std::chrono::seconds elapsed_{1000};
    std::chrono::seconds stepPerReading_{0};
    mutable int readingsLeft_ = -1;
};

} // namespace trellisk::test
