// Random operations on a real tree between monitoring cycles, checked against a model that
// knows what each cycle must report. TRELLISK_RANDOM_OPERATIONS sets how many operations
// each seed runs, TRELLISK_RANDOM_SEED runs that one seed instead of the fixed ones.
#include "tests/engine/monitor/monitor_fixture.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <tuple>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace trellisk::test {
namespace {

namespace fs = std::filesystem;

// What the model knows of one entry that is listed as a file.
struct FileState {
    std::uint64_t size = 0;
    std::time_t mtime = 0;
};

struct LinkState {
    std::string target;    // absolute
    std::string targetKey; // the target relative to the root, as the model names files
    std::time_t mtime = 0;
};

// One listed entry as the comparison sees it.
struct Listed {
    std::string name;
    std::uint64_t size;
    std::int64_t dateKey;
};

// A finding as the log shows it: kind, file, folder, size text, old name of a rename.
using Reported = std::tuple<std::string, std::string, std::string, std::string, std::string>;

class RandomOperationsTest : public MonitorTest {
protected:
    // Directories relative to the root, "" for the root, each ending with "/" otherwise.
    std::set<std::string> dirs_{""};
    std::map<std::string, FileState> files_; // relative path -> state
    std::map<std::string, LinkState> links_; // relative path -> state
    std::mt19937_64 random_;
    int counter_ = 0;
    std::time_t nextTime_ = kFileTime;

    std::string fresh(const char* prefix) { return prefix + std::to_string(++counter_); }
    // Every change gets a last-write time of its own, two seconds apart.
    std::time_t freshTime() { return nextTime_ += 2; }
    std::size_t below(std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
    }
    template <class Map> std::string anyKey(const Map& map) {
        return std::next(map.begin(), static_cast<std::ptrdiff_t>(below(map.size())))->first;
    }
    std::string anyDir() {
        return *std::next(dirs_.begin(), static_cast<std::ptrdiff_t>(below(dirs_.size())));
    }
    static std::string parentOf(const std::string& relative) {
        const auto cut = relative.rfind('/', relative.size() - 2);
        return cut == std::string::npos ? std::string() : relative.substr(0, cut + 1);
    }
    static std::string nameOf(const std::string& relative) {
        const auto cut = relative.rfind('/');
        return cut == std::string::npos ? relative : relative.substr(cut + 1);
    }

    void writeSize(const std::string& relative, std::uint64_t size, std::ios::openmode mode) {
        std::ofstream file(FsPath(tree.path(relative)), std::ios::binary | mode);
        ASSERT_TRUE(file.is_open()) << relative;
        file << std::string(size, 'x');
        file.close();
        ASSERT_TRUE(file.good()) << relative;
    }

