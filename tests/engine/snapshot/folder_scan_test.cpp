#include "engine/snapshot/folder_scan.h"

#include "engine/text/text_helpers.h"
#include "tests/support/temp_tree.h"
#ifndef _WIN32
#include "tests/support/permission_bits.h"
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>
#ifndef _WIN32
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trellisk {
namespace {

using test::NativePath;
using test::NativePaths;
using test::TempTree;

FolderEntry Entry(const std::string& path, int depthLimit = 0, bool subfolders = true) {
    return FolderEntry{path, subfolders, depthLimit};
}

struct Snapshot {
    DirIndex dirs;
    FileTable files;
};

Snapshot Scan(const FolderEntry& entry, const Snapshot* base = nullptr,
              std::size_t workers = FolderScanner::DefaultWorkerCount()) {
    Snapshot snapshot;
    FolderScanner scanner(workers);
    scanner.beginSnapshot(base ? &base->dirs : nullptr, base ? &base->files : nullptr);
    EXPECT_TRUE(scanner.scanFolder(entry, snapshot.dirs, snapshot.files, [] { return true; }));
    return snapshot;
}

// The subdirectory rows of a scan, relative to the watched folder `base`, in order.
std::vector<std::string> Subdirectories(const Snapshot& snapshot, const std::string& base) {
    std::vector<std::string> dirs;
    for (std::size_t row = 1; row < snapshot.dirs.count(); ++row) {
        const std::string path = snapshot.dirs.path(row);
        EXPECT_TRUE(path.starts_with(base)) << path;
        dirs.push_back(path.substr(base.size()));
    }
    return dirs;
}

std::vector<std::string> Sorted(std::vector<std::string> items) {
    std::sort(items.begin(), items.end());
    return items;
}

struct Listed {
    std::uint64_t size;
    std::int64_t dateKey;
    bool operator==(const Listed&) const = default;
};

// The files of one directory row.
std::map<std::string, Listed> FilesOf(const Snapshot& snapshot, std::size_t row) {
    std::map<std::string, Listed> files;
    const DirRow& dir = snapshot.dirs[row];
    for (std::size_t i = dir.firstFile; i < dir.firstFile + dir.fileCount; ++i)
        files.emplace(snapshot.files.name(i),
                      Listed{snapshot.files.size(i), snapshot.files.dateKey(i)});
    EXPECT_EQ(files.size(), dir.fileCount) << "a name listed twice";
    return files;
}

#ifndef _WIN32
// Every row as path, file names in order, and the unreadable flag: what a comparison sees
// (where permission bits can make a directory unreadable).
std::vector<std::string> Rows(const Snapshot& snapshot) {
    std::vector<std::string> rows;
    for (std::size_t row = 0; row < snapshot.dirs.count(); ++row) {
        const DirRow& dir = snapshot.dirs[row];
        std::string text = snapshot.dirs.path(row) + (dir.unreadable ? " (unreadable):" : ":");
        for (std::size_t i = dir.firstFile; i < dir.firstFile + dir.fileCount; ++i)
            text += " " + std::string(snapshot.files.name(i));
        rows.push_back(text);
    }
    return rows;
}
#endif

TEST(FolderScan, DepthLimitIsMeasuredFromTheWatchedFolder) {
    TempTree tree;
    for (const char* dir : {"w", "w/a", "w/a/b", "w/a/b/c", "w/a/b/c/d"})
        tree.makeDir(dir);
    tree.makeFile("w/a/file");
    const std::string w = tree.path("w/");
    const struct {
        int depth;
        std::vector<std::string> dirs;
    } cases[] = {
        {0, {"a/", "a/b/", "a/b/c/", "a/b/c/d/"}},
        {1, {"a/", "a/b/"}},
        {2, {"a/", "a/b/", "a/b/c/"}},
        {9, {"a/", "a/b/", "a/b/c/", "a/b/c/d/"}},
        {-1, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Subdirectories(Scan(Entry(w, c.depth)), w), NativePaths(c.dirs))
            << "depth " << c.depth;
    EXPECT_TRUE(Subdirectories(Scan(Entry(w, 0, false)), w).empty());
}

TEST(FolderScan, RowsComeInDepthFirstPreOrderEachWithItsOwnFiles) {
    TempTree tree;
    for (const char* dir : {"w", "w/a", "w/a/x", "w/a/x/deep", "w/a/y", "w/b", "w/b/z", "w/c"})
        tree.makeDir(dir);
    for (const char* file : {"w/f", "w/a/x/deep/f1", "w/a/x/deep/f2", "w/b/z/f3"})
        tree.makeFile(file);
    const std::string w = tree.path("w/");
    const Snapshot snapshot = Scan(Entry(w));
    const std::vector<std::string> dirs = Subdirectories(snapshot, w);
    ASSERT_EQ(Sorted(dirs),
              Sorted(NativePaths({"a/", "a/x/", "a/x/deep/", "a/y/", "b/", "b/z/", "c/"})));
    // Every directory is followed at once by its whole subtree.
    for (std::size_t i = 0; i < dirs.size(); ++i) {
        std::size_t end = i + 1;
        while (end < dirs.size() && dirs[end].starts_with(dirs[i]))
            ++end;
        for (std::size_t j = end; j < dirs.size(); ++j)
            EXPECT_FALSE(dirs[j].starts_with(dirs[i]))
                << dirs[j] << " after the subtree of " << dirs[i];
    }
    // The runs follow the rows, one after the other.
    std::size_t next = 0;
    for (const DirRow& row : snapshot.dirs) {
        EXPECT_EQ(row.firstFile, next);
        next += row.fileCount;
    }
    EXPECT_EQ(next, 4u);
    const auto deep =
        std::find(dirs.begin(), dirs.end(), NativePath("a/x/deep/")) - dirs.begin() + 1;
    EXPECT_EQ(FilesOf(snapshot, static_cast<std::size_t>(deep)).size(), 2u);
}

TEST(FolderScan, FollowsLinksToDirectoriesAndHiddenDirectories) {
    if (!TempTree::CanMakeLinks())
        GTEST_SKIP() << test::kNoLinks;
    TempTree tree;
    tree.makeDir("w");
    tree.makeDir("w/.hidden");
    tree.makeDir("elsewhere");
    tree.makeDir("elsewhere/sub");
    tree.makeLink("w/link", "../elsewhere");
    tree.makeLink("w/tofile", "../file");
    tree.makeLink("w/dangling", "nothing");
    tree.makeFile("file");
    const std::string w = tree.path("w/");
    EXPECT_EQ(Sorted(Subdirectories(Scan(Entry(w)), w)),
              NativePaths({".hidden/", "link/", "link/sub/"}));
}

TEST(FolderScan, LinksBackIntoTheTreeAreNotFollowed) {
    if (!TempTree::CanMakeLinks())
        GTEST_SKIP() << test::kNoLinks;
    TempTree tree;
    tree.makeDir("w");
    tree.makeDir("sibling");
    tree.makeDir("w/d");
    tree.makeLink("w/up", "..");      // the folder holding w, which holds w again
    tree.makeLink("w/self", "self");  // resolves to nothing
    tree.makeLink("w/here", ".");     // w itself
    tree.makeLink("w/d/back", "../"); // w again, from below
    const std::string w = tree.path("w/");
    EXPECT_EQ(Sorted(Subdirectories(Scan(Entry(w)), w)), NativePaths({"d/", "up/", "up/sibling/"}));
}

// k directories each linking to all the others: every path through the links is a new path,
// k! of them, but there are only k directories.
TEST(FolderScan, EachDirectoryIsEnteredOnceHoweverManyLinksLeadToIt) {
    if (!TempTree::CanMakeLinks())
        GTEST_SKIP() << test::kNoLinks;
    TempTree tree;
    tree.makeDir("w");
    constexpr int k = 7;
    for (int i = 0; i < k; ++i) {
        tree.makeDir("w/d" + std::to_string(i));
        tree.makeFile("w/d" + std::to_string(i) + "/file");
    }
    for (int i = 0; i < k; ++i)
        for (int j = 0; j < k; ++j)
            if (i != j)
                tree.makeLink("w/d" + std::to_string(i) + "/to" + std::to_string(j),
                              "../d" + std::to_string(j));
    const std::string w = tree.path("w/");
    const Snapshot snapshot = Scan(Entry(w));
    EXPECT_EQ(snapshot.dirs.count(), 1u + k);
    EXPECT_EQ(snapshot.files.count(), static_cast<std::size_t>(k));
}

TEST(FolderScan, KernelFileSystemsAreNotEnteredFromALinkToTheRoot) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps no kernel state in folders of its file systems";
#else
    struct stat info {};
    if (::stat("/proc/self", &info) != 0)
        GTEST_SKIP() << "no /proc here";
    TempTree tree;
    tree.makeDir("w");
    tree.makeLink("w/root", "/");
    const std::string w = tree.path("w/");
    const std::vector<std::string> dirs = Subdirectories(Scan(Entry(w, 1)), w);
    EXPECT_NE(std::find(dirs.begin(), dirs.end(), "root/etc/"), dirs.end());
    for (const char* pseudo : {"root/proc/", "root/sys/"})
        EXPECT_EQ(std::find(dirs.begin(), dirs.end(), pseudo), dirs.end()) << pseudo;
    // Watched itself, such a folder is read.
    const Snapshot watched = Scan(Entry("/proc/self/", 1));
    EXPECT_GT(watched.dirs.count(), 1u);
    EXPECT_GT(watched.files.count(), 0u);
#endif
}

TEST(FolderScan, MissingFolderIsOneRowWithoutFiles) {
    TempTree tree;
    const std::string gone = tree.path("gone/");
    const Snapshot snapshot = Scan(Entry(gone));
    ASSERT_EQ(snapshot.dirs.count(), 1u);
    EXPECT_EQ(snapshot.dirs.path(0), gone);
    EXPECT_EQ(snapshot.dirs[0].fileCount, 0u);
    EXPECT_FALSE(snapshot.dirs[0].unreadable);
}

TEST(FolderScan, ListsEveryFileWithExactSizeAndTime) {
    TempTree tree;
    tree.makeDir("w");
    tree.makeDir("w/sub");
    tree.makeDir("w/.hiddendir");
    tree.makeFile("w/plain.txt", 1000, 1141517107);
    tree.makeFile("w/.hidden", 3, 1000000000);
    tree.makeFile("w/empty", 0, 0);
    tree.makeFile("w/old", 1, -3);
    tree.makeFile("w/big", 5368709121, 1700000001); // sparse, above 4 GiB
    tree.makeFile("w/sub/notlisted", 1, 0);
    const std::map<std::string, Listed> expected = {
        {"plain.txt", {1000, 1141517106}},
        {".hidden", {3, 1000000000}},
        {"empty", {0, 0}},
        {"old", {1, -4}},
        {"big", {5368709121, 1700000000}},
    };
    EXPECT_EQ(FilesOf(Scan(Entry(tree.path("w/"), 0, false)), 0), expected);
}

TEST(FolderScan, ListsLinksAsTheFileTheyLeadToOrAsThemselves) {
    if (!TempTree::CanMakeLinks())
        GTEST_SKIP() << test::kNoLinks;
    TempTree tree;
    tree.makeDir("w");
    tree.makeDir("w/sub");
    tree.makeFile("w/plain.txt", 1000, 1141517107);
    tree.makeLink("w/linkdir", "sub");
    tree.makeLink("w/linkfile", "plain.txt");
    tree.makeLink("w/dangling", "no-such-target");
    tree.setLinkTime("w/dangling", 1300000001);
    tree.makeLink("w/loop", "loop");
    tree.setLinkTime("w/loop", 1300000000);
    const std::map<std::string, Listed> expected = {
        {"plain.txt", {1000, 1141517106}},
        {"linkfile", {1000, 1141517106}},
        {"dangling", {14, 1300000000}}, // the link itself: its target text and its own time
        {"loop", {4, 1300000000}},
    };
    EXPECT_EQ(FilesOf(Scan(Entry(tree.path("w/"), 0, false)), 0), expected);
}

TEST(FolderScan, NamesThatAreNotUtf8KeepTheirBytes) {
#ifdef _WIN32
    GTEST_SKIP() << test::kNoRawByteNames;
#else
    TempTree tree;
    tree.makeDir("w");
    tree.makeDir("w/\x82\xa0\xff");
    tree.makeFile("w/\xff\xfe.txt", 7, 1200000000);
    const std::string w = tree.path("w/");
    const Snapshot snapshot = Scan(Entry(w));
    EXPECT_EQ(Subdirectories(snapshot, w), (std::vector<std::string>{"\x82\xa0\xff/"}));
    EXPECT_EQ(FilesOf(snapshot, 0),
              (std::map<std::string, Listed>{{"\xff\xfe.txt", {7, 1200000000}}}));
#endif
}

// A directory that is there but cannot be read keeps what the base had in it: its files and
// its subdirectories with theirs. Without a base it is a row without files.
TEST(FolderScan, UnreadableDirectoryKeepsItsRowsFromTheBase) {
#ifdef _WIN32
    GTEST_SKIP() << test::kNoPermissionBits;
#else
    TempTree tree;
    for (const char* dir : {"w", "w/locked", "w/locked/inner", "w/after"})
        tree.makeDir(dir);
    for (const char* file :
         {"w/top", "w/locked/one", "w/locked/two", "w/locked/inner/three", "w/after/four"})
        tree.makeFile(file);
    const std::string w = tree.path("w/");
    const Snapshot base = Scan(Entry(w));
    ASSERT_EQ(base.dirs.count(), 4u);

    const test::PermissionBitsApply permissions;
    ASSERT_TRUE(permissions.active());
    for (const mode_t mode : {0000, 0400}) { // neither listed nor searched; listed, not searched
        ASSERT_EQ(::chmod(tree.path("w/locked").c_str(), mode), 0);
        const Snapshot kept = Scan(Entry(w), &base);
        std::vector<std::string> expected = Rows(base);
        const auto locked = std::find_if(expected.begin(), expected.end(), [&](const auto& row) {
            return row.starts_with(w + "locked/:");
        });
        ASSERT_NE(locked, expected.end());
        locked->insert(w.size() + 7, " (unreadable)");
        EXPECT_EQ(Rows(kept), expected) << "mode " << mode;

        const Snapshot fresh = Scan(Entry(w));
        std::vector<std::string> rows = Rows(fresh);
        EXPECT_NE(std::find(rows.begin(), rows.end(), w + "locked/ (unreadable):"), rows.end());
        EXPECT_EQ(fresh.dirs.count(), 3u) << "nothing below it is known";
    }
    // The watched folder itself.
    ASSERT_EQ(::chmod(tree.path("w").c_str(), 0), 0);
    EXPECT_EQ(Rows(Scan(Entry(w, 0, false), &base)),
              (std::vector<std::string>{w + " (unreadable): top"}));
#endif
}

#ifndef _WIN32
// Creates `levels` nested directories of `nameLength`-byte names below `root`, each holding
// one file, through descriptors: their paths outgrow PATH_MAX.
void MakeDeepChain(const std::string& root, int levels, std::size_t nameLength) {
    int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    for (int level = 0; level < levels; ++level) {
        const std::string name = std::string(nameLength - 3, 'd') + std::to_string(100 + level);
        ASSERT_EQ(::mkdirat(fd, name.c_str(), 0755), 0);
        const int child = ::openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
        ::close(fd);
        ASSERT_GE(child, 0);
        fd = child;
        const int file = ::openat(fd, ("file" + std::to_string(level)).c_str(),
                                  O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(file, 0);
        ::close(file);
    }
    ::close(fd);
}

// Removes the chain again, deepest first, as the tree's own removal works by path.
void RemoveDeepChain(int parent, const char* name) {
    const int fd = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
    if (fd < 0)
        return;
    for (int level = 0; level < 100; ++level)
        ::unlinkat(fd, ("file" + std::to_string(level)).c_str(), 0);
    for (int level = 0; level < 100; ++level) {
        const std::string child = std::string(197, 'd') + std::to_string(100 + level);
        RemoveDeepChain(fd, child.c_str());
        ::unlinkat(fd, child.c_str(), AT_REMOVEDIR);
    }
    ::close(fd);
}

#endif

TEST(FolderScan, TreesDeeperThanThePathLimitAreReadWhole) {
#ifdef _WIN32
    GTEST_SKIP() << "wine keeps Windows paths as Linux ones, whose limit it cannot pass; the "
                    "Windows table reads paths beyond MAX_PATH";
#else
    TempTree tree;
    tree.makeDir("w");
    constexpr int kLevels = 25;
    MakeDeepChain(tree.path("w"), kLevels, 200);
    const Snapshot snapshot = Scan(Entry(tree.path("w/")));
    RemoveDeepChain(AT_FDCWD, tree.path("w").c_str());
    ASSERT_EQ(snapshot.dirs.count(), 1u + kLevels);
    EXPECT_GT(snapshot.dirs.path(kLevels).size(), static_cast<std::size_t>(PATH_MAX));
    EXPECT_EQ(snapshot.files.count(), static_cast<std::size_t>(kLevels));
    for (int level = 0; level < kLevels; ++level) {
        const DirRow& row = snapshot.dirs[static_cast<std::size_t>(level) + 1];
        EXPECT_FALSE(row.unreadable) << level;
        ASSERT_EQ(row.fileCount, 1u) << level;
        EXPECT_EQ(snapshot.files.name(row.firstFile), "file" + std::to_string(level));
    }
#endif
}

TEST(FolderScan, AStopFromProgressEndsTheScan) {
    TempTree tree;
    for (const char* dir : {"w", "w/a", "w/b", "w/c"})
        tree.makeDir(dir);
    // Workers report now and then rather than after each directory.
    const struct {
        std::size_t workers;
        int stopAt;
    } cases[] = {{1, 2}, {1, 3}, {4, 1}};
    for (const auto& c : cases) {
        FolderScanner scanner(c.workers);
        scanner.beginSnapshot(nullptr, nullptr);
        DirIndex dirs;
        FileTable files;
        int calls = 0;
        EXPECT_FALSE(scanner.scanFolder(Entry(tree.path("w/")), dirs, files,
                                        [&] { return ++calls < c.stopAt; }));
        EXPECT_EQ(calls, c.stopAt) << c.workers << " workers";
    }

    // Also in the middle of a directory large enough to be read in batches, where the facts
    // of its entries are read apart from the listing.
    if constexpr (platform::kFactsReadApart) {
        for (int file = 0; file < 2100; ++file)
            tree.makeFile("w/f" + std::to_string(file));
        FolderScanner scanner(2);
        scanner.beginSnapshot(nullptr, nullptr);
        DirIndex dirs;
        FileTable files;
        int calls = 0;
        EXPECT_FALSE(
            scanner.scanFolder(Entry(tree.path("w/")), dirs, files, [&] { return ++calls > 1; }));
        EXPECT_EQ(calls, 1);
        EXPECT_LT(files.count(), 2100u);
    }
}

// A name shared with the base keeps the block it was written in; were names shared from
// snapshot to snapshot while most files around them come and go, blocks holding a few names
// each would pile up.
TEST(FolderScan, SharedNamesLeaveNoBlocksPilingUpWhileFilesComeAndGo) {
    TempTree tree;
    tree.makeDir("w");
    const std::string w = tree.path("w/");
    Snapshot base = Scan(Entry(w));
    constexpr int kRounds = 25;
    for (int round = 0; round < kRounds; ++round) {
        const std::string dir = "w/" + std::to_string(round) + "/";
        tree.makeDir(dir);
        for (int file = 0; file < 600; ++file)
            tree.makeFile(dir + "a_name_as_long_as_many_real_ones_" + std::to_string(file));
        const Snapshot grown = Scan(Entry(w), &base);
        // The first ten as listed stay, in their places, so their names are shared.
        std::size_t row = 0;
        while (row < grown.dirs.count() && grown.dirs.path(row) != tree.path(dir))
            ++row;
        ASSERT_LT(row, grown.dirs.count());
        const DirRow& added = grown.dirs[row];
        for (std::size_t i = 10; i < added.fileCount; ++i)
            tree.remove(dir + std::string(grown.files.name(added.firstFile + i)));
        base = Scan(Entry(w), &grown);
    }
    ASSERT_EQ(base.files.count(), 10u * kRounds);
    // 250 names of about 40 bytes: a block or two, where piled-up blocks would be 25 or more.
    EXPECT_LT(base.files.capacityBytes(), 160u * 1024u);
}

// Workers read the subtrees of a folder in parallel; what they give is row for row what one
// thread gives, also where links lead from one worker's subtrees into another's and where a
// directory cannot be read. A system without links or permission bits (wine) gets a tree
// without them, for which the same holds.
TEST(FolderScan, ParallelScanGivesWhatASingleThreadGives) {
    const bool links = TempTree::CanMakeLinks();
    for (const bool crossLinks : {false, true}) {
        if (crossLinks && !links)
            break;
        TempTree tree;
        tree.makeDir("w");
        tree.makeFile("w/top.txt", 1, 1000);
        // Enough entries in the folder itself for their facts to be read in batches, by
        // helper threads too.
        for (int file = 0; file < 2600; ++file)
            tree.makeFile("w/many" + std::to_string(file), file, 1600000000 + file);
        if (links)
            tree.makeLink("w/nowhere", "missing");
        for (int top = 0; top < 12; ++top) {
            std::string dir = "w/t" + std::to_string(top);
            for (int depth = 0; depth < 4; dir += "/n" + std::to_string(depth++)) {
                tree.makeDir(dir);
                for (int file = 0; file < top % 4 + depth; ++file)
                    tree.makeFile(dir + "/f" + std::to_string(file), 10 * top + file,
                                  1700000000 + depth);
            }
            if (links) {
                tree.makeLink("w/t" + std::to_string(top) + "/root", "../");
                tree.makeLink("w/t" + std::to_string(top) + "/file", "../top.txt");
            }
        }
        if (crossLinks) {
            tree.makeLink("w/t9/n0/early", "../../t1/n0");
            tree.makeLink("w/t2/late", "../t10");
            tree.makeLink("w/t5/n0/n1/peer", "../../../t6");
        }
        const std::string w = tree.path("w/");
#ifndef _WIN32
        tree.makeDir("w/t4/n0/locked");
        tree.makeFile("w/t4/n0/locked/kept", 5, 1000);
#endif
        const Snapshot base = Scan(Entry(w), nullptr, 1);
#ifndef _WIN32
        const test::PermissionBitsApply permissions;
        ASSERT_TRUE(permissions.active());
        ASSERT_EQ(::chmod(tree.path("w/t4/n0/locked").c_str(), 0), 0);
#endif

        for (const int depth : {0, 2}) {
            const Snapshot single = Scan(Entry(w, depth), &base, 1);
            const Snapshot parallel = Scan(Entry(w, depth), &base, 4);
            ASSERT_EQ(parallel.dirs.count(), single.dirs.count());
            EXPECT_GT(single.dirs.count(), 12u);
            for (std::size_t row = 0; row < single.dirs.count(); ++row) {
                EXPECT_EQ(parallel.dirs.path(row), single.dirs.path(row));
                EXPECT_EQ(parallel.dirs[row].parent, single.dirs[row].parent);
                EXPECT_EQ(parallel.dirs[row].unreadable, single.dirs[row].unreadable);
                EXPECT_EQ(parallel.dirs[row].firstFile, single.dirs[row].firstFile);
                EXPECT_EQ(parallel.dirs[row].fileCount, single.dirs[row].fileCount);
            }
            ASSERT_EQ(parallel.files.count(), single.files.count());
            for (std::size_t i = 0; i < single.files.count(); ++i) {
                EXPECT_EQ(parallel.files.name(i), single.files.name(i));
                EXPECT_EQ(parallel.files.size(i), single.files.size(i));
                EXPECT_EQ(parallel.files.dateKey(i), single.files.dateKey(i));
            }
#ifndef _WIN32
            const std::vector<std::string> rows = Rows(single);
            EXPECT_NE(std::find(rows.begin(), rows.end(), w + "t4/n0/locked/ (unreadable): kept"),
                      rows.end())
                << "depth " << depth;
#endif
        }
    }
}

} // namespace
} // namespace trellisk
