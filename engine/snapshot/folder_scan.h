#pragma once

#include "engine/settings/settings.h"
#include "engine/snapshot/dir_index.h"
#include "engine/snapshot/file_table.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trellisk {

// The entries that the folder expansion read, directory by directory in the order read, so
// that the listing pass need not enumerate those directories a second time. Only what the
// listing looks at is kept: the names and kinds of the entries that are not directories.
class DirectoryEntries {
public:
    // Forgets the directories; the memory stays for the next expansion.
    void clear();
    // Starts the entries of the directory `path` (ending with the separator).
    void beginDirectory(std::string_view path);
    // Adds an entry (name and dirent kind) to the directory begun last.
    void addEntry(std::string_view name, unsigned char kind);

    [[nodiscard]] std::size_t directoryCount() const { return dirs_.size(); }
    [[nodiscard]] std::string_view path(std::size_t dir) const {
        return std::string_view(text_).substr(dirs_[dir].pathAt, dirs_[dir].pathLength);
    }
    // Calls visit(const char* name, unsigned char kind) for each entry of a directory, in the
    // order read; the name is terminated by a zero byte.
    template <class Visit> void forEachEntry(std::size_t dir, Visit&& visit) const {
        for (std::size_t at = dirs_[dir].entriesAt; at < dirs_[dir].entriesEnd;) {
            const auto kind = static_cast<unsigned char>(text_[at]);
            const char* name = text_.data() + at + 1;
            visit(name, kind);
            at += std::char_traits<char>::length(name) + 2;
        }
    }

private:
    struct Dir {
        std::size_t pathAt;
        std::size_t pathLength;
        std::size_t entriesAt;
        std::size_t entriesEnd;
    };
    std::vector<Dir> dirs_;
    std::string text_; // each path, then its entries as kind byte, name and zero byte
};

// Appends to `index`, depth-first in pre-order, one row (start 0, item 0) for every
// subdirectory of `dir` (ending with the separator) that the entry's depth limit admits,
// measured from the entry's path. Links to directories are followed, but a directory that is
// already on the path being expanded is not entered again. With `entries`, the entries of
// every directory read (`dir` included) are kept there for the listing pass.
void ExpandFolder(const std::string& dir, DirIndex& index, const FolderEntry& entry,
                  DirectoryEntries* entries = nullptr);

// Appends one row to `table` for every file directly in `dir` (ending with the separator);
// hidden files included, directories skipped, nothing when `dir` cannot be read.
void ListFiles(const std::string& dir, FileTable& table);

// The listing pass over an index whose file table the caller has emptied: lists every
// directory in index order and writes its `start` and `item` (-1 and -1 when it added no
// rows). `beforeDirectory` runs before each directory and stops the pass when it returns
// false (the pass then returns false); `afterDirectory` runs after each one is listed.
// A directory whose entries the expansion kept in `entries` (met in the same order) is not
// enumerated again; only its files' sizes and times are read.
bool RunListingPass(DirIndex& index, FileTable& table, const std::function<bool()>& beforeDirectory,
                    const std::function<void()>& afterDirectory,
                    const DirectoryEntries* entries = nullptr);

} // namespace trellisk
