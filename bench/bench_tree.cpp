#include "bench/bench_tree.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace trellisk::bench {

namespace {

[[noreturn]] void Fail(const std::string& what, const std::string& path) {
    throw std::system_error(errno, std::generic_category(), what + " " + path);
}

void WriteFile(const std::string& path, std::size_t bytes, int flags) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | flags, 0644);
    if (fd < 0)
        Fail("cannot open", path);
    const std::string content(bytes, 'x');
    const bool written =
        ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
    ::close(fd);
    if (!written)
        Fail("cannot write", path);
}

} // namespace

BenchTree::BenchTree(std::string root, std::size_t directories, std::size_t depth,
                     std::size_t filesPerDirectory)
    : root_(std::move(root)) {
    if (root_.empty() || root_.back() != '/')
        root_ += '/';
    // Level by level: each directory gets the same number of children, as many as it takes
    // to reach the wanted count within the depth.
    std::size_t fanOut = 1;
    const auto reach = [&](std::size_t f) {
        std::size_t total = 0;
        for (std::size_t level = 0, width = 1; level < depth; ++level)
            total += (width *= f);
        return total;
    };
    while (directories > 0 && reach(fanOut) < directories)
        ++fanOut;
    std::vector<std::string> level{root_};
    while (directories_.size() < directories) {
        std::vector<std::string> next;
        for (const std::string& parent : level) {
            for (std::size_t c = 0; c < fanOut && directories_.size() < directories; ++c) {
                std::string dir = parent + "d" + std::to_string(c) + "/";
                if (::mkdir(dir.c_str(), 0755) != 0)
                    Fail("cannot create", dir);
                directories_.push_back(dir);
                next.push_back(std::move(dir));
            }
        }
        level = std::move(next);
    }
    const std::vector<std::string> holders =
        directories_.empty() ? std::vector<std::string>{root_} : directories_;
    for (const std::string& dir : holders) {
        for (std::size_t f = 0; f < filesPerDirectory; ++f) {
            std::string file = dir + "file_" + std::to_string(f) + ".dat";
            // Sizes vary so that renamed files are told apart by size and date.
            WriteFile(file, files_.size() % 4093, O_CREAT | O_EXCL);
            files_.push_back(std::move(file));
        }
    }
}

void BenchTree::changeShare(std::size_t percent) {
    const std::size_t step = 100 / percent;
    for (std::size_t i = 0; i + 3 < files_.size(); i += step) {
        WriteFile(files_[i], 17, O_APPEND);
        const std::string renamed = files_[i + 1] + ".renamed";
        if (::rename(files_[i + 1].c_str(), renamed.c_str()) != 0)
            Fail("cannot rename", files_[i + 1]);
        files_[i + 1] = renamed;
        if (::unlink(files_[i + 2].c_str()) != 0)
            Fail("cannot delete", files_[i + 2]);
        // Larger than any generated file, so that a new file is never taken for a rename.
        files_[i + 2] = files_[i + 3] + ".new";
        WriteFile(files_[i + 2], 5000, O_CREAT | O_EXCL);
    }
}

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/trellisk-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        Fail("cannot create", pattern);
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

} // namespace trellisk::bench
