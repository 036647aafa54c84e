// A read-only FUSE mirror of a folder that answers every request only after a delay, so the
// engine can be timed against a slow file system, such as a network share, on one machine.
//
//   latency_fs SOURCE MOUNTPOINT [--delay-ms N] [FUSE options]
//
// The default multithreaded loop answers requests side by side, as a file server would, so
// callers that ask in parallel see their delays overlap.
#define FUSE_USE_VERSION 31

#include <fuse.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>

namespace {

int sourceFd = -1;
std::chrono::microseconds delay{1000};

// Stands in for the round trip to the server.
void Wait() {
    if (delay.count() > 0)
        std::this_thread::sleep_for(delay);
}

// FUSE paths start at the mount's root; the mirror is reached relative to the source folder.
const char* Relative(const char* path) {
    while (*path == '/')
        ++path;
    return *path == '\0' ? "." : path;
}

int Errno(int result) {
    return result < 0 ? -errno : result;
}

DIR* DirOf(const fuse_file_info* fi) {
    return reinterpret_cast<DIR*>(fi->fh);
}

void* Init(fuse_conn_info*, fuse_config* cfg) {
    // Nothing may be answered from the kernel's caches: every scan asks the server again.
    cfg->entry_timeout = 0;
    cfg->attr_timeout = 0;
    cfg->negative_timeout = 0;
    cfg->use_ino = 1; // the engine tells directories apart by their inode numbers
    return nullptr;
}

int GetAttr(const char* path, struct stat* st, fuse_file_info* fi) {
    Wait();
    if (fi != nullptr) // the kernel passes a handle for open regular files only
        return Errno(::fstat(static_cast<int>(fi->fh), st));
    return Errno(::fstatat(sourceFd, Relative(path), st, AT_SYMLINK_NOFOLLOW));
}

int Access(const char* path, int mask) {
    Wait();
    return Errno(::faccessat(sourceFd, Relative(path), mask, 0));
}

int ReadLink(const char* path, char* buffer, size_t size) {
    Wait();
    if (size == 0)
        return -EINVAL;
    const ssize_t length = ::readlinkat(sourceFd, Relative(path), buffer, size - 1);
    if (length < 0)
        return -errno;
    buffer[length] = '\0';
    return 0;
}

int OpenDir(const char* path, fuse_file_info* fi) {
    Wait();
    const int fd = ::openat(sourceFd, Relative(path), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -errno;
    DIR* dir = ::fdopendir(fd);
    if (dir == nullptr) {
        const int error = errno;
        ::close(fd);
        return -error;
    }
    fi->fh = reinterpret_cast<std::uintptr_t>(dir);
    return 0;
}

// Lists the whole directory in one answer (offset 0 throughout), as a share's listing would.
int ReadDir(const char*, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info* fi,
            fuse_readdir_flags) {
    Wait();
    DIR* dir = DirOf(fi);
    ::rewinddir(dir);
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        st.st_ino = entry->d_ino;
        st.st_mode = static_cast<mode_t>(DTTOIF(entry->d_type));
        if (fill(buffer, entry->d_name, &st, 0, fuse_fill_dir_flags{}) != 0)
            return -ENOMEM;
    }
    return -errno;
}

int ReleaseDir(const char*, fuse_file_info* fi) {
    Wait();
    ::closedir(DirOf(fi));
    return 0;
}

int Open(const char* path, fuse_file_info* fi) {
    Wait();
    if ((fi->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    const int fd = ::openat(sourceFd, Relative(path), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -errno;
    fi->fh = static_cast<std::uint64_t>(fd);
    return 0;
}

int Read(const char*, char* buffer, size_t size, off_t offset, fuse_file_info* fi) {
    Wait();
    const ssize_t read = ::pread(static_cast<int>(fi->fh), buffer, size, offset);
    return read < 0 ? -errno : static_cast<int>(read);
}

int Release(const char*, fuse_file_info* fi) {
    Wait();
    ::close(static_cast<int>(fi->fh));
    return 0;
}

int StatFs(const char*, struct statvfs* st) {
    Wait();
    return Errno(::fstatvfs(sourceFd, st));
}

int Usage(const char* program) {
    std::fprintf(stderr, "usage: %s SOURCE MOUNTPOINT [--delay-ms N] [FUSE options]\n", program);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argv[1][0] == '-')
        return Usage(argv[0]);
    fuse_args args = FUSE_ARGS_INIT(0, nullptr);
    fuse_opt_add_arg(&args, argv[0]);
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--delay-ms") == 0) {
            if (++i == argc)
                return Usage(argv[0]);
            char* end = nullptr;
            const double ms = std::strtod(argv[i], &end);
            if (end == argv[i] || *end != '\0' || ms < 0)
                return Usage(argv[0]);
            delay = std::chrono::microseconds(static_cast<long long>(ms * 1000.0));
        } else {
            fuse_opt_add_arg(&args, argv[i]);
        }
    }
    fuse_opt_add_arg(&args, "-oro");

    // Opened before the mount: once in the background, the process's working folder is /.
    sourceFd = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (sourceFd < 0) {
        std::fprintf(stderr, "%s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }

    fuse_operations ops{};
    ops.init = Init;
    ops.getattr = GetAttr;
    ops.access = Access;
    ops.readlink = ReadLink;
    ops.opendir = OpenDir;
    ops.readdir = ReadDir;
    ops.releasedir = ReleaseDir;
    ops.open = Open;
    ops.read = Read;
    ops.release = Release;
    ops.statfs = StatFs;
    const int result = fuse_main(args.argc, args.argv, &ops, nullptr);
    fuse_opt_free_args(&args);
    return result;
}
