#include "engine/snapshot/folder_scan.h"

#include "engine/text/text_helpers.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace trellisk {
namespace {

using test::TempTree;

FolderEntry Entry(const std::string& path, const std::string& depth) {
    return FolderEntry{path, kSubMonitorYes, depth};
}

// The directories ExpandFolder adds below `dir`, relative to `base`, in order.
std::vector<std::string> Expanded(const std::string& dir, const FolderEntry& entry,
                                  const std::string& base) {
    DirIndex index;
    ExpandFolder(dir, index, entry);
    std::vector<std::string> dirs;
    for (const DirRow& row : index) {
        EXPECT_EQ(row.start, 0);
        EXPECT_EQ(row.item, 0);
        EXPECT_TRUE(row.dir.starts_with(base)) << row.dir;
        dirs.push_back(row.dir.substr(base.size()));
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

std::map<std::string, Listed> ListedFiles(const std::string& dir) {
    FileTable table;
    ListFiles(dir, table);
    std::map<std::string, Listed> files;
    for (std::size_t row = 0; row < table.count(); ++row)
        files.emplace(table.name(row), Listed{table.size(row), table.dateKey(row)});
    EXPECT_EQ(files.size(), table.count()) << "a name listed twice";
    return files;
}

TEST(ExpandFolder, DepthLimitIsMeasuredFromTheWatchedFolder) {
    TempTree tree;
    tree.makeDir("w");
    tree.makeDir("w/a");
    tree.makeDir("w/a/b");
    tree.makeDir("w/a/b/c");
    tree.makeDir("w/a/b/c/d");
    tree.makeFile("w/a/file");
    const std::string w = tree.path("w/");
    const struct {
        const char* depth;
        std::vector<std::string> dirs;
    } cases[] = {
        {"0", {"a/", "a/b/", "a/b/c/", "a/b/c/d/"}},
        {"1", {"a/", "a/b/"}},
        {"2", {"a/", "a/b/", "a/b/c/"}},
        {"9", {"a/", "a/b/", "a/b/c/", "a/b/c/d/"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Expanded(w, Entry(w, c.depth), w), c.dirs) << "depth " << c.depth;
}

TEST(ExpandFolder, RowsComeInDepthFirstPreOrder) {
    TempTree tree;
    for (const char* dir : {"w", "w/a", "w/a/x", "w/a/x/deep", "w/a/y", "w/b", "w/b/z", "w/c"})
        tree.makeDir(dir);
    const std::string w = tree.path("w/");
    const std::vector<std::string> dirs = Expanded(w, Entry(w, "0"), w);
    ASSERT_EQ(Sorted(dirs),
              (std::vector<std::string>{"a/", "a/x/", "a/x/deep/", "a/y/", "b/", "b/z/", "c/"}));
    // Every directory is followed at once by its whole subtree.
    for (std::size_t i = 0; i < dirs.size(); ++i) {
        std::size_t end = i + 1;
        while (end < dirs.size() && dirs[end].starts_with(dirs[i]))
            ++end;
        for (std::size_t j = end; j < dirs.size(); ++j)
            EXPECT_FALSE(dirs[j].starts_with(dirs[i]))
                << dirs[j] << " after the subtree of " << dirs[i];
    }
}

TEST(ExpandFolder, FollowsLinksToDirectoriesAndHiddenDirectories) {
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
    EXPECT_EQ(Sorted(Expanded(w, Entry(w, "0"), w)),
              (std::vector<std::string>{".hidden/", "link/", "link/sub/"}));
}

TEST(ExpandFolder, EntersADirectoryOnlyOnceOnEachPath) {
    TempTree tree;
    tree.makeDir("w");
    tree.makeDir("sibling");
    tree.makeDir("w/d");
    tree.makeLink("w/up", "..");      // the folder holding w, which holds w again
    tree.makeLink("w/self", "self");  // resolves to nothing
    tree.makeLink("w/here", ".");     // w itself
    tree.makeLink("w/d/back", "../"); // w again, from below
    const std::string w = tree.path("w/");
    EXPECT_EQ(Sorted(Expanded(w, Entry(w, "0"), w)),
              (std::vector<std::string>{"d/", "up/", "up/sibling/"}));
}

TEST(ExpandFolder, MissingFolderGivesNothing) {
    TempTree tree;
    const std::string gone = tree.path("gone/");
    EXPECT_TRUE(Expanded(gone, Entry(gone, "0"), gone).empty());
}

TEST(ExpandFolder, UnreadableDirectoryGetsItsRowButIsNotEntered) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    TempTree tree;
    tree.makeDir("w");
    tree.makeDir("w/locked");
    tree.makeDir("w/locked/inner");
    tree.makeFile("w/locked/file");
    ASSERT_EQ(::chmod(tree.path("w/locked").c_str(), 0), 0);
    const std::string w = tree.path("w/");
    EXPECT_EQ(Expanded(w, Entry(w, "0"), w), (std::vector<std::string>{"locked/"}));
    EXPECT_TRUE(ListedFiles(tree.path("w/locked/")).empty());
}

TEST(ListFiles, ListsEveryFileWithExactSizeAndTime) {
    TempTree tree;
    tree.makeDir("w");
    tree.makeDir("w/sub");
    tree.makeDir("w/.hiddendir");
    tree.makeFile("w/plain.txt", 1000, 1141517107);
    tree.makeFile("w/.hidden", 3, 1000000000);
    tree.makeFile("w/empty", 0, 0);
    tree.makeFile("w/old", 1, -3);
    tree.makeFile("w/big", 5368709121, 1700000001); // sparse, above 4 GiB
    tree.makeFile("w/\xff\xfe.txt", 7, 1200000000);
    tree.makeFile("w/sub/notlisted", 1, 0);
    tree.makeLink("w/linkdir", "sub");
    tree.makeLink("w/linkfile", "plain.txt");
    tree.makeLink("w/dangling", "no-such-target");
    tree.setLinkTime("w/dangling", 1300000001);
    tree.makeLink("w/loop", "loop");
    tree.setLinkTime("w/loop", 1300000000);
    const std::map<std::string, Listed> expected = {
        {"plain.txt", {1000, 1141517106}},
        {".hidden", {3, 1000000000}},
        {"empty", {0, 0}},
        {"old", {1, -4}},
        {"big", {5368709121, 1700000000}},
        {"\xff\xfe.txt", {7, 1200000000}},
        {"linkfile", {1000, 1141517106}},
        {"dangling", {14, 1300000000}}, // the link itself: its target text and its own time
        {"loop", {4, 1300000000}},
    };
    EXPECT_EQ(ListedFiles(tree.path("w/")), expected);
}

TEST(ListFiles, MissingOrEmptyDirectoryAddsNothing) {
    TempTree tree;
    tree.makeDir("empty");
    FileTable table;
    table.append("kept", 1, 2);
    ListFiles(tree.path("empty/"), table);
    ListFiles(tree.path("gone/"), table);
    ListFiles(tree.path(""), table); // only a directory
    EXPECT_EQ(table.count(), 1u);
}

TEST(ExpandFolder, NamesThatAreNotUtf8KeepTheirBytes) {
    TempTree tree;
    tree.makeDir("w");
    tree.makeDir("w/\x82\xa0\xff");
    const std::string w = tree.path("w/");
    EXPECT_EQ(Expanded(w, Entry(w, "0"), w), (std::vector<std::string>{"\x82\xa0\xff/"}));
}

class ListingPass : public ::testing::Test {
protected:
    void SetUp() override {
        tree.makeDir("w");
        tree.makeFile("w/one");
        tree.makeFile("w/two");
        tree.makeDir("w/empty");
        tree.makeDir("w/onlydirs");
        tree.makeDir("w/onlydirs/x");
        tree.makeFile("w/onlydirs/x/three");
        tree.makeDir("w/gone");
        tree.makeFile("w/gone/lost");
        for (const char* dir : {"w/", "w/empty/", "w/onlydirs/", "w/onlydirs/x/", "w/gone/"})
            index.append(DirRow{tree.path(dir), 0, 0, false});
        tree.remove("w/gone"); // vanishes between expansion and listing
    }

    std::vector<std::pair<std::int64_t, std::int64_t>> runs() const {
        std::vector<std::pair<std::int64_t, std::int64_t>> result;
        for (const DirRow& row : index)
            result.emplace_back(row.start, row.item);
        return result;
    }

    TempTree tree;
    DirIndex index;
    FileTable table;
};

TEST_F(ListingPass, WritesStartAndItemOrMinusOneForDirectoriesWithoutFiles) {
    int before = 0;
    int after = 0;
    EXPECT_TRUE(RunListingPass(
        index, table, [&] { return ++before > 0; }, [&] { ++after; }));
    EXPECT_EQ(before, 5);
    EXPECT_EQ(after, 5);
    EXPECT_EQ(runs(), (std::vector<std::pair<std::int64_t, std::int64_t>>{
                          {0, 2}, {-1, -1}, {-1, -1}, {2, 1}, {-1, -1}}));
    ASSERT_EQ(table.count(), 3u);
    EXPECT_EQ(Sorted({std::string(table.name(0)), std::string(table.name(1))}),
              (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(table.name(2), "three");
}

TEST_F(ListingPass, StopsWhenBeforeDirectoryRefuses) {
    int before = 0;
    int after = 0;
    EXPECT_FALSE(RunListingPass(
        index, table, [&] { return ++before < 4; }, [&] { ++after; }));
    EXPECT_EQ(before, 4);
    EXPECT_EQ(after, 3);
    EXPECT_EQ(runs(), (std::vector<std::pair<std::int64_t, std::int64_t>>{
                          {0, 2}, {-1, -1}, {-1, -1}, {0, 0}, {0, 0}}));
    EXPECT_EQ(table.count(), 2u);
}

// The entries kept by the expansion stand in for a second enumeration: the listing pass gives
// the same rows, in the same order, with the same runs, links and odd entries included.
TEST(ListingPassWithKeptEntries, GivesWhatAFreshEnumerationGives) {
    TempTree tree;
    tree.makeDir("w");
    tree.makeDir("w/sub");
    tree.makeDir("w/sub/deeper");
    tree.makeDir("w/empty");
    tree.makeDir("elsewhere");
    tree.makeFile("elsewhere/outside.txt", 7, 1000);
    for (const char* file : {"w/a.txt", "w/.hidden", "w/sub/b.bin", "w/sub/deeper/c"})
        tree.makeFile(file, 3, 2000);
    tree.makeLink("w/dangling", "nowhere");
    tree.makeLink("w/linked", "../elsewhere");
    tree.makeLink("w/sub/file-link", "../a.txt");
    const std::string w = tree.path("w/");
    const FolderEntry entry = Entry(w, "0");

    const auto scan = [&](DirectoryEntries* kept, DirIndex& index, FileTable& table) {
        index.append(DirRow{w, -1, -1, false});
        ExpandFolder(w, index, entry, kept);
        EXPECT_TRUE(RunListingPass(index, table, {}, {}, kept));
    };
    DirIndex freshIndex, keptIndex;
    FileTable freshTable, keptTable;
    scan(nullptr, freshIndex, freshTable);
    DirectoryEntries kept;
    scan(&kept, keptIndex, keptTable);

    ASSERT_EQ(keptIndex.count(), freshIndex.count());
    EXPECT_EQ(keptIndex.count(), 5u); // w, sub, deeper, empty, linked
    for (std::size_t i = 0; i < freshIndex.count(); ++i) {
        EXPECT_EQ(keptIndex[i].dir, freshIndex[i].dir);
        EXPECT_EQ(keptIndex[i].start, freshIndex[i].start) << freshIndex[i].dir;
        EXPECT_EQ(keptIndex[i].item, freshIndex[i].item) << freshIndex[i].dir;
    }
    ASSERT_EQ(keptTable.count(), freshTable.count());
    EXPECT_EQ(keptTable.count(), 7u);
    for (std::size_t i = 0; i < freshTable.count(); ++i) {
        EXPECT_EQ(keptTable.name(i), freshTable.name(i));
        EXPECT_EQ(keptTable.size(i), freshTable.size(i));
        EXPECT_EQ(keptTable.dateKey(i), freshTable.dateKey(i));
    }
}

} // namespace
} // namespace trellisk
