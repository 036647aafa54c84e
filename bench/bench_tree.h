#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace trellisk::bench {

// A generated tree of small files whose paths the benchmark keeps, so that it can change a
// share of them between two cycles.
class BenchTree {
public:
    struct Shape {
        std::size_t directories = 0; // below the root; none: the files lie in the root itself
        std::size_t depth = 0;       // levels, filled level by level
        std::size_t rootFanOut = 0;  // children of the root; 0: as many as any directory
        std::size_t fanOut = 0;      // children of a directory; 0: the fewest that fit
        std::size_t minFiles = 0;    // files per directory, from min to max in turn
        std::size_t maxFiles = 0;
        bool japaneseNames = false; // names of 20-60 bytes in Japanese, else "d0", "file_0.dat"
        bool keepPaths = true;      // kept for changeShare(); off for the largest tree
    };

    BenchTree(std::string root, const Shape& shape);
    BenchTree(const BenchTree&) = delete;
    BenchTree& operator=(const BenchTree&) = delete;

    [[nodiscard]] const std::string& root() const { return root_; }
    [[nodiscard]] std::size_t fileCount() const { return fileCount_; }
    // The paths were kept, so changeShare() works.
    [[nodiscard]] bool changeable() const { return fileCount_ == files_.size(); }

    // Appends bytes to, renames, deletes and creates `percent` per cent of the files each
    // (disjoint files, spread evenly over the tree).
    void changeShare(std::size_t percent);

private:
    std::string root_;
    std::size_t fileCount_ = 0;
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
