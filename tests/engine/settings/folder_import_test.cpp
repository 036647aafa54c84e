#include "engine/settings/folder_import.h"

#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace trellisk {
namespace {

class FolderCandidatesTest : public ::testing::Test {
protected:
    FolderCandidatesTest() {
        tree.makeDir("watched");
        tree.makeFile("note.txt", 4);
        root = tree.path("");
        root.pop_back();
    }

    test::TempTree tree;
    std::string root; // without its trailing separator
};

TEST_F(FolderCandidatesTest, KeepsExistingDirectoriesAsShownInOrder) {
    const std::string watched = tree.path("watched");
    struct Case {
        std::string title;
        bool kept;
    };
    const std::vector<Case> cases = {
        {watched, true},                 // no trailing separator: kept as shown
        {tree.path("missing"), false},   // no such path
        {tree.path("watched/"), true},   // trailing separator kept as shown
        {tree.path("note.txt"), false},  // a regular file is no folder
        {"", false},                     // not the root, though "" + "/" would be
        {test::kFileSystemRoot, true},   // the file system root
        {tree.path("note.txt/"), false}, // a file followed by a separator
        {root, true},
        {watched, true}, // two windows on one folder: two entries
    };
    std::vector<std::string> titles;
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        titles.push_back(c.title);
        if (c.kept)
            expected.push_back(c.title);
    }
    EXPECT_EQ(FolderCandidates(titles), expected);
}

TEST_F(FolderCandidatesTest, RelativeTitleIsLookedUpFromCurrentDirectory) {
    const fs::path previous = fs::current_path();
    fs::current_path(test::FsPath(root));
    const auto candidates = FolderCandidates({"watched", "missing", "note.txt", "."});
    fs::current_path(previous);
    EXPECT_EQ(candidates, (std::vector<std::string>{"watched", "."}));
}

TEST(FolderCandidates, NoTitlesGiveNoCandidates) {
    EXPECT_TRUE(FolderCandidates({}).empty());
}

} // namespace
} // namespace trellisk
