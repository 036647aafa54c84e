#include "tests/support/small_file_system.h"

#include <sys/mount.h>

#include <filesystem>
#include <stdexcept>
#include <stdlib.h>

namespace trellisk::test {

namespace fs = std::filesystem;

SmallFileSystem::SmallFileSystem(std::size_t capacity) {
    std::string pattern = (fs::temp_directory_path() / "trellisk-full-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern + "/";
    const std::string options = "size=" + std::to_string(capacity) + ",mode=0700";
    mounted_ = ::mount("tmpfs", pattern.c_str(), "tmpfs", 0, options.c_str()) == 0;
    if (mounted_)
        return;
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &oldAction_);
    ::getrlimit(RLIMIT_FSIZE, &oldLimit_);
    rlimit limit = oldLimit_;
    limit.rlim_cur = capacity;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

SmallFileSystem::~SmallFileSystem() {
    const std::string dir = root_.substr(0, root_.size() - 1);
    if (mounted_) {
        ::umount2(dir.c_str(), MNT_DETACH);
    } else {
        ::setrlimit(RLIMIT_FSIZE, &oldLimit_);
        ::sigaction(SIGXFSZ, &oldAction_, nullptr);
    }
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

} // namespace trellisk::test
