#pragma once

#include "engine/log/log_tables.h"

#include <ctime>
#include <optional>
#include <string>

namespace trellisk {

// The name first offered for a saved log: "log-" and the date-time text of `now` with its
// separators turned into "-", so that it is a valid file name ("log-2006-01-05 9-05-03").
std::string LogFileInitialName(std::time_t now);

// Writes the result tables to base + "-ind.txt" and the log table to base + "-log.txt", as
// tab-separated lines ended by CR LF, replacing files of those names. Control characters in
// fields are written as visible escapes (see VisibleText). Both files are written beside
// their names first and put in place only when both are complete, so a failed save leaves
// the old files as they were; it returns "<path>: <error text>" for the file that failed.
[[nodiscard]] std::optional<std::string> SaveLog(const LogData& log, const std::string& base);

// Empties the log and the updated, new and deleted files. The renamed files, the counters
// and the other status fields stay as they are.
void ClearLog(LogData& log);

} // namespace trellisk
