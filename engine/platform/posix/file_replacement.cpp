#include "engine/platform/file_replacement.h"

#include "engine/platform/file_system.h"
#include "engine/platform/path_rules.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace trellisk::platform {

namespace {

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind(kPathSeparator);
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string(1, kPathSeparator) : path.substr(0, slash);
}

// The path with every symbolic link at its end replaced by what it points to, so that a
// rename replaces the file and not the link. A link to a missing file resolves to that name.
std::optional<std::string> FinalTarget(std::string path, int& error) {
    error = 0;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return path;
        std::string target(static_cast<std::size_t>(info.st_size) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
        if (length < 0) {
            error = errno;
            return std::nullopt;
        }
        target.resize(static_cast<std::size_t>(length));
        if (target.empty() || target.front() != kPathSeparator)
            target = DirectoryOf(path) + kPathSeparator + target;
        path = std::move(target);
    }
    error = ELOOP;
    return std::nullopt;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes the rename itself survive a crash; a failure here loses nothing already written.
void SyncDirectory(const std::string& directory) {
    const FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir)
        ::fsync(dir.get());
}

} // namespace

FileReplacement::FileReplacement(const std::string& target, unsigned newFileMode) {
    int error = 0;
    std::optional<std::string> resolved = FinalTarget(target, error);
    if (!resolved) {
        fail(error);
        return;
    }
    target_ = std::move(*resolved);
    mode_t mode = static_cast<mode_t>(newFileMode);
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0) {
        if (S_ISDIR(old.st_mode)) {
            fail(EISDIR);
            return;
        }
        if (!S_ISREG(old.st_mode)) {
            fail("通常のファイルではありません");
            return;
        }
        mode = old.st_mode & 07777;
    }
    tempPath_ = target_ + ".XXXXXX";
    temp_.reset(::mkostemp(tempPath_.data(), O_CLOEXEC));
    if (!temp_) {
        tempPath_.clear();
        fail(errno);
        return;
    }
    if (::fchmod(temp_.get(), mode) != 0)
        fail(errno);
    buffer_.reserve(kBufferSize);
}

FileReplacement::~FileReplacement() {
    temp_.reset();
    if (!tempPath_.empty())
        ::unlink(tempPath_.c_str());
}

void FileReplacement::writeOut(std::string_view bytes) {
    if (!WriteAll(temp_.get(), bytes))
        fail(errno);
}

void FileReplacement::fail(int error) {
    fail(std::system_category().message(error != 0 ? error : EIO));
}

std::optional<std::string> FileReplacement::finishWriting() {
    if (!temp_)
        return error_;
    flush();
    if (!error_ && ::fsync(temp_.get()) != 0)
        fail(errno);
    if (::close(temp_.release()) != 0)
        fail(errno);
    return error_;
}

std::optional<std::string> FileReplacement::commit() {
    if (finishWriting())
        return error_;
    if (::rename(tempPath_.c_str(), target_.c_str()) != 0) {
        fail(errno);
        return error_;
    }
    tempPath_.clear();
    SyncDirectory(DirectoryOf(target_));
    return std::nullopt;
}

std::optional<std::string> KeepCopy(const std::string& original, const std::string& copy) {
    // The link is made under a fresh name and renamed over the old copy, so that there is
    // always either the old copy or the new one.
    std::string linkName = copy + ".XXXXXX";
    {
        const FileDescriptor reserved(::mkostemp(linkName.data(), O_CLOEXEC));
        if (!reserved)
            return std::system_category().message(errno);
    }
    ::unlink(linkName.c_str());
    if (::linkat(AT_FDCWD, original.c_str(), AT_FDCWD, linkName.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        if (::rename(linkName.c_str(), copy.c_str()) == 0)
            return std::nullopt;
        ::unlink(linkName.c_str());
    }
    FileContent content = ReadRegularFile(original);
    switch (content.status) {
    case FileContent::Status::Read:
        return ReplaceFile(copy, content.bytes);
    case FileContent::Status::Missing:
        return std::nullopt;
    case FileContent::Status::NotRegularFile:
        return std::system_category().message(EINVAL);
    case FileContent::Status::Failed:
        break;
    }
    return content.errorText;
}

} // namespace trellisk::platform
