#include "engine/platform/file_system.h"

#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace trellisk::platform {
namespace {

using test::TempTree;

TEST(FileSystem, ExistenceTestsTellFilesFromDirectories) {
    TempTree tree;
    tree.makeFile("file");
    tree.makeDir("dir");
    tree.makeLink("linkdir", "dir");
    tree.makeLink("dangling", "nothing");
    const struct {
        const char* name;
        bool file, directory;
    } cases[] = {
        {"file", true, false},         {"dir", false, true},       {"dir/", false, true},
        {"linkdir", false, true},      {"dangling", false, false}, {"missing", false, false},
        {"file/inside", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FileExists(tree.path(c.name)), c.file) << c.name;
        EXPECT_EQ(DirectoryExists(tree.path(c.name)), c.directory) << c.name;
    }
}

TEST(CanOpenFile, FailsWhileTheFileIsOpenForWriting) {
    TempTree tree;
    tree.makeFile("data", 100);
    const std::string path = tree.path("data");
    EXPECT_TRUE(CanOpenFile(path));
    const int writer = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    ASSERT_GE(writer, 0);
    EXPECT_FALSE(CanOpenFile(path));
    const int reader = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(CanOpenFile(path));
    ::close(writer);
    EXPECT_TRUE(CanOpenFile(path)) << "readers do not block";
    ::close(reader);
    EXPECT_TRUE(CanOpenFile(path)) << "the lease was given back";
}

TEST(CanOpenFile, FailsForWhatCannotBeOpenedAsAFile) {
    TempTree tree;
    tree.makeDir("dir");
    EXPECT_FALSE(CanOpenFile(tree.path("missing")));
    EXPECT_FALSE(CanOpenFile(tree.path("dir")));
}

TEST(CanOpenFile, FollowsReadAccessWhereNoLeaseCanBeTaken) {
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
}

TEST(FreeSpace, IsPositiveForAMountedFolderAndMinusOneForAMissingOne) {
    EXPECT_GT(FreeSpace("/tmp"), 0);
    TempTree tree;
    EXPECT_EQ(FreeSpace(tree.path("missing")), -1);
}

TEST(MountPointOf, FindsTheMountOfThePathOrOfItsNearestExistingParent) {
    EXPECT_EQ(MountPointOf("/"), "/");
    EXPECT_EQ(MountPointOf("/proc/self"), "/proc");
    EXPECT_EQ(MountPointOf("/proc/self/"), "/proc");
    EXPECT_EQ(MountPointOf("/proc"), "/proc");
    TempTree tree;
    const std::string mount = MountPointOf(tree.root());
    EXPECT_EQ(MountPointOf(tree.path("missing/deeper/")), mount);
    EXPECT_EQ(MountPointOf("/tmp/surely missing/x"), MountPointOf("/tmp"));
}

TEST(ExecutableDirectory, HoldsTheRunningProgram) {
    const std::string dir = ExecutableDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.front(), '/');
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(FileExists(dir + "snapshot_tests"));
}

} // namespace
} // namespace trellisk::platform
