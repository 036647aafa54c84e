#include "engine/settings/folder_list.h"

#include "tests/support/test_paths.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace trellisk {
namespace {

TEST(NewFolderEntry, EndsWithOneSeparatorAndWatchesNoSubfolders) {
    struct Case {
        std::string chosen;
        std::string path;
    };
    for (const Case& c : std::vector<Case>{
             {"/home/u/docs", "/home/u/docs/"}, {"/home/u/docs/", "/home/u/docs/"}, {"/", "/"}}) {
        const FolderEntry entry = NewFolderEntry(test::AbsolutePath(c.chosen));
        EXPECT_EQ(entry.path, test::AbsolutePath(c.path)) << c.chosen;
        EXPECT_FALSE(entry.subfolders);
        EXPECT_EQ(entry.depthLimit, 0);
    }
}

class EditedFolderRowTest : public ::testing::Test {
protected:
    void SetUp() override { fill(); }

    void fill() {
        table.clear();
        for (const char* path : {"/a/", "/b/", "/c/", "/d/"})
            table.append({path, false, 0});
    }

    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const FolderEntry& entry : table)
            paths.push_back(entry.path);
        return paths;
    }

    ObservableTable<FolderEntry> table;
};

TEST_F(EditedFolderRowTest, ApplyWritesFlagAndDepthIntoTheOpenedRow) {
    EditedFolderRow edited(table);
    edited.open(2);
    ASSERT_TRUE(edited.apply(true, 1));
    EXPECT_EQ(table[2].path, "/c/");
    EXPECT_TRUE(table[2].subfolders);
    EXPECT_EQ(table[2].depthLimit, 1);
    // "しない" still takes the depth that is shown.
    ASSERT_TRUE(edited.apply(false, 7));
    EXPECT_FALSE(table[2].subfolders);
    EXPECT_EQ(table[2].depthLimit, 7);
    EXPECT_FALSE(table[1].subfolders);
    EXPECT_EQ(table[1].depthLimit, 0);
}

TEST_F(EditedFolderRowTest, NothingOpenedChangesNothing) {
    EditedFolderRow edited(table);
    EXPECT_FALSE(edited.row());
    EXPECT_FALSE(edited.apply(true, 3));
    for (const FolderEntry& entry : table)
        EXPECT_EQ(entry.depthLimit, 0);
}

// The opened folder is "/c/" (row 2); the table changes while the details are open.
TEST_F(EditedFolderRowTest, FollowsItsFolderThroughChangesOfTheTable) {
    struct Case {
        const char* name;
        void (*change)(ObservableTable<FolderEntry>&);
        std::optional<std::size_t> row; // of "/c/", or none when it is gone
    };
    const std::vector<Case> cases = {
        {"row before removed", [](auto& t) { t.remove(0); }, 1},
        {"row itself removed", [](auto& t) { t.remove(2); }, std::nullopt},
        {"row after removed", [](auto& t) { t.remove(3); }, 2},
        {"row appended",
         [](auto& t) {
             t.append({"/e/", false, 0});
         },
         2},
        {"row inserted before",
         [](auto& t) {
             t.insert(0, {"/e/", false, 0});
         },
         3},
        {"run around it removed",
         [](auto& t) { t.removeIf([](const FolderEntry& e) { return e.path != "/c/"; }); }, 0},
        {"table reloaded", [](auto& t) { t.clear(); }, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fill();
        EditedFolderRow edited(table);
        edited.open(2);
        c.change(table);
        EXPECT_EQ(edited.row(), c.row);
        const std::vector<std::string> before = Paths();
        EXPECT_EQ(edited.apply(true, 5), c.row.has_value());
        for (std::size_t i = 0; i < table.count(); ++i) {
            const bool edits = c.row && i == *c.row;
            EXPECT_EQ(table[i].depthLimit, edits ? 5 : 0) << table[i].path;
            if (edits) {
                EXPECT_EQ(table[i].path, "/c/");
            }
        }
        EXPECT_EQ(Paths(), before);
    }
}

} // namespace
} // namespace trellisk
