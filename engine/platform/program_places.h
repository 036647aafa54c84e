#pragma once

#include <optional>
#include <string>

namespace trellisk::platform {

// The user's configuration directory, ending with the separator: $XDG_CONFIG_HOME when it is
// an absolute path, else .config in the home directory ($HOME when absolute, else the one in
// the password database).
[[nodiscard]] std::string UserConfigDirectory();

// True when the directory holds the executable of an installed copy: the installed
// documentation lies where the install layout puts it, relative to this directory.
[[nodiscard]] bool HoldsInstalledExecutable(const std::string& directory);

// True when the directory is the user's own to write in: owned by the effective user, who may
// create files in it (which also fails on a read-only file system).
[[nodiscard]] bool IsOwnWritableDirectory(const std::string& directory);

// True when the directory, links resolved, lies where the system keeps its programs and
// libraries (/usr, /opt, /bin, /sbin, /lib..., /snap), which no user's data belongs in.
[[nodiscard]] bool IsSystemProgramDirectory(const std::string& directory);

// Creates the directory and any missing parents, each readable and writable by the user
// alone (0700). Nothing to do when it exists; the error text when it cannot be made.
[[nodiscard]] std::optional<std::string> MakePrivateDirectories(const std::string& directory);

} // namespace trellisk::platform
