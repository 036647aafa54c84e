#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace trellisk::test {

// A real folder tree under a fresh temporary directory, removed again with everything in it.
// Paths given to the members are relative to the root.
class TempTree {
public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The root directory, ending with "/".
    [[nodiscard]] const std::string& root() const { return root_; }
    [[nodiscard]] std::string path(const std::string& relative) const { return root_ + relative; }

    void makeDir(const std::string& relative) const;
    // A file of `size` bytes (sparse) last written at `mtime`.
    void makeFile(const std::string& relative, std::uint64_t size = 0, std::time_t mtime = 0) const;
    void makeLink(const std::string& relative, const std::string& target) const;
    // The link's own last-write time.
    void setLinkTime(const std::string& relative, std::time_t mtime) const;
    void remove(const std::string& relative) const;

private:
    std::string root_;
};

} // namespace trellisk::test
