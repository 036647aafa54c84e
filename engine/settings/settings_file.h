#pragma once

#include "engine/settings/settings.h"

#include <optional>
#include <string>

namespace trellisk {

// Reads the settings file into `settings`, appending its folder entries to those already there.
// A missing file leaves everything as it is. On an error the text to show is returned and
// whatever was read before it is kept.
//
// A count or interval line is an integer when it is an optional '+' or '-' followed by one or
// more decimal digits and nothing else (no blanks), within the range of a 32-bit int.
// An interval outside kMinInterval..kMaxInterval is clamped to that range.
[[nodiscard]] std::optional<std::string> LoadSettings(const std::string& fileName,
                                                      Settings& settings);

// Writes the folder entries and the interval with CR LF line ends. The text goes to a
// temporary file in the same directory that then replaces the old file, so a failure leaves
// the old file as it was; the error text is returned.
[[nodiscard]] std::optional<std::string> SaveSettings(const std::string& fileName,
                                                      const Settings& settings);

} // namespace trellisk