    // One random operation on the tree and the model; returns its description.
    std::string operate() {
        switch (below(11)) {
        case 0: { // create
            const std::string path = anyDir() + fresh("f");
            const std::uint64_t size = below(40);
            writeSize(path, size, std::ios::trunc);
            files_[path] = {size, freshTime()};
            tree.setTime(path, files_[path].mtime);
            return "create " + path;
        }
        case 1: { // append
            if (files_.empty())
                return {};
            const std::string path = anyKey(files_);
            const std::uint64_t more = 1 + below(30);
            writeSize(path, more, std::ios::app);
            files_[path] = {files_[path].size + more, freshTime()};
            tree.setTime(path, files_[path].mtime);
            return "append " + path;
        }
        case 2: { // truncate
            if (files_.empty())
                return {};
            const std::string path = anyKey(files_);
            const std::uint64_t size = below(static_cast<std::size_t>(files_[path].size) + 1);
            fs::resize_file(FsPath(tree.path(path)), size);
            files_[path] = {size, freshTime()};
            tree.setTime(path, files_[path].mtime);
            return "truncate " + path;
        }
        case 3: { // touch
            if (files_.empty())
                return {};
            const std::string path = anyKey(files_);
            files_[path].mtime = freshTime();
            tree.setTime(path, files_[path].mtime);
            return "touch " + path;
        }
        case 4:
        case 5: { // rename, within the directory or into another one
            if (files_.empty())
                return {};
            const std::string from = anyKey(files_);
            const std::string to = (below(2) == 0 ? parentOf(from) : anyDir()) + fresh("f");
            fs::rename(FsPath(tree.path(from)), FsPath(tree.path(to)));
            files_[to] = files_[from];
            files_.erase(from);
            return "rename " + from + " " + to;
        }
        case 6: { // delete a file or a link
            if (files_.empty() && links_.empty())
                return {};
            const bool link = files_.empty() || (!links_.empty() && below(3) == 0);
            const std::string path = link ? anyKey(links_) : anyKey(files_);
            fs::remove(FsPath(tree.path(path)));
            if (link)
                links_.erase(path);
            else
                files_.erase(path);
            return "delete " + path;
        }
        case 7: { // mkdir
            const std::string path = anyDir() + fresh("d") + "/";
            tree.makeDir(path);
            dirs_.insert(path);
            return "mkdir " + path;
        }
        case 8: { // remove a directory with everything in it
            if (dirs_.size() < 2 || below(3) != 0)
                return {};
            std::string path;
            while (path.empty())
                path = anyDir();
            tree.remove(path);
            std::erase_if(dirs_, [&](const std::string& d) { return d.starts_with(path); });
            std::erase_if(files_, [&](const auto& f) { return f.first.starts_with(path); });
            std::erase_if(links_, [&](const auto& l) { return l.first.starts_with(path); });
            return "rmdir " + path;
        }
        case 9: { // chmod: the mode is no content, nothing to report
            if (files_.empty())
                return {};
            const std::string path = anyKey(files_);
            static constexpr unsigned kModes[] = {0000, 0600, 0644, 0755};
            const unsigned mode = kModes[below(4)];
#ifdef _WIN32
            static_cast<void>(mode); // Windows files have no mode bits
            return {};
#else
            ::chmod(tree.path(path).c_str(), static_cast<mode_t>(mode));
            return "chmod " + path;
#endif
        }
        default: { // a link to a file, or to a name that is not there
            if (!TempTree::CanMakeLinks())
                return {};
            const std::string path = anyDir() + fresh("l");
            const std::string targetKey =
                files_.empty() || below(4) == 0 ? fresh("missing") : anyKey(files_);
            const std::string target = tree.path(targetKey);
            tree.makeLink(path, target);
            links_[path] = {target, targetKey, freshTime()};
            tree.setLinkTime(path, links_[path].mtime);
            return "link " + path;
        }
        }
    }

    // How the model sees an entry: a file, or a link as its target file, or, dangling, itself.
    [[nodiscard]] Listed listed(const std::string& relative) const {
        const std::string name = nameOf(relative);
        if (const auto file = files_.find(relative); file != files_.end())
            return {name, file->second.size, DateKey(file->second.mtime)};
        const LinkState& link = links_.at(relative);
        if (const auto file = files_.find(link.targetKey); file != files_.end())
            return {name, file->second.size, DateKey(file->second.mtime)};
        return {name, link.target.size(), DateKey(link.mtime)};
    }

    // The listed entries of every directory, in the order the directory lists them.
    [[nodiscard]] std::map<std::string, std::vector<Listed>> snapshot() const {
        std::map<std::string, std::vector<Listed>> result;
        for (const std::string& dir : dirs_) {
            std::vector<Listed>& entries = result[dir];
            for (const fs::directory_entry& entry :
                 fs::directory_iterator(FsPath(tree.path(dir)))) {
                const std::string relative = dir + Utf8(entry.path().filename());
                if (files_.contains(relative) || links_.contains(relative))
                    entries.push_back(listed(relative));
            }
        }
        return result;
    }

    // What a cycle from `base` to `current` must report, by the comparison's rules: names are
    // matched first (a changed size or date is an update), then the names left over by size
    // and date (a rename, else a new file), and base files left over are deleted. A new or
    // deleted directory gets a row of its own and none for its files.
    [[nodiscard]] std::vector<Reported>
    expected(const std::map<std::string, std::vector<Listed>>& base,
             const std::map<std::string, std::vector<Listed>>& current) const {
        std::vector<Reported> findings;
        for (const auto& [dir, entries] : current) {
            const std::string folder = tree.path(dir);
            const auto old = base.find(dir);
            if (old == base.end()) {
                findings.emplace_back("新規", folder, "", "", "");
                continue;
            }
            const std::vector<Listed>& before = old->second;
            std::vector<bool> matched(before.size());
            std::vector<const Listed*> unnamed;
            for (const Listed& entry : entries) {
                const auto same = std::ranges::find(before, entry.name, &Listed::name);
                if (same == before.end()) {
                    unnamed.push_back(&entry);
                    continue;
                }
                matched[static_cast<std::size_t>(same - before.begin())] = true;
                if (same->size != entry.size || same->dateKey != entry.dateKey)
                    findings.emplace_back("更新", entry.name, folder, SizeText(entry.size), "");
            }
            for (const Listed* entry : unnamed) {
                std::size_t at = 0;
                while (at < before.size() && (matched[at] || before[at].size != entry->size ||
                                              before[at].dateKey != entry->dateKey))
                    ++at;
                if (at == before.size()) {
                    findings.emplace_back("新規", entry->name, folder, SizeText(entry->size), "");
                } else {
                    matched[at] = true;
                    findings.emplace_back("変名", entry->name, folder, SizeText(entry->size),
                                          "(旧)" + before[at].name);
                }
            }
            for (std::size_t at = 0; at < before.size(); ++at) {
                if (!matched[at])
                    findings.emplace_back("削除", before[at].name, folder, "", "");
            }
        }
        for (const auto& [dir, entries] : base) {
            if (!current.contains(dir))
                findings.emplace_back("削除", tree.path(dir), "", "", "");
        }
        std::ranges::sort(findings);
        return findings;
    }

