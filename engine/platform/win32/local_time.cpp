#include "engine/platform/local_time.h"

#include <windows.h>

#include <cstdint>

namespace trellisk::platform {

std::tm LocalTime(std::time_t time) {
    // SystemTimeToTzSpecificLocalTime applies the offset of the date itself (summer or
    // winter time then); FileTimeToLocalFileTime would apply today's.
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    const auto ticks =
        static_cast<std::uint64_t>(static_cast<std::int64_t>(time) + kSecondsFrom1601To1970) *
        10'000'000u;
    const FILETIME fileTime{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME universal{};
    SYSTEMTIME local{};
    std::tm result{};
    if (!::FileTimeToSystemTime(&fileTime, &universal) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return result;
    result.tm_year = local.wYear - 1900;
    result.tm_mon = local.wMonth - 1;
    result.tm_mday = local.wDay;
    result.tm_hour = local.wHour;
    result.tm_min = local.wMinute;
    result.tm_sec = local.wSecond;
    result.tm_wday = local.wDayOfWeek;
    return result;
}

} // namespace trellisk::platform
