// Folder entries as a hand-edited settings file may hold them.
#include "tests/engine/monitor/monitor_fixture.h"

namespace trellisk::test {
namespace {

TEST_F(MonitorTest, FolderWithoutTrailingSeparatorIsWatchedWithIt) {
    std::string folder = tree.root();
    folder.pop_back();
    watch(folder);
    start();
    tree.makeFile("new.txt", 10, kFileTime);
    tree.makeFile("grown.txt", 0, kFileTime);
    cycle();
    tree.makeFile("grown.txt", 20, kFileTime + 10);
    cycle();

    // The rows stay after the end of the cycle, where the files are looked up again.
    ASSERT_EQ(log.newFiles.count(), 2u);
    EXPECT_EQ(log.newFiles[0].folder, tree.root());
    ASSERT_EQ(log.updatedFiles.count(), 1u);
    EXPECT_EQ(log.updatedFiles[0].folder, tree.root());
    for (const LogRow& row : log.entries)
        EXPECT_EQ(row.folder, tree.root()) << row.file;
    EXPECT_EQ(settings.folders[0].path, folder) << "the stored text stays as written";
}

} // namespace
} // namespace trellisk::test
