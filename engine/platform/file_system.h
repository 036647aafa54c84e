#pragma once

#include <cstdint>
#include <string>

namespace trellisk::platform {

// True when a file (anything but a directory) exists at the path.
[[nodiscard]] bool FileExists(const std::string& path);

// True when the path names a directory (links followed).
[[nodiscard]] bool DirectoryExists(const std::string& path);

// True when the regular file can be opened for reading while no other process writes it; it
// is closed again at once. Missing files, files without read access and anything but a
// regular file (which is never opened) give false. A writer that opens the file meanwhile
// can never end the program: SIGIO, which the kernel sends then, is ignored where the program
// does not handle it.
[[nodiscard]] bool CanOpenFile(const std::string& path);

// Mount point of the file system that holds the path, or holds its nearest existing parent.
[[nodiscard]] std::string MountPointOf(const std::string& path);

// Bytes available to the user on the file system holding the path; -1 when unknown.
[[nodiscard]] std::int64_t FreeSpace(const std::string& path);

// A whole file read at once. Only a regular file (or a link to one) is read: a FIFO, a
// device or a directory is never opened for reading, so none can block or run forever.
struct FileContent {
    enum class Status { Read, Missing, NotRegularFile, Failed };
    Status status = Status::Failed;
    std::string bytes;     // with Read
    std::string errorText; // the system's text with Failed
};
[[nodiscard]] FileContent ReadRegularFile(const std::string& path);

// Directory of the running executable, ending with the separator.
[[nodiscard]] std::string ExecutableDirectory();

} // namespace trellisk::platform
