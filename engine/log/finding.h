#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace trellisk {

// What a monitoring cycle can find. The first four concern files of a directory that both
// snapshots have; the others a directory as a whole.
enum class FindingKind : std::uint8_t {
    Updated,       // its size or last-write time changed
    New,           // no base file of its name, nor one it could have been renamed from
    Renamed,       // a base file of the same size and time lost its name to it
    Deleted,       // a base file that is no longer there
    FolderNew,     // a directory the base did not have
    FolderDeleted, // a base directory that is no longer there
    Unreadable,    // a directory that is there but cannot be read; its files are kept
};

// One change, as the engine found it. Names and paths are bytes as the file system gives them.
struct Finding {
    FindingKind kind = FindingKind::New;
    std::string watchedFolder; // the watched folder it was found under, ending with the separator
    std::string directory;     // the directory, ending with the separator; for a directory
                               // finding the directory itself
    std::string name;          // the file's name; empty for a directory finding
    std::string oldName;       // Renamed: the name it had
    std::uint64_t size = 0;    // bytes; Deleted: as the base had it
    std::int64_t dateKey = 0;  // last-write time as snapshots keep it (see DateKey)
    std::optional<std::uint64_t> baseSize;   // Updated: the size in the base
    std::optional<std::int64_t> baseDateKey; // Updated: the time in the base
    std::time_t detected = 0;                // when it was found
};

[[nodiscard]] inline bool IsDirectoryFinding(FindingKind kind) {
    return kind == FindingKind::FolderNew || kind == FindingKind::FolderDeleted ||
           kind == FindingKind::Unreadable;
}

} // namespace trellisk
