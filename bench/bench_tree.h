#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace trellisk::bench {

// A generated tree of small files whose paths the benchmark keeps, so that it can change a
// share of them between two cycles.
class BenchTree {
public:
    // `directories` directories below `root` (none: the files lie in `root` itself), at most
    // `depth` levels deep and filled level by level, with `filesPerDirectory` files each.
    BenchTree(std::string root, std::size_t directories, std::size_t depth,
              std::size_t filesPerDirectory);
    BenchTree(const BenchTree&) = delete;
    BenchTree& operator=(const BenchTree&) = delete;

    [[nodiscard]] const std::string& root() const { return root_; }
    [[nodiscard]] std::size_t fileCount() const { return files_.size(); }
    [[nodiscard]] std::size_t directoryCount() const { return directories_.size(); }

    // Appends bytes to, renames, deletes and creates `percent` per cent of the files each
    // (disjoint files, spread evenly over the tree).
    void changeShare(std::size_t percent);

private:
    std::string root_;
    std::vector<std::string> directories_; // each ending with '/'
    std::vector<std::string> files_;       // full paths
};

// Makes a fresh directory under $TMPDIR (or /tmp) and removes it with everything below.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    [[nodiscard]] const std::string& path() const { return path_; }

private:
    std::string path_;
};

} // namespace trellisk::bench
