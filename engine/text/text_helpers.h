#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace trellisk {

// The path with one separator appended unless it already ends with one; "" gives the separator.
std::string WithTrailingSeparator(std::string_view path);

// Depth of the directory `path` (no trailing separator) below the watched folder `root`
// (as stored): children of a folder are depth 0, children of a file system root depth 1.
int FolderDepth(std::string_view root, std::string_view path);

// True for the C0 control characters and DEL, which file names on Linux may hold.
[[nodiscard]] bool HasControlCharacters(std::string_view text);

// A text that holds control characters written visibly on one line: tab, CR and LF as "\t",
// "\r", "\n", the other control characters as "\xHH", and each backslash doubled so that
// the escapes read back unambiguously. A text without control characters is returned as it is.
[[nodiscard]] std::string VisibleText(std::string_view text);

// Decimal text with "," between groups of three digits; -1 gives "-1".
std::string FormatThousands(std::int64_t value);

// Size of a file right-aligned in 11 characters; longer numbers are written whole.
std::string SizeText(std::uint64_t size);

// Signed size difference in the same 11-character form, "-" before the digits of a decrease.
std::string SizeChangeText(std::int64_t change);

// An integer text: an optional '+' or '-', then one or more decimal digits and nothing else,
// within the range of int; nullopt for anything else.
std::optional<int> ParseInteger(std::string_view text);

// Reads a size text back (leading blanks skipped); nullopt when it is not a number.
std::optional<std::int64_t> ParseSize(std::string_view text);

// A last-write time (seconds since the epoch) reduced to two-second resolution. Two files
// have the same date exactly when their keys are equal; comparing keys instead of local-time
// texts keeps a daylight-saving change between two snapshots from touching every file.
std::int64_t DateKey(std::int64_t seconds);

// The date text of a date key in local time: "yyyy/mm/dd hh:mm:ss", or the date alone at
// midnight.
std::string DateText(std::int64_t dateKey);

// The current-time form of detection and snapshot times: "yyyy/mm/dd h:mm:ss" with the hour
// unpadded and whole seconds, or the date alone at midnight.
std::string DateTimeText(std::time_t time);

} // namespace trellisk
