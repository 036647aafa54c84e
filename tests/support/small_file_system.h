#pragma once

#include <sys/resource.h>

#include <csignal>
#include <cstddef>
#include <string>

namespace trellisk::test {

// A fresh directory in which writing fails with a real kernel error once about `capacity`
// bytes are written: a tmpfs of that size mounted for the test where the process may mount
// (a full disk, ENOSPC), else the process's file-size limit (RLIMIT_FSIZE with SIGXFSZ
// ignored, EFBIG). Both are undone, and the directory removed, when the owner goes.
class SmallFileSystem {
public:
    explicit SmallFileSystem(std::size_t capacity);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    // The directory, ending with "/".
    [[nodiscard]] const std::string& root() const { return root_; }
    [[nodiscard]] std::string path(const std::string& relative) const { return root_ + relative; }
    [[nodiscard]] bool mounted() const { return mounted_; }

private:
    std::string root_;
    bool mounted_ = false;
    rlimit oldLimit_{};
    struct sigaction oldAction_ {};
};

} // namespace trellisk::test
