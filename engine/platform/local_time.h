#pragma once

#include <ctime>

namespace trellisk::platform {

// The calendar time of `time` in the user's time zone, with the offset that zone had then.
[[nodiscard]] std::tm LocalTime(std::time_t time);

} // namespace trellisk::platform
