#pragma once

#include <optional>
#include <string>

namespace trellisk {

// The settings file of a copy whose executable is in `executableDirectory` (ending with the
// separator): "trellisk.ini" there when such a file already exists or when the directory is a
// portable copy's or a build folder's (the user's own, writable, neither a system directory
// nor an installed copy's); otherwise "trellisk/trellisk.ini" in `userConfigDirectory`.
[[nodiscard]] std::string ChooseSettingsFile(const std::string& executableDirectory,
                                             const std::string& userConfigDirectory);

// The settings file of the running program.
[[nodiscard]] std::string SettingsFileName();

// Makes the directory of the settings file, and any missing parents, when it is missing (the
// first save of an installed copy); when that fails, the message to show, naming the file.
[[nodiscard]] std::optional<std::string> MakeSettingsDirectory(const std::string& fileName);

} // namespace trellisk
