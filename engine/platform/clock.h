#pragma once

#include <chrono>
#include <ctime>

namespace trellisk {

// Wall-clock time for the texts, monotonic time for elapsed times; tests replace it.
class Clock {
public:
    virtual ~Clock() = default;
    [[nodiscard]] virtual std::time_t now() const = 0;
    [[nodiscard]] virtual std::chrono::steady_clock::time_point monotonic() const = 0;
};

class SystemClock final : public Clock {
public:
    [[nodiscard]] std::time_t now() const override { return std::time(nullptr); }
    [[nodiscard]] std::chrono::steady_clock::time_point monotonic() const override {
        return std::chrono::steady_clock::now();
    }
};

} // namespace trellisk
