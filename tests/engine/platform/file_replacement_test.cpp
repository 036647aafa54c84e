#include "engine/platform/file_replacement.h"

#include "tests/support/system_errors.h"
#include "tests/support/temp_tree.h"
#ifndef _WIN32
#include "tests/support/small_file_system.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace trellisk::platform {
namespace {

namespace fs = std::filesystem;
using test::FsPath;
using test::TempTree;

std::string Read(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(FsPath(path), std::ios::binary) << bytes;
}

std::set<std::string> Names(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(FsPath(dir)))
        names.insert(test::Utf8(entry.path().filename()));
    return names;
}

TEST(FileReplacement, ReplacesThroughAChainOfLinks) {
    if (!TempTree::CanMakeLinks())
        GTEST_SKIP() << test::kNoLinks;
    TempTree tree;
    tree.makeDir("real");
    Write(tree.path("real/file"), "old");
    tree.makeLink("inner", "real/file");
    tree.makeLink("outer", tree.path("inner"));

    ASSERT_EQ(ReplaceFile(tree.path("outer"), "new"), std::nullopt);
    EXPECT_EQ(Read(tree.path("real/file")), "new");
    EXPECT_TRUE(fs::is_symlink(FsPath(tree.path("outer"))));
    EXPECT_TRUE(fs::is_symlink(FsPath(tree.path("inner"))));
    EXPECT_EQ(Names(tree.path("real")), std::set<std::string>{"file"});
}

TEST(FileReplacement, DanglingLinkGetsItsFileCreated) {
    if (!TempTree::CanMakeLinks())
        GTEST_SKIP() << test::kNoLinks;
    TempTree tree;
    tree.makeLink("link", "created");
    ASSERT_EQ(ReplaceFile(tree.path("link"), "text"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(FsPath(tree.path("link"))));
    EXPECT_EQ(Read(tree.path("created")), "text");
}

TEST(FileReplacement, NeverReplacesADirectory) {
    TempTree tree;
    tree.makeDir("dir");
    EXPECT_EQ(ReplaceFile(tree.path("dir"), "x"), test::IsAFolderText());
    EXPECT_EQ(Names(tree.root()), (std::set<std::string>{"dir"}));
}

TEST(FileReplacement, NeverReplacesADevice) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows devices are not entries of a folder";
#else
    TempTree tree;
    tree.makeLink("device", "/dev/null");
    EXPECT_EQ(ReplaceFile(tree.path("device"), "x"), "通常のファイルではありません");
    EXPECT_TRUE(fs::is_character_file("/dev/null"));
    EXPECT_EQ(Names(tree.root()), (std::set<std::string>{"device"}));
#endif
}

TEST(FileReplacement, FullDiskKeepsTheOldFileAndLeavesNoTemporaryFile) {
#ifdef _WIN32
    GTEST_SKIP() << test::kNoSmallFileSystem;
#else
    test::SmallFileSystem disk(16 * 1024);
    const std::string path = disk.path("file");
    Write(path, "old");
    const std::optional<std::string> error = ReplaceFile(path, std::string(64 * 1024, 'x'));
    EXPECT_NE(error, std::nullopt);
    EXPECT_EQ(Read(path), "old");
    EXPECT_EQ(Names(disk.root()), std::set<std::string>{"file"});
#endif
}

TEST(FileReplacement, UncommittedReplacementChangesNothing) {
    TempTree tree;
    Write(tree.path("file"), "old");
    {
        FileReplacement replacement(tree.path("file"));
        replacement.write("new");
        ASSERT_EQ(replacement.finishWriting(), std::nullopt);
    }
    EXPECT_EQ(Read(tree.path("file")), "old");
    EXPECT_EQ(Names(tree.root()), std::set<std::string>{"file"});
}

TEST(KeepCopy, CopiesTheFileAsItIsNowAndReplacesAnOlderCopy) {
    TempTree tree;
    Write(tree.path("file"), "first");
    ASSERT_EQ(KeepCopy(tree.path("file"), tree.path("file.bak")), std::nullopt);
    Write(tree.path("file"), "second");
    ASSERT_EQ(ReplaceFile(tree.path("file"), "third"), std::nullopt);
    EXPECT_EQ(Read(tree.path("file.bak")), "second") << "a link to the old file, not a copy";
    ASSERT_EQ(KeepCopy(tree.path("file"), tree.path("file.bak")), std::nullopt);
    EXPECT_EQ(Read(tree.path("file.bak")), "third");
    EXPECT_EQ(Names(tree.root()), (std::set<std::string>{"file", "file.bak"}));

    // A file that is gone has nothing to keep; the older copy stays.
    EXPECT_EQ(KeepCopy(tree.path("gone"), tree.path("file.bak")), std::nullopt);
    EXPECT_EQ(Read(tree.path("file.bak")), "third");
}

} // namespace
} // namespace trellisk::platform
