#pragma once

#include "engine/log/log_tables.h"

#include <ctime>
#include <optional>
#include <string>

namespace trellisk {

// The name first offered for a saved log: "log-" and the date-time text of `now` with its
// separators turned into "-", so that it is a valid file name ("log-2006-01-05 9-05-03").
std::string LogFileInitialName(std::time_t now);

// Writes the result tables to base + "-ind.txt", then the log table to base + "-log.txt",
// as tab-separated lines ended by CR LF, overwriting files of those names. On the first file
// that cannot be created or written it stops and returns "<path>: <system error text>";
// what was already written stays, and a failed "-ind.txt" means no "-log.txt" is written.
[[nodiscard]] std::optional<std::string> SaveLog(const LogData& log, const std::string& base);

// Empties the log and the updated, new and deleted files. The renamed files, the counters
// and the other status fields stay as they are.
void ClearLog(LogData& log);

} // namespace trellisk
