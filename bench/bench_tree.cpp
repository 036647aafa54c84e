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

namespace {

constexpr const char* kWords[] = {"資料",   "会議",   "設計書", "報告", "写真",
                                  "議事録", "見積書", "請求書", "仕様", "開発"};

std::string DirectoryName(std::size_t index, bool japanese) {
    std::string name = japanese ? "" : "d";
    if (japanese) { // 26 to 32 bytes
        name.append(kWords[index % 10]).append("_").append(kWords[(index / 10) % 10]);
        name.append("フォルダ_");
    }
    name.append(std::to_string(index));
    return name;
}

std::string FileName(std::size_t index, std::size_t serial, bool japanese) {
    std::string name;
    if (japanese) { // 35 to 50 bytes
        name.append(kWords[serial % 10]).append("_第").append(std::to_string(serial % 1000));
        name.append("版_").append(kWords[(serial / 7) % 10]).append("確認済み_");
        name.append(std::to_string(index)).append(".txt");
    } else {
        name.append("file_").append(std::to_string(index)).append(".dat");
    }
    return name;
}

} // namespace

BenchTree::BenchTree(std::string root, const Shape& shape) : root_(std::move(root)) {
    if (root_.empty() || root_.back() != '/')
        root_ += '/';
    // Level by level: each directory gets the same number of children, as many as it takes
    // to reach the wanted count within the depth.
    std::size_t fanOut = shape.fanOut == 0 ? 1 : shape.fanOut;
    const auto reach = [&](std::size_t f) {
        std::size_t total = 0;
        for (std::size_t level = 0, width = 1; level < shape.depth; ++level)
            total += (width *= f);
        return total;
    };
    while (shape.fanOut == 0 && shape.directories > 0 && reach(fanOut) < shape.directories)
        ++fanOut;
    std::vector<std::string> level{root_};
    for (bool top = true; directories_.size() < shape.directories; top = false) {
        std::vector<std::string> next;
        const std::size_t children = top && shape.rootFanOut != 0 ? shape.rootFanOut : fanOut;
        for (const std::string& parent : level) {
            for (std::size_t c = 0; c < children && directories_.size() < shape.directories; ++c) {
                std::string dir =
                    parent + DirectoryName(directories_.size(), shape.japaneseNames) + "/";
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
    const std::size_t spread = shape.maxFiles - shape.minFiles + 1;
    for (std::size_t d = 0; d < holders.size(); ++d) {
        const std::size_t files = shape.minFiles + d % spread;
        for (std::size_t f = 0; f < files; ++f) {
            std::string file = holders[d] + FileName(f, fileCount_, shape.japaneseNames);
            // Sizes vary so that renamed files are told apart by size and date.
            WriteFile(file, fileCount_ % 4093, O_CREAT | O_EXCL);
            ++fileCount_;
            if (shape.keepPaths)
                files_.push_back(std::move(file));
        }
    }
    if (!shape.keepPaths)
        std::vector<std::string>().swap(directories_);
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
