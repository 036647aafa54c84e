#pragma once

#include "tests/support/skip_reasons.h"

#include <optional>
#include <string>

namespace trellisk::test {

// Local time in `zone` (a TZ value such as "Asia/Tokyo") while it lives; the previous zone
// comes back after. Windows reads its zone once, when the process starts (wine takes it from
// TZ): there only the zone the process started in is available, and active() says whether
// `zone` is that one.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone);
    ~ScopedTimeZone();
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

    [[nodiscard]] bool active() const { return active_; }

private:
    std::optional<std::string> previous_;
    bool active_ = false;
};

} // namespace trellisk::test
