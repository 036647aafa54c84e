#pragma once

#ifdef _WIN32
#include "engine/platform/win32/find_handle.h"
#else
#include "engine/platform/file_descriptor.h"
#endif

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trellisk::platform {

// Whether an entry's facts take a call of their own (POSIX) rather than coming with the
// enumeration (Win32). Only then may they be read after the reader has moved on, and from
// several threads at once.
#ifdef _WIN32
inline constexpr bool kFactsReadApart = false;
#else
inline constexpr bool kFactsReadApart = true;
#endif

// What an enumeration says an entry is, before anything is followed.
enum class EntryKind { Directory, File, Link, Unknown };

// A directory's identity on this machine, the same whichever path leads to it.
struct DirectoryIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool operator==(const DirectoryIdentity&) const = default;
};

// Size and last-write time of a file.
struct FileFacts {
    std::uint64_t size = 0;
    std::int64_t lastWriteSeconds = 0;
};

class Directory;
class DirectoryReader;

// The outcome of opening a directory.
enum class OpenStatus {
    Opened,
    NotADirectory, // missing, gone, or something else than a directory
    Unreadable,    // a directory that cannot be opened for reading
};

// The outcome of reading one entry's facts.
enum class EntryStatus {
    File,       // the facts are valid
    Skipped,    // a directory, or gone since the enumeration
    Unreadable, // the entry exists but its facts cannot be read
};

// An open directory. Subdirectories and entries are reached relative to it, so no path
// length limit applies below the first one.
class Directory {
public:
    struct Opening;

    // Opens the directory at `path`, links followed.
    [[nodiscard]] static Opening open(const std::string& path);
    // Opens the subdirectory `name` of this one, links followed.
    [[nodiscard]] Opening openChild(const char* name) const;

    [[nodiscard]] const DirectoryIdentity& identity() const { return identity_; }
    // True when the directory lies on a file system of kernel or device state (/proc, /sys,
    // /dev and the like) rather than of files.
    [[nodiscard]] bool onPseudoFileSystem() const;

    // Size and last-write time of the entry `name`, links followed; a link that leads nowhere
    // is a file of its own, with the link's size and time.
    [[nodiscard]] EntryStatus readFacts(const char* name, EntryKind kind, FileFacts& facts) const;

private:
    friend class DirectoryReader;
#ifdef _WIN32
    // Win32 reads a directory by its path: the "\\?\" form, ending with the separator.
    Directory(std::wstring path, DirectoryIdentity identity)
        : path_(std::move(path)), identity_(identity) {}

    std::wstring path_;
    // The reader enumerating this directory, whose current entry holds the facts.
    mutable const DirectoryReader* reader_ = nullptr;
#else
    Directory(FileDescriptor fd, DirectoryIdentity identity)
        : fd_(std::move(fd)), identity_(identity) {}
    [[nodiscard]] static Opening adopt(int fd);

    FileDescriptor fd_;
#endif
    DirectoryIdentity identity_;
};

struct Directory::Opening {
    OpenStatus status = OpenStatus::NotADirectory;
    std::optional<Directory> directory; // set exactly when opened
};

// One entry of a directory; the name is valid until the reader moves on.
struct DirectoryEntry {
    const char* name;
    EntryKind kind;
};

// Reads the entries of directories in large batches; one reader serves many directories in
// turn and keeps its buffer.
class DirectoryReader {
public:
    DirectoryReader();
    // Starts on `dir`, which must outlive the reading.
    void start(const Directory& dir);
    // The next entry ("." and ".." left out), or nullopt at the end or after a failure.
    [[nodiscard]] std::optional<DirectoryEntry> next();
    // The enumeration stopped on an error rather than at the end.
    [[nodiscard]] bool failed() const { return failed_; }

private:
    const Directory* dir_ = nullptr;
#ifdef _WIN32
    friend class Directory;
    // The enumeration's current entry; its size and time are kept for readFacts().
    FindHandle find_;
    WIN32_FIND_DATAW found_{};
    std::string name_;
    bool haveFound_ = false;
#else
    std::vector<std::byte> buffer_;
    std::size_t at_ = 0;
    std::size_t end_ = 0;
#endif
    bool done_ = true;
    bool failed_ = false;
};

} // namespace trellisk::platform
