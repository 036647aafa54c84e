#pragma once

#include "settings/settings.h"
#include "snapshot/dir_index.h"
#include "snapshot/file_table.h"

#include <functional>
#include <string>

namespace trellisk {

// Appends to `index`, depth-first in pre-order, one row (start 0, item 0) for every
// subdirectory of `dir` (ending with the separator) that the entry's depth limit admits,
// measured from the entry's path. Links to directories are followed, but a directory that is
// already on the path being expanded is not entered again.
void ExpandFolder(const std::string& dir, DirIndex& index, const FolderEntry& entry);

// Appends one row to `table` for every file directly in `dir` (ending with the separator);
// hidden files included, directories skipped, nothing when `dir` cannot be read.
void ListFiles(const std::string& dir, FileTable& table);

// The listing pass over an index whose file table the caller has emptied: lists every
// directory in index order and writes its `start` and `item` (-1 and -1 when it added no
// rows). `beforeDirectory` runs before each directory and stops the pass when it returns
// false (the pass then returns false); `afterDirectory` runs after each one is listed.
bool RunListingPass(DirIndex& index, FileTable& table, const std::function<bool()>& beforeDirectory,
                    const std::function<void()>& afterDirectory);

} // namespace trellisk
