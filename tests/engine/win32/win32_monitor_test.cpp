// The monitor's drive list and free-space lines on Windows, over real folders on wine's C:
// drive: a drive letter once each in order of first appearance, its case kept, a letter that
// names no drive with -1, and a network folder that adds neither a drive nor a line.
#include "tests/engine/monitor/monitor_fixture.h"

#include <regex>

namespace trellisk::test {
namespace {

TEST_F(MonitorTest, DriveListHasEachLetterOnceAndNetworkFoldersNone) {
    const std::string drive = tree.root().substr(0, 1);
    ASSERT_EQ(tree.root().substr(1, 2), ":\\") << tree.root();
    ASSERT_TRUE(drive[0] >= 'A' && drive[0] <= 'Z') << tree.root();
    const std::string lowerDrive(1, static_cast<char>(drive[0] - 'A' + 'a'));
    for (const char* dir : {"a", "b", "c"})
        tree.makeDir(dir);
    tree.makeFile("a/file.txt", 10, kFileTime);
    watch(tree.path("a/"));
    watch("\\\\server\\share\\");
    watch(lowerDrive + tree.path("c/").substr(1));
    watch("Q:\\missing\\");
    watch(tree.path("b/"));
    start();
    EXPECT_EQ(monitor.baseFiles().count(), 1u);
    EXPECT_EQ(monitor.drives(), (std::vector<std::string>{drive, lowerDrive, "Q"}));

    cycle();
    const std::vector<std::string>& lines = log.status().freeSpaceLines;
    ASSERT_EQ(lines.size(), 3u);
    const std::regex grouped("[0-9]{1,3}(,[0-9]{3})*");
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string prefix = monitor.drives()[i] + "ドライブ ";
        ASSERT_TRUE(lines[i].starts_with(prefix)) << lines[i];
        EXPECT_TRUE(std::regex_match(lines[i].substr(prefix.size()), grouped)) << lines[i];
    }
    EXPECT_EQ(lines[2], "Qドライブ -1");
}

} // namespace
} // namespace trellisk::test
