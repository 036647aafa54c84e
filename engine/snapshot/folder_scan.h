#pragma once

#include "engine/platform/directory.h"
#include "engine/settings/settings.h"
#include "engine/snapshot/base_path_index.h"
#include "engine/snapshot/dir_index.h"
#include "engine/snapshot/file_table.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace trellisk {

// Reads watched folders into a directory index and a file table, each directory once: its
// entries are enumerated, its files' sizes and times read relative to it, and its
// subdirectories opened relative to it, so no path length limit applies. The subtrees below a
// watched folder are read in parallel on worker threads; the rows come out exactly as a
// single thread gives them.
class FolderScanner {
public:
    // Runs on the calling thread after each directory, or every few milliseconds while workers
    // read; returning false stops the scan.
    using Progress = std::function<bool()>;

    // `workers` threads read subtrees in parallel; 0 or 1 reads on the calling thread alone.
    explicit FolderScanner(std::size_t workers = DefaultWorkerCount());
    ~FolderScanner();
    FolderScanner(const FolderScanner&) = delete;
    FolderScanner& operator=(const FolderScanner&) = delete;

    // max(2, cores).
    [[nodiscard]] static std::size_t DefaultWorkerCount();

    // Starts a snapshot compared with `baseDirs` and `baseFiles` (the previous snapshot, none
    // for a baseline): a directory that exists but cannot be read keeps its rows from there,
    // and names the base holds are shared with it. The base must stay unchanged until the
    // snapshot has been compared with it.
    void beginSnapshot(const DirIndex* baseDirs, const FileTable* baseFiles);
    // The base's directories by path, until the next snapshot begins.
    [[nodiscard]] const BasePathIndex& basePaths() const { return basePaths_; }

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

    // One thread's walk through a tree.
    class Walk;

private:
    struct Subtrees;
    // A watched folder whose own directory has been read.
    struct Folder {
        const std::string& path;
        const platform::Directory& dir;
        std::size_t row;
        std::optional<int> childDepth;
        int limit;
        bool pseudo;
    };

    // The subdirectories named in `candidates` read in parallel; false when stopped.
    bool scanSubtreesInParallel(const Folder& folder, const std::string& candidates,
                                const Progress& progress);

    const DirIndex* baseDirs_ = nullptr;
    const FileTable* baseFiles_ = nullptr;
    BasePathIndex basePaths_;
    std::unique_ptr<Walk> walk_; // on the calling thread
    std::vector<std::unique_ptr<Walk>> workerWalks_;
};

} // namespace trellisk
