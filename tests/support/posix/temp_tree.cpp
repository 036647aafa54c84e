#include "tests/support/temp_tree.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace trellisk::test {

namespace {

void Check(bool ok, const std::string& what) {
    if (!ok)
        throw std::runtime_error(what + ": " + std::strerror(errno));
}

void SetTime(const std::string& path, std::time_t mtime, int flags) {
    const timespec times[2] = {{mtime, 0}, {mtime, 0}};
    Check(::utimensat(AT_FDCWD, path.c_str(), times, flags) == 0, "utimensat " + path);
}

} // namespace

TempTree::TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "trellisk-XXXXXX").string();
    Check(::mkdtemp(pattern.data()) != nullptr, "mkdtemp");
    root_ = pattern + "/";
}

bool TempTree::CanMakeLinks() {
    return true;
}

TempTree::~TempTree() {
    std::error_code error;
    // Directories a test made unreadable must be opened up again before they can go.
    for (auto it = std::filesystem::recursive_directory_iterator(
             root_, std::filesystem::directory_options::skip_permission_denied, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error))
            ::chmod(it->path().c_str(), 0755);
    }
    std::filesystem::remove_all(root_, error);
}

void TempTree::makeDir(const std::string& relative) const {
    Check(::mkdir(path(relative).c_str(), 0755) == 0, "mkdir " + relative);
}

void TempTree::makeFile(const std::string& relative, std::uint64_t size, std::time_t mtime) const {
    const std::string full = path(relative);
    const int fd = ::open(full.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    Check(fd >= 0, "open " + relative);
    const bool sized = ::ftruncate(fd, static_cast<off_t>(size)) == 0;
    ::close(fd);
    Check(sized, "ftruncate " + relative);
    SetTime(full, mtime, 0);
}

void TempTree::setTime(const std::string& relative, std::time_t mtime) const {
    SetTime(path(relative), mtime, 0);
}

void TempTree::makeLink(const std::string& relative, const std::string& target) const {
    Check(::symlink(target.c_str(), path(relative).c_str()) == 0, "symlink " + relative);
}

void TempTree::setLinkTime(const std::string& relative, std::time_t mtime) const {
    SetTime(path(relative), mtime, AT_SYMLINK_NOFOLLOW);
}

} // namespace trellisk::test