    [[nodiscard]] std::vector<Reported> reported(std::size_t fromRow) const {
        std::vector<Reported> findings;
        for (std::size_t row = fromRow; row < log.entries.count(); ++row) {
            const std::vector<std::string> f = Fields(log.entries[row]);
            const auto column = [&](LogColumn c) { return f[static_cast<std::size_t>(c)]; };
            const bool renamed = log.entries[row].kind == FindingKind::Renamed;
            findings.emplace_back(column(LogColumn::Kind), column(LogColumn::File),
                                  column(LogColumn::Folder), column(LogColumn::Size),
                                  renamed ? column(LogColumn::SizeChange) : "");
        }
        std::ranges::sort(findings);
        return findings;
    }

    void run(std::uint64_t seed, int operations) {
        random_.seed(seed);
        watch(tree.root(), true);
        start();
        auto base = snapshot();
        std::vector<std::string> recent;
        for (int done = 0; done < operations;) {
            recent.clear();
            for (std::size_t n = below(9); n > 0 && done < operations; --n, ++done) {
                if (std::string what = operate(); !what.empty())
                    recent.push_back(std::move(what));
            }
            const std::size_t firstRow = log.entries.count();
            cycle();
            ASSERT_TRUE(monitor.isMonitoring())
                << (window.messages.empty() ? "" : window.messages.back());
            const auto current = snapshot();
            const std::vector<Reported> want = expected(base, current);
            const std::vector<Reported> got = reported(firstRow);
            std::string operationsText;
            for (const std::string& what : recent)
                operationsText += "\n  " + what;
            ASSERT_EQ(got, want) << "seed " << seed << ", after operation " << done
                                 << "; the operations since the last cycle:" << operationsText;
            const LogStatus& status = log.status();
            const auto count = [&](const char* kind) {
                return std::ranges::count_if(want, [&](const Reported& f) {
                    return std::get<0>(f) == kind && !std::get<2>(f).empty();
                });
            };
            ASSERT_EQ(status.updatedCount, count("更新")) << "seed " << seed;
            ASSERT_EQ(status.newCount, count("新規")) << "seed " << seed;
            ASSERT_EQ(status.renamedCount, count("変名")) << "seed " << seed;
            ASSERT_EQ(status.deletedCount, count("削除")) << "seed " << seed;
            // The tables of new and updated files keep only files that are still there.
            for (const NewRow& row : log.newFiles)
                ASSERT_TRUE(fs::is_regular_file(FsPath(row.folder + row.file)))
                    << "seed " << seed << ": " << row.file;
            for (const UpdateRow& row : log.updatedFiles)
                ASSERT_TRUE(fs::is_regular_file(FsPath(row.folder + row.file)))
                    << "seed " << seed << ": " << row.file;
            base = current;
        }
    }
};

int Operations() {
    if (const char* text = std::getenv("TRELLISK_RANDOM_OPERATIONS"))
        return std::atoi(text);
    return 1500;
}

class SeededRun : public RandomOperationsTest, public testing::WithParamInterface<std::uint64_t> {};

TEST_P(SeededRun, EveryCycleReportsExactlyWhatChanged) {
    run(GetParam(), Operations());
}

INSTANTIATE_TEST_SUITE_P(Seeds, SeededRun, testing::Values(1u, 2u));

TEST_F(RandomOperationsTest, SeedFromTheEnvironment) {
    const char* seed = std::getenv("TRELLISK_RANDOM_SEED");
    if (seed == nullptr)
        GTEST_SKIP() << "TRELLISK_RANDOM_SEED not set";
    run(std::strtoull(seed, nullptr, 10), Operations());
}

} // namespace
} // namespace trellisk::test
