#pragma once

#include "engine/platform/directory.h"
#include "engine/settings/settings.h"
#include "engine/snapshot/dir_index.h"
#include "engine/snapshot/file_table.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace trellisk {

// A hash of a directory's path text, for finding a path among many without keeping the texts.
[[nodiscard]] std::uint64_t PathHash(std::string_view path);

// Reads watched folders into a directory index and a file table, each directory once: its
// entries are enumerated, its files' sizes and times read relative to it, and its
// subdirectories opened relative to it, so no path length limit applies.
class FolderScanner {
public:
    // Runs after each directory; returning false stops the scan.
    using Progress = std::function<bool()>;

    // Starts a snapshot compared with `baseDirs` and `baseFiles` (the previous snapshot, none
    // for a baseline): a directory that exists but cannot be read keeps its rows from there.
    // The base must stay unchanged until the snapshot is complete.
    void beginSnapshot(const DirIndex* baseDirs, const FileTable* baseFiles);

    // Appends the watched folder `entry`: its row, and when it watches subfolders a row for
    // every subdirectory its depth limit admits, depth-first in pre-order, in enumeration
    // order; each directory's files (hidden ones too) are one run in enumeration order. Links
    // are followed, but within the folder a directory is entered once, however many paths lead
    // to it: a second one gets no row. Kernel and device file systems (/proc, /sys, /dev...) are
    // not entered unless the folder itself lies on one. A directory that exists but cannot be
    // read is marked unreadable and keeps its own files and subdirectories from the base.
    // Returns false when `progress` stopped it.
    bool scanFolder(const FolderEntry& entry, DirIndex& dirs, FileTable& files,
                    const Progress& progress);

private:
    struct IdentityHash {
        std::size_t operator()(const platform::DirectoryIdentity& id) const {
            return std::hash<std::uint64_t>{}(id.inode * 0x9E3779B97F4A7C15ull ^ id.device);
        }
    };

    // Reads the directory of `row`; `childDepth` is the depth of its subdirectories, none when
    // they are not watched.
    bool scanDirectory(const platform::Directory& dir, std::size_t row,
                       std::optional<int> childDepth, std::size_t level);
    // Marks the directory of `row` (the index's last row) unreadable and copies its rows from
    // the base, its subdirectories at `childDepth` and below when they are watched.
    void keepBaseRows(std::size_t row, std::optional<int> childDepth);
    [[nodiscard]] std::optional<std::size_t> findBaseRow(const std::string& path);

    const DirIndex* baseDirs_ = nullptr;
    const FileTable* baseFiles_ = nullptr;
    bool baseLookupBuilt_ = false;
    std::unordered_multimap<std::uint64_t, std::uint32_t> baseRowsByPathHash_;

    // The folder being scanned.
    DirIndex* dirs_ = nullptr;
    FileTable* files_ = nullptr;
    const Progress* progress_ = nullptr;
    int limit_ = 0;
    bool pseudoFileSystemsWatched_ = false;
    std::unordered_set<platform::DirectoryIdentity, IdentityHash> entered_;

    platform::DirectoryReader reader_;
    // Per level of the tree, the names that may be subdirectories, each ending with a zero
    // byte; kept to reuse their memory. A deque, so deeper levels never move shallower ones.
    std::deque<std::string> candidates_;
    std::string pathText_;
};

} // namespace trellisk
