#include "engine/platform/file_system.h"

#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trellisk::platform {
namespace {

using test::TempTree;

struct ExistenceCase {
    const char* name;
    bool file, directory;
};

void ExpectExistence(const TempTree& tree, const std::vector<ExistenceCase>& cases) {
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(tree.path(c.name)), c.file) << c.name;
        EXPECT_EQ(DirectoryExists(tree.path(c.name)), c.directory) << c.name;
    }
}

TEST(FileSystem, ExistenceTestsTellFilesFromDirectories) {
    TempTree tree;
    tree.makeFile("file");
    tree.makeDir("dir");
    ExpectExistence(tree, {{"file", true, false},
                           {"dir", false, true},
                           {"dir/", false, true},
                           {"missing", false, false},
                           {"file/inside", false, false}});
}

TEST(FileSystem, ExistenceTestsFollowLinks) {
    if (!TempTree::CanMakeLinks())
        GTEST_SKIP() << test::kNoLinks;
    TempTree tree;
    tree.makeDir("dir");
    tree.makeLink("linkdir", "dir");
    tree.makeLink("dangling", "nothing");
    ExpectExistence(tree, {{"linkdir", false, true}, {"dangling", false, false}});
}

TEST(CanOpenFile, FailsWhileTheFileIsOpenForWriting) {
    TempTree tree;
    tree.makeFile("data", 100);
    const std::string path = tree.path("data");
    EXPECT_TRUE(CanOpenFile(path));
    std::ofstream writer(test::FsPath(path), std::ios::binary | std::ios::app);
    ASSERT_TRUE(writer.is_open());
    EXPECT_FALSE(CanOpenFile(path));
    std::ifstream reader(test::FsPath(path), std::ios::binary);
    ASSERT_TRUE(reader.is_open());
    EXPECT_FALSE(CanOpenFile(path));
    writer.close();
    EXPECT_TRUE(CanOpenFile(path)) << "readers do not block";
    reader.close();
    EXPECT_TRUE(CanOpenFile(path)) << "the lease was given back";
}

TEST(CanOpenFile, FailsForWhatCannotBeOpenedAsAFile) {
    TempTree tree;
    tree.makeDir("dir");
    EXPECT_FALSE(CanOpenFile(tree.path("missing")));
    EXPECT_FALSE(CanOpenFile(tree.path("dir")));
}

TEST(CanOpenFile, FollowsReadAccessWhereNoLeaseCanBeTaken) {
#ifdef _WIN32
    GTEST_SKIP() << "leases and file owners are POSIX; Windows decides by the share mode alone";
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may take a lease on any file and read any file";
    // Another user's readable file: only its owner may take a lease, so the open decides.
    struct stat info {};
    ASSERT_EQ(::stat("/etc/passwd", &info), 0);
    ASSERT_NE(info.st_uid, ::geteuid());
    EXPECT_TRUE(CanOpenFile("/etc/passwd"));
    TempTree tree;
    tree.makeFile("secret", 10);
    ASSERT_EQ(::chmod(tree.path("secret").c_str(), 0), 0);
    EXPECT_FALSE(CanOpenFile(tree.path("secret")));
#endif
}

TEST(FreeSpace, IsPositiveForAMountedFolderAndMinusOneForAMissingOne) {
    TempTree tree;
    EXPECT_GT(FreeSpace(tree.root()), 0);
    EXPECT_EQ(FreeSpace(tree.path("missing")), -1);
}

TEST(MountPointOf, FindsTheMountOfThePathOrOfItsNearestExistingParent) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has drive letters, not mount points: the Windows table covers them";
#else
    EXPECT_EQ(MountPointOf("/"), "/");
    EXPECT_EQ(MountPointOf("/proc/self"), "/proc");
    EXPECT_EQ(MountPointOf("/proc/self/"), "/proc");
    EXPECT_EQ(MountPointOf("/proc"), "/proc");
    TempTree tree;
    const std::string mount = MountPointOf(tree.root());
    EXPECT_EQ(MountPointOf(tree.path("missing/deeper/")), mount);
    EXPECT_EQ(MountPointOf("/tmp/surely missing/x"), MountPointOf("/tmp"));
#endif
}

TEST(ExecutableDirectory, HoldsTheRunningProgram) {
    const std::string dir = ExecutableDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(test::FsPath(dir).is_absolute()) << dir;
    EXPECT_EQ(dir.back(), kPathSeparator);
    EXPECT_TRUE(FileExists(dir + TRELLISK_TEST_EXECUTABLE));
}

} // namespace
} // namespace trellisk::platform
