#include "engine/platform/file_system.h"

#include "engine/platform/file_descriptor.h"
#include "engine/platform/path_rules.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <system_error>
#include <unistd.h>

namespace trellisk::platform {

namespace {

bool StatPath(const std::string& path, struct stat& info) {
    return ::stat(path.c_str(), &info) == 0;
}

// The canonical form of the path, or of its nearest existing parent when it is gone.
std::string NearestExistingRealPath(std::string path) {
    for (;;) {
        if (char* real = ::realpath(path.empty() ? "." : path.c_str(), nullptr)) {
            std::string result(real);
            std::free(real);
            return result;
        }
        while (path.size() > 1 && path.back() == kPathSeparator)
            path.pop_back();
        if (IsRootPath(path))
            return path;
        const auto cut = path.rfind(kPathSeparator);
        if (cut == std::string::npos)
            path.clear();
        else
            path.erase(cut == 0 ? 1 : cut);
    }
}

// Mount points in /proc/self/mountinfo escape blank, tab, newline and backslash as "\ooo".
std::string DecodeMountField(std::string_view field) {
    std::string text;
    text.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto octal = [&](std::size_t at) { return field[at] >= '0' && field[at] <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) &&
            octal(i + 3)) {
            text.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                             (field[i + 3] - '0')));
            i += 3;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

// True when `mountPoint` is `path` itself or one of its parents.
bool Contains(std::string_view mountPoint, std::string_view path) {
    if (!path.starts_with(mountPoint))
        return false;
    return path.size() == mountPoint.size() || IsRootPath(mountPoint) ||
           path[mountPoint.size()] == kPathSeparator;
}

} // namespace

bool FileExists(const std::string& path) {
    struct stat info {};
    return StatPath(path, info) && !S_ISDIR(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
    struct stat info {};
    return StatPath(path, info) && S_ISDIR(info.st_mode);
}

bool CanOpenFile(const std::string& path) {
    // Opening a device node can have side effects (a tape rewinds), a FIFO has no writer to
    // ask about: only regular files are opened.
    struct stat before {};
    if (!StatPath(path, before) || !S_ISREG(before.st_mode))
        return false;
    // Non-blocking all the same, should something else have taken the name meanwhile.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    // A writer that opens the file while the lease is held makes the kernel send SIGIO, whose
    // default action ends the program. The lease is given back at once whatever happens, so
    // nobody needs the signal: it is ignored, unless the program handles SIGIO itself.
    static const bool leaseSignalIgnored = [] {
        struct sigaction current {};
        if (::sigaction(SIGIO, nullptr, &current) != 0 || current.sa_handler != SIG_DFL)
            return false;
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        return ::sigaction(SIGIO, &ignore, nullptr) == 0;
    }();
    static_cast<void>(leaseSignalIgnored);
    // A read lease is refused exactly while some descriptor has the file open for writing.
    // Only that refusal counts; where leases are not allowed (not the owner, file systems
    // without leases) the successful open decides.
    if (::fcntl(fd.get(), F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd.get(), F_SETLEASE, F_UNLCK);
        return true;
    }
    return errno != EAGAIN;
}

FileContent ReadRegularFile(const std::string& path) {
    using Status = FileContent::Status;
    FileContent content;
    const auto failed = [&content](int error) {
        content.status = Status::Failed;
        content.errorText = std::system_category().message(error);
        return content;
    };
    // Non-blocking so that opening a FIFO does not wait for a writer.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) {
        if (errno == ENOENT || errno == ENOTDIR) {
            content.status = Status::Missing;
            return content;
        }
        return failed(errno);
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return failed(errno);
    if (!S_ISREG(info.st_mode)) {
        content.status = Status::NotRegularFile;
        return content;
    }
    content.bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 14];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return failed(errno);
        }
        if (got == 0)
            break;
        content.bytes.append(buffer, static_cast<std::size_t>(got));
    }
    content.status = Status::Read;
    return content;
}

std::string MountPointOf(const std::string& path) {
    const std::string real = NearestExistingRealPath(path);
    std::ifstream mounts("/proc/self/mountinfo");
    std::string best(1, kPathSeparator);
    std::string line;
    while (std::getline(mounts, line)) {
        // Fields: mount id, parent id, major:minor, root, mount point, ...
        std::string_view rest(line);
        for (int field = 0; field < 4; ++field) {
            const auto blank = rest.find(' ');
            if (blank == std::string_view::npos) {
                rest = {};
                break;
            }
            rest.remove_prefix(blank + 1);
        }
        const std::string mountPoint = DecodeMountField(rest.substr(0, rest.find(' ')));
        // Later lines are mounted over earlier ones, so an equally long match replaces.
        if (!mountPoint.empty() && Contains(mountPoint, real) && mountPoint.size() >= best.size())
            best = mountPoint;
    }
    return best;
}

std::int64_t FreeSpace(const std::string& path) {
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0)
        return -1;
    return static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
}

std::string ExecutableDirectory() {
    std::string target(PATH_MAX, '\0');
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", target.data(), target.size());
        if (length < 0)
            return std::string(".") + kPathSeparator;
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            break;
        }
        target.resize(target.size() * 2);
    }
    return target.substr(0, target.rfind(kPathSeparator) + 1);
}

} // namespace trellisk::platform
