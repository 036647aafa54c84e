#pragma once

#include <cstdint>
#include <string>

namespace trellisk::platform {

// True when a file (anything but a directory) exists at the path.
[[nodiscard]] bool FileExists(const std::string& path);

// True when the path names a directory (links followed).
[[nodiscard]] bool DirectoryExists(const std::string& path);

// True when the file can be opened for reading while no other process writes it; it is
// closed again at once. Missing files and files without read access give false.
[[nodiscard]] bool CanOpenFile(const std::string& path);

// Mount point of the file system that holds the path, or holds its nearest existing parent.
[[nodiscard]] std::string MountPointOf(const std::string& path);

// Bytes available to the user on the file system holding the path; -1 when unknown.
[[nodiscard]] std::int64_t FreeSpace(const std::string& path);

// Directory of the running executable, ending with the separator.
[[nodiscard]] std::string ExecutableDirectory();

} // namespace trellisk::platform
