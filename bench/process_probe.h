#pragma once

#include <string>

namespace trellisk::bench {

// Resident memory of this process in bytes, from /proc/self/status; 0 when unreadable.
[[nodiscard]] long long ResidentBytes();
[[nodiscard]] long long PeakResidentBytes();

// Resets the peak resident figure to the present one; false where the kernel refuses.
[[nodiscard]] bool ResetPeakResident();

// Runs `find dir -printf '%p %s %T@\n'` with its output discarded; returns the wall time in
// seconds, or a negative number when it could not be run or failed.
[[nodiscard]] double TimeFind(const std::string& dir);

} // namespace trellisk::bench
