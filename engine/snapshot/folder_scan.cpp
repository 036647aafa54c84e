#include "engine/snapshot/folder_scan.h"

#include "engine/text/text_helpers.h"

#include <cstring>

namespace trellisk {

using platform::Directory;
using platform::EntryKind;
using platform::EntryStatus;
using platform::OpenStatus;

std::uint64_t PathHash(std::string_view path) {
    return std::hash<std::string_view>{}(path);
}

void FolderScanner::beginSnapshot(const DirIndex* baseDirs, const FileTable* baseFiles) {
    baseDirs_ = baseDirs;
    baseFiles_ = baseFiles;
    baseLookupBuilt_ = false;
    baseRowsByPathHash_.clear();
}

bool FolderScanner::scanFolder(const FolderEntry& entry, DirIndex& dirs, FileTable& files,
                               const Progress& progress) {
    dirs_ = &dirs;
    files_ = &files;
    progress_ = &progress;
    entered_.clear();
    const std::size_t row = dirs.appendFolder(entry.path);
    dirs[row].firstFile = files.count();
    const std::string folder = WithTrailingSeparator(entry.path);
    limit_ = DepthLimit(entry);
    std::optional<int> childDepth;
    if (entry.subMonitor == kSubMonitorYes)
        childDepth = FolderDepth(entry.path, folder);
    Directory::Opening opening = Directory::open(folder);
    if (!opening.directory) {
        // A missing folder has no files; one that is there but unreadable keeps its own.
        if (opening.status == OpenStatus::Unreadable)
            keepBaseRows(row, childDepth);
        return progress();
    }
    const Directory& dir = *opening.directory;
    entered_.insert(dir.identity());
    pseudoFileSystemsWatched_ = dir.onPseudoFileSystem();
    return scanDirectory(dir, row, childDepth, 0);
}

bool FolderScanner::scanDirectory(const Directory& dir, std::size_t row,
                                  std::optional<int> childDepth, std::size_t level) {
    const bool expand = childDepth && (limit_ == 0 || *childDepth <= limit_);
    if (candidates_.size() <= level)
        candidates_.resize(level + 1);
    std::string& candidates = candidates_[level];
    candidates.clear();

    FileTable& files = *files_;
    const std::size_t firstFile = files.count();
    bool unreadable = false;
    reader_.start(dir);
    while (const std::optional<platform::DirectoryEntry> item = reader_.next()) {
        // A link or an entry of unknown kind may lead to a directory; it is tried.
        if (expand && item->kind != EntryKind::File) {
            candidates.append(item->name);
            candidates.push_back('\0');
        }
        platform::FileFacts facts;
        const EntryStatus status = dir.readFacts(item->name, item->kind, facts);
        if (status == EntryStatus::Unreadable) {
            unreadable = true;
            break;
        }
        if (status == EntryStatus::File)
            files.append(item->name, facts.size, DateKey(facts.lastWriteSeconds));
    }
    if (unreadable || reader_.failed()) {
        files.truncate(firstFile);
        keepBaseRows(row, childDepth);
        return (*progress_)();
    }
    (*dirs_)[row].firstFile = firstFile;
    (*dirs_)[row].fileCount = files.count() - firstFile;
    if (!(*progress_)())
        return false;

    const std::optional<int> grandchildDepth =
        expand ? std::optional<int>(*childDepth + 1) : std::nullopt;
    for (std::size_t at = 0; at < candidates.size();) {
        const char* name = candidates.c_str() + at;
        at += std::strlen(name) + 1;
        Directory::Opening opening = dir.openChild(name);
        if (opening.status == OpenStatus::Unreadable) {
            keepBaseRows(dirs_->appendChild(row, name), grandchildDepth);
            if (!(*progress_)())
                return false;
            continue;
        }
        if (!opening.directory)
            continue;
        const Directory& child = *opening.directory;
        if (child.identity().device != dir.identity().device && !pseudoFileSystemsWatched_ &&
            child.onPseudoFileSystem())
            continue;
        if (!entered_.insert(child.identity()).second)
            continue;
        const std::size_t childRow = dirs_->appendChild(row, name);
        if (!scanDirectory(child, childRow, grandchildDepth, level + 1))
            return false;
    }
    return true;
}

void FolderScanner::keepBaseRows(std::size_t row, std::optional<int> childDepth) {
    DirIndex& dirs = *dirs_;
    FileTable& files = *files_;
    dirs[row].unreadable = true;
    dirs[row].firstFile = files.count();
    dirs[row].fileCount = 0;
    if (baseDirs_ == nullptr || baseFiles_ == nullptr)
        return;
    const std::optional<std::size_t> found = findBaseRow(dirs.path(row));
    if (!found)
        return;
    const DirIndex& base = *baseDirs_;
    const auto copyRun = [&](std::size_t from, std::size_t to) {
        const DirRow& source = base[from];
        dirs[to].firstFile = files.count();
        for (std::size_t i = source.firstFile; i < source.firstFile + source.fileCount; ++i)
            files.append(baseFiles_->name(i), baseFiles_->size(i), baseFiles_->dateKey(i));
        dirs[to].fileCount = source.fileCount;
    };
    copyRun(*found, row);
    if (!childDepth)
        return;
    // The base's rows below it follow it at once, each after its parent; those beyond this
    // folder's depth limit are left out, with everything below them.
    struct Copied {
        std::size_t row;
        int depth;
    };
    std::vector<std::optional<Copied>> copies{Copied{row, *childDepth - 1}};
    for (std::size_t below = *found + 1; below < base.count(); ++below) {
        const DirRow& source = base[below];
        if (source.watchedFolder || source.parent < *found)
            break;
        const std::optional<Copied>& parent = copies[source.parent - *found];
        std::optional<Copied> copy;
        if (parent && (limit_ == 0 || parent->depth + 1 <= limit_)) {
            copy = Copied{dirs.appendChild(parent->row, base.name(below)), parent->depth + 1};
            copyRun(below, copy->row);
        }
        copies.push_back(copy);
    }
}

std::optional<std::size_t> FolderScanner::findBaseRow(const std::string& path) {
    const DirIndex& base = *baseDirs_;
    if (!baseLookupBuilt_) {
        for (std::size_t row = 0; row < base.count(); ++row) {
            base.pathInto(row, pathText_);
            baseRowsByPathHash_.emplace(PathHash(pathText_), static_cast<std::uint32_t>(row));
        }
        baseLookupBuilt_ = true;
    }
    std::optional<std::size_t> first;
    const auto [begin, end] = baseRowsByPathHash_.equal_range(PathHash(path));
    for (auto it = begin; it != end; ++it) {
        if (first && *first < it->second)
            continue;
        base.pathInto(it->second, pathText_);
        if (pathText_ == path)
            first = it->second;
    }
    return first;
}

} // namespace trellisk
