#include "engine/settings/folder_import.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace trellisk {
namespace {

class FolderCandidatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "trellisk-import-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directory(root / "watched");
        std::ofstream(root / "note.txt") << "text";
    }
    void TearDown() override { fs::remove_all(root); }

    fs::path root;
};

TEST_F(FolderCandidatesTest, KeepsExistingDirectoriesAsShownInOrder) {
    const std::string watched = (root / "watched").string();
    struct Case {
        std::string title;
        bool kept;
    };
    const std::vector<Case> cases = {
        {watched, true},                        // no trailing separator: kept as shown
        {(root / "missing").string(), false},   // no such path
        {watched + "/", true},                  // trailing separator kept as shown
        {(root / "note.txt").string(), false},  // a regular file is no folder
        {"", false},                            // not the root, though "" + "/" would be
        {"/", true},                            // the file system root
        {(root / "note.txt/").string(), false}, // a file followed by a separator
        {root.string(), true},
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
    fs::current_path(root);
    const auto candidates = FolderCandidates({"watched", "missing", "note.txt", "."});
    fs::current_path(previous);
    EXPECT_EQ(candidates, (std::vector<std::string>{"watched", "."}));
}

TEST(FolderCandidates, NoTitlesGiveNoCandidates) {
    EXPECT_TRUE(FolderCandidates({}).empty());
}

} // namespace
} // namespace trellisk
