#include "tests/support/time_zone.h"

#include <cstdlib>
#include <ctime>

namespace trellisk::test {

ScopedTimeZone::ScopedTimeZone(const char* zone) {
    active_ = true;
    if (const char* previous = std::getenv("TZ"))
        previous_ = previous;
    ::setenv("TZ", zone, 1);
    ::tzset();
}

ScopedTimeZone::~ScopedTimeZone() {
    if (previous_)
        ::setenv("TZ", previous_->c_str(), 1);
    else
        ::unsetenv("TZ");
    ::tzset();
}

} // namespace trellisk::test
