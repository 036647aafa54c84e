#include "engine/platform/directory.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace trellisk::platform {

namespace {

constexpr int kOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;
// Enough for a few hundred entries a call; one buffer per thread.
constexpr std::size_t kReadBufferBytes = 32 * 1024;

// Why an open failed: a directory that is there but refused us, or no directory at all.
OpenStatus StatusAfterFailedOpen(int error, bool isDirectory) {
    if (error == ENOENT || error == ENOTDIR || error == ELOOP)
        return OpenStatus::NotADirectory;
    return isDirectory ? OpenStatus::Unreadable : OpenStatus::NotADirectory;
}

EntryKind KindOf(unsigned char type) {
    switch (type) {
    case DT_DIR:
        return EntryKind::Directory;
    case DT_LNK:
        return EntryKind::Link;
    case DT_UNKNOWN:
        return EntryKind::Unknown;
    default:
        return EntryKind::File;
    }
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// tmpfs and devtmpfs share one magic number; only the mount table tells them apart.
bool IsDeviceFileSystem(dev_t device) {
    std::ifstream mounts("/proc/self/mountinfo");
    const std::string id =
        std::to_string(major(device)) + ":" + std::to_string(minor(device)) + " ";
    for (std::string line; std::getline(mounts, line);) {
        // Fields: mount id, parent id, major:minor, ..., " - ", type, source, options.
        const auto idAt = line.find(' ', line.find(' ') + 1);
        if (idAt == std::string::npos || line.compare(idAt + 1, id.size(), id) != 0)
            continue;
        const auto dash = line.find(" - ");
        return dash != std::string::npos && line.compare(dash + 3, 9, "devtmpfs ") == 0;
    }
    return false;
}

} // namespace

Directory::Opening Directory::adopt(int fd) {
    FileDescriptor owner(fd);
    struct stat info {};
    if (::fstat(owner.get(), &info) != 0)
        return {OpenStatus::Unreadable, std::nullopt};
    return {OpenStatus::Opened,
            Directory(std::move(owner), DirectoryIdentity{info.st_dev, info.st_ino})};
}

Directory::Opening Directory::open(const std::string& path) {
    const int fd = ::open(path.c_str(), kOpenFlags);
    if (fd >= 0)
        return adopt(fd);
    const int error = errno;
    struct stat info {};
    return {StatusAfterFailedOpen(error, ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)),
            std::nullopt};
}

Directory::Opening Directory::openChild(const char* name) const {
    const int fd = ::openat(fd_.get(), name, kOpenFlags);
    if (fd >= 0)
        return adopt(fd);
    const int error = errno;
    struct stat info {};
    return {StatusAfterFailedOpen(error, ::fstatat(fd_.get(), name, &info, 0) == 0 &&
                                             S_ISDIR(info.st_mode)),
            std::nullopt};
}

bool Directory::onPseudoFileSystem() const {
    struct statfs info {};
    if (::fstatfs(fd_.get(), &info) != 0)
        return false;
    // Magic numbers of the kernel's own file systems (linux/magic.h).
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x9fa0:     // proc
    case 0x62656572: // sysfs
    case 0x1cd1:     // devpts
    case 0x27e0eb:   // cgroup
    case 0x63677270: // cgroup2
    case 0x64626720: // debugfs
    case 0x74726163: // tracefs
    case 0x73636673: // securityfs
    case 0x6165676c: // pstore
    case 0xcafe4a11: // bpf
    case 0x62656570: // configfs
    case 0x65735543: // fusectl
    case 0x19800202: // mqueue
    case 0x958458f6: // hugetlbfs
    case 0x42494e4d: // binfmt_misc
    case 0xde5e81e4: // efivarfs
    case 0xf97cff8c: // selinuxfs
    case 0x43415d53: // smackfs
    case 0x6e736673: // nsfs
        return true;
    case 0x01021994: // tmpfs, or devtmpfs
        return IsDeviceFileSystem(static_cast<dev_t>(identity_.device));
    default:
        return false;
    }
}

EntryStatus Directory::readFacts(const char* name, EntryKind kind, FileFacts& facts) const {
    if (kind == EntryKind::Directory)
        return EntryStatus::Skipped;
    constexpr unsigned kWanted = STATX_TYPE | STATX_SIZE | STATX_MTIME;
    struct statx info {};
    if (::statx(fd_.get(), name, 0, kWanted, &info) != 0) {
        int error = errno;
        // A dangling link (or a link loop) is a file of its own.
        const bool mayBeLink = kind == EntryKind::Link || kind == EntryKind::Unknown;
        if (!mayBeLink || ::statx(fd_.get(), name, AT_SYMLINK_NOFOLLOW, kWanted, &info) != 0) {
            if (mayBeLink)
                error = errno;
            return error == ENOENT || error == ENOTDIR ? EntryStatus::Skipped
                                                       : EntryStatus::Unreadable;
        }
    }
    if (S_ISDIR(info.stx_mode))
        return EntryStatus::Skipped;
    facts.size = info.stx_size;
    facts.lastWriteSeconds = info.stx_mtime.tv_sec;
    return EntryStatus::File;
}

DirectoryReader::DirectoryReader() : buffer_(kReadBufferBytes) {}

void DirectoryReader::start(const Directory& dir) {
    dir_ = &dir;
    at_ = end_ = 0;
    done_ = failed_ = false;
}

std::optional<DirectoryEntry> DirectoryReader::next() {
    for (;;) {
        while (at_ < end_) {
            const auto* item = reinterpret_cast<const dirent64*>(buffer_.data() + at_);
            at_ += item->d_reclen;
            if (!IsDotOrDotDot(item->d_name))
                return DirectoryEntry{item->d_name, KindOf(item->d_type)};
        }
        if (done_)
            return std::nullopt;
        const ssize_t read = ::getdents64(dir_->fd_.get(), buffer_.data(), buffer_.size());
        if (read <= 0) {
            done_ = true;
            failed_ = read < 0;
            return std::nullopt;
        }
        at_ = 0;
        end_ = static_cast<std::size_t>(read);
    }
}

} // namespace trellisk::platform
