#include "engine/snapshot/folder_scan.h"

#include "engine/platform/path_rules.h"
#include "engine/text/text_helpers.h"

#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace trellisk {

namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A directory by its identity, so that a link back into the tree is recognised.
using DirId = std::pair<dev_t, ino_t>;

struct Expansion {
    const FolderEntry& entry;
    int limit;
    DirIndex& index;
    std::vector<DirId> path; // directories being expanded, outermost first
    DirectoryEntries* entries;
};

// Names of the entries of an open directory `dir` that may be directories, in enumeration
// order; the others are kept in `entries` when given. The directory is closed before its
// subdirectories are entered, so that the depth of a tree never costs open descriptors.
std::vector<std::string> SubdirectoryCandidates(const std::string& dir, int fd,
                                                DirectoryEntries* entries) {
    std::vector<std::string> names;
    DIR* stream = ::fdopendir(fd);
    if (stream == nullptr) {
        ::close(fd);
        return names;
    }
    if (entries != nullptr)
        entries->beginDirectory(dir);
    while (const dirent* item = ::readdir(stream)) {
        if (IsDotOrDotDot(item->d_name))
            continue;
        // A link or an entry of unknown kind is tried; only real directories are left out
        // when the file system says so.
        if (item->d_type == DT_DIR || item->d_type == DT_LNK || item->d_type == DT_UNKNOWN)
            names.emplace_back(item->d_name);
        if (entries != nullptr && item->d_type != DT_DIR)
            entries->addEntry(item->d_name, item->d_type);
    }
    ::closedir(stream);
    return names;
}

void Expand(Expansion& run, const std::string& dir, int fd) {
    for (const std::string& name : SubdirectoryCandidates(dir, fd, run.entries)) {
        const std::string child = dir + name;
        const int depth = FolderDepth(run.entry.path, child);
        if (run.limit != 0 && depth > run.limit)
            continue;
        const int childFd = ::open(child.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat info {};
        // A directory that cannot be read still gets its row; it is listed as empty later.
        const bool isDirectory = childFd >= 0
                                     ? ::fstat(childFd, &info) == 0
                                     : ::stat(child.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        const DirId id{info.st_dev, info.st_ino};
        if (!isDirectory || std::find(run.path.begin(), run.path.end(), id) != run.path.end()) {
            if (childFd >= 0)
                ::close(childFd);
            continue;
        }
        std::string childDir = WithTrailingSeparator(child);
        run.index.append(DirRow{childDir, 0, 0, false});
        if (childFd < 0)
            continue;
        run.path.push_back(id);
        Expand(run, childDir, childFd);
        run.path.pop_back();
    }
}

} // namespace

void DirectoryEntries::clear() {
    dirs_.clear();
    text_.clear();
}

void DirectoryEntries::beginDirectory(std::string_view path) {
    dirs_.push_back(
        Dir{text_.size(), path.size(), text_.size() + path.size(), text_.size() + path.size()});
    text_.append(path);
}

void DirectoryEntries::addEntry(std::string_view name, unsigned char kind) {
    text_.push_back(static_cast<char>(kind));
    text_.append(name);
    text_.push_back('\0');
    dirs_.back().entriesEnd = text_.size();
}

void ExpandFolder(const std::string& dir, DirIndex& index, const FolderEntry& entry,
                  DirectoryEntries* entries) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return;
    }
    Expansion run{entry, DepthLimit(entry), index, {{info.st_dev, info.st_ino}}, entries};
    Expand(run, WithTrailingSeparator(dir), fd);
}

namespace {

// Appends the entry `name` of the open directory `fd` when it is not a directory.
void ListEntry(int fd, const char* name, unsigned char kind, FileTable& table) {
    if (kind == DT_DIR || IsDotOrDotDot(name))
        return;
    struct stat info;
    if (::fstatat(fd, name, &info, 0) != 0) {
        // A dangling link (or a link loop) is a file of its own; anything else has
        // vanished since the enumeration.
        if (kind != DT_LNK && kind != DT_UNKNOWN)
            return;
        if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            return;
    }
    if (S_ISDIR(info.st_mode))
        return;
    table.append(std::string_view(name), static_cast<std::uint64_t>(info.st_size),
                 DateKey(info.st_mtim.tv_sec));
}

// ListFiles over entries the expansion read: the directory is opened only to read them.
void ListKnownEntries(const std::string& dir, const DirectoryEntries& entries, std::size_t at,
                      FileTable& table) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    entries.forEachEntry(
        at, [&](const char* name, unsigned char kind) { ListEntry(fd, name, kind, table); });
    ::close(fd);
}

// True when the two texts name the same directory, with or without the final separator.
bool SameDirectory(std::string_view a, std::string_view b) {
    if (a.size() > b.size())
        std::swap(a, b);
    return b.starts_with(a) && (b.size() == a.size() ||
                                (b.size() == a.size() + 1 && b.back() == platform::kPathSeparator));
}

} // namespace

void ListFiles(const std::string& dir, FileTable& table) {
    DIR* stream = ::opendir(dir.c_str());
    if (stream == nullptr)
        return;
    const int fd = ::dirfd(stream);
    while (const dirent* item = ::readdir(stream))
        ListEntry(fd, item->d_name, item->d_type, table);
    ::closedir(stream);
}

bool RunListingPass(DirIndex& index, FileTable& table, const std::function<bool()>& beforeDirectory,
                    const std::function<void()>& afterDirectory, const DirectoryEntries* entries) {
    std::size_t total = table.count();
    const std::size_t rows = index.count();
    std::size_t known = 0; // the next directory the expansion kept
    // The callbacks may run user commands; a row that is gone is never touched.
    for (std::size_t row = 0; row < rows && row < index.count(); ++row) {
        if (beforeDirectory && !beforeDirectory())
            return false;
        const std::string& dir = index[row].dir;
        if (entries != nullptr && known < entries->directoryCount() &&
            SameDirectory(entries->path(known), dir))
            ListKnownEntries(dir, *entries, known++, table);
        else
            ListFiles(dir, table);
        const std::size_t count = table.count();
        DirRow& dirRow = index[row];
        if (count == total) {
            dirRow.start = -1;
            dirRow.item = -1;
        } else {
            dirRow.start = static_cast<std::int64_t>(total);
            dirRow.item = static_cast<std::int64_t>(count - total);
            total = count;
        }
        if (afterDirectory)
            afterDirectory();
    }
    return true;
}

} // namespace trellisk
