#pragma once

#include "tests/support/skip_reasons.h"
#include "tests/support/test_paths.h"

#include <cstdint>
#include <ctime>
#include <string>

namespace trellisk::test {

// A real folder tree under a fresh temporary directory, removed again with everything in it.
// Paths given to the members are relative to the root, written with "/" on every platform.
class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // True when this system lets the tests make symbolic links (wine does not: its call
    // reports success and makes nothing).
    [[nodiscard]] static bool CanMakeLinks();

    // The root directory, ending with the platform's separator.
    [[nodiscard]] const std::string& root() const { return root_; }
    [[nodiscard]] std::string path(const std::string& relative) const {
        return root_ + NativePath(relative);
    }

    void makeDir(const std::string& relative) const;
    // A file of `size` bytes (sparse) last written at `mtime`.
    void makeFile(const std::string& relative, std::uint64_t size = 0, std::time_t mtime = 0) const;
    // The last-write time of an existing file.
    void setTime(const std::string& relative, std::time_t mtime) const;
    void makeLink(const std::string& relative, const std::string& target) const;
    // The link's own last-write time.
    void setLinkTime(const std::string& relative, std::time_t mtime) const;
    void remove(const std::string& relative) const {
        std::filesystem::remove_all(FsPath(path(relative)));
    }

private:
    std::string root_;
};

} // namespace trellisk::test
