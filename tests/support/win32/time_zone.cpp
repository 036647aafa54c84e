#include "tests/support/time_zone.h"

#include <cstdlib>
#include <string_view>

namespace trellisk::test {

// Nothing is changed: the zone of Windows' local time is fixed when the process starts.
ScopedTimeZone::ScopedTimeZone(const char* zone) {
    const char* started = std::getenv("TZ");
    active_ = started != nullptr && std::string_view(started) == zone;
}

ScopedTimeZone::~ScopedTimeZone() = default;

} // namespace trellisk::test
