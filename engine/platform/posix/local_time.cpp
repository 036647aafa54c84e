#include "engine/platform/local_time.h"

namespace trellisk::platform {

std::tm LocalTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

} // namespace trellisk::platform
