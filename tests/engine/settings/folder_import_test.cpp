#include "engine/settings/folder_import.h"

#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace trellisk {
namespace {

class FolderImportTest : public ::testing::Test {
protected:
    FolderImportTest() {
        tree.makeDir("watched");
        tree.makeDir("日本語 フォルダ");
        tree.makeDir("a - b");
        tree.makeFile("note.txt", 4);
        root = tree.path("");
        root.pop_back();
    }

    test::TempTree tree;
    std::string root; // without its trailing separator
};

TEST_F(FolderImportTest, TitlesNameFoldersByAbsolutePathAlone) {
    const std::string watched = tree.path("watched");
    const std::string japanese = tree.path("日本語 フォルダ");
    struct Case {
        std::string title;
        std::optional<std::string> folder;
    };
    const std::vector<Case> cases = {
        {watched, watched},                             // the bare path, as shown
        {tree.path("watched/"), tree.path("watched/")}, // with its separator, as shown
        {root, root},
        {test::kFileSystemRoot, test::kFileSystemRoot},
        {watched + " - Thunar", watched},                       // a program's name after " - "
        {japanese + " \xE2\x80\x94 Dolphin", japanese},         // ... or after " — "
        {tree.path("a - b"), tree.path("a - b")},               // the whole title is a folder
        {tree.path("a - b") + " - Thunar", tree.path("a - b")}, // the last separator counts
        {tree.path("a - c"), std::nullopt},                     // "a" is no folder either
        {tree.path("missing") + " - Thunar", std::nullopt},
        {tree.path("note.txt"), std::nullopt}, // a file is no folder
        {tree.path("note.txt") + " - Mousepad", std::nullopt},
        {tree.path("note.txt/"), std::nullopt},
        {watched + " - ", std::nullopt},     // no name after the separator
        {watched + " - b/c", std::nullopt},  // a path after it, not a name
        {watched + "-Thunar", std::nullopt}, // no separator
        {"", std::nullopt},                  // not the root
        {"Documents - Files", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FolderOfTitle(c.title), c.folder) << c.title;
}

// A title that is a folder's name alone must not become a path relative to wherever the
// program happens to run.
TEST_F(FolderImportTest, RelativeTitleIsNeverTaken) {
    const fs::path previous = fs::current_path();
    fs::current_path(test::FsPath(root));
    const auto candidates = FolderCandidates(
        {}, {"watched", "日本語 フォルダ", ".", "watched - Thunar", "./watched", "note.txt"});
    fs::current_path(previous);
    EXPECT_TRUE(candidates.empty()) << candidates.front();
}

TEST_F(FolderImportTest, EachFolderOnceInTitleOrder) {
    const std::string watched = tree.path("watched");
    const std::string japanese = tree.path("日本語 フォルダ");
    const auto candidates =
        FolderCandidates({}, {japanese + " - Thunar", watched + " \xE2\x80\x94 Dolphin",
                              tree.path("missing"), tree.path("日本語 フォルダ/"), watched});
    EXPECT_EQ(candidates, (std::vector<std::string>{japanese, watched}));
    EXPECT_TRUE(FolderCandidates({}, {}).empty());
}

TEST_F(FolderImportTest, WindowLocationsComeFirstInWindowOrderThenTitles) {
#ifdef _WIN32
    GTEST_SKIP() << "file URIs come from the session bus, which only the Linux build reads";
#endif
    const std::string watched = tree.path("watched");
    const std::string japanese = tree.path("日本語 フォルダ");
    const std::string spaced = tree.path("a - b");
    const std::string uriRoot = "file://" + root;
    tree.makeDir("\xFF\xFE");
    const std::vector<FileManagerWindow> windows = {
        {"/org/gnome/Nautilus/window/10", {uriRoot + "/a%20-%20b"}},
        {"/org/gnome/Nautilus/window/2",
         {uriRoot + "/%E6%97%A5%E6%9C%AC%E8%AA%9E%20%E3%83%95%E3%82%A9%E3%83%AB%E3%83%80",
          "trash:///", uriRoot + "/missing", uriRoot + "/note.txt", uriRoot + "/%FF%FE"}},
        {"/org/gnome/Nautilus/window/1", {uriRoot + "/watched/", "file://localhost" + watched}},
    };
    const auto candidates =
        FolderCandidates(windows, {watched, spaced + " - Thunar", japanese + "/", root});
    EXPECT_EQ(candidates, (std::vector<std::string>{watched + "/", japanese, tree.path("\xFF\xFE"),
                                                    spaced, root}));
}

} // namespace
} // namespace trellisk
