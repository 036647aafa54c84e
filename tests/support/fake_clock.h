#pragma once

#include "engine/platform/clock.h"

#include <chrono>
#include <ctime>

namespace trellisk::test {

// A clock that moves only when told to, or by a fixed step at every monotonic reading.
class FakeClock : public Clock {
public:
    FakeClock() = default;
    explicit FakeClock(std::time_t now) : wall(now) {}

    [[nodiscard]] std::time_t now() const override { return wall; }
    [[nodiscard]] std::chrono::steady_clock::time_point monotonic() const override {
        elapsed += stepPerReading;
        return std::chrono::steady_clock::time_point(elapsed);
    }
    void advance(std::chrono::seconds by) {
        wall += by.count();
        elapsed += by;
    }

    std::time_t wall = 1800000000;
    mutable std::chrono::seconds elapsed{1000};
    std::chrono::seconds stepPerReading{0};
};

} // namespace trellisk::test
