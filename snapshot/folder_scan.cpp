#include "snapshot/folder_scan.h"

#include "snapshot/text_helpers.h"

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
};

// Names of the entries of an open directory that may be directories, in enumeration order.
// The directory is closed before its subdirectories are entered, so that the depth of a tree
// never costs open descriptors.
std::vector<std::string> SubdirectoryCandidates(int fd) {
    std::vector<std::string> names;
    DIR* stream = ::fdopendir(fd);
    if (stream == nullptr) {
        ::close(fd);
        return names;
    }
    while (const dirent* item = ::readdir(stream)) {
        if (IsDotOrDotDot(item->d_name))
            continue;
        // A link or an entry of unknown kind is tried; only real directories are left out
        // when the file system says so.
        if (item->d_type == DT_DIR || item->d_type == DT_LNK || item->d_type == DT_UNKNOWN)
            names.emplace_back(item->d_name);
    }
    ::closedir(stream);
    return names;
}

void Expand(Expansion& run, const std::string& dir, int fd) {
    for (const std::string& name : SubdirectoryCandidates(fd)) {
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
        std::string childDir = AddBackslash(child);
        run.index.append(DirRow{childDir, 0, 0, false});
        if (childFd < 0)
            continue;
        run.path.push_back(id);
        Expand(run, childDir, childFd);
        run.path.pop_back();
    }
}

} // namespace

void ExpandFolder(const std::string& dir, DirIndex& index, const FolderEntry& entry) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return;
    }
    Expansion run{entry, DepthLimit(entry), index, {{info.st_dev, info.st_ino}}};
    Expand(run, AddBackslash(dir), fd);
}

void ListFiles(const std::string& dir, FileTable& table) {
    DIR* stream = ::opendir(dir.c_str());
    if (stream == nullptr)
        return;
    const int fd = ::dirfd(stream);
    while (const dirent* item = ::readdir(stream)) {
        if (item->d_type == DT_DIR || IsDotOrDotDot(item->d_name))
            continue;
        struct stat info;
        if (::fstatat(fd, item->d_name, &info, 0) != 0) {
            // A dangling link (or a link loop) is a file of its own; anything else has
            // vanished since the enumeration.
            if (item->d_type != DT_LNK && item->d_type != DT_UNKNOWN)
                continue;
            if (::fstatat(fd, item->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
        }
        if (S_ISDIR(info.st_mode))
            continue;
        table.append(std::string_view(item->d_name), static_cast<std::uint64_t>(info.st_size),
                     DateKey(info.st_mtim.tv_sec));
    }
    ::closedir(stream);
}

bool RunListingPass(DirIndex& index, FileTable& table, const std::function<bool()>& beforeDirectory,
                    const std::function<void()>& afterDirectory) {
    std::size_t total = table.count();
    const std::size_t rows = index.count();
    // The callbacks may run user commands; a row that is gone is never touched.
    for (std::size_t row = 0; row < rows && row < index.count(); ++row) {
        if (beforeDirectory && !beforeDirectory())
            return false;
        ListFiles(index[row].dir, table);
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
