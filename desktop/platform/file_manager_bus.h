#pragma once

#include "engine/settings/folder_import.h"

#include <chrono>
#include <vector>

namespace trellisk::platform {

// How long the file manager may take to answer. A running one answers within milliseconds;
// a hung one costs the user's command no more than this.
inline constexpr std::chrono::milliseconds kFileManagerBusTimeout{250};

// The open windows of the file manager that owns org.freedesktop.FileManager1 on the session
// bus, each with the URIs it shows (its OpenWindowsWithLocations). Empty without a session
// bus, when no file manager owns the name (none is started for the question), when it lacks
// the property or gives it another type, and when it does not answer in time. Systems
// without a session bus always give an empty list.
[[nodiscard]] std::vector<FileManagerWindow> FileManagerBusWindows();

} // namespace trellisk::platform
