// What a monitoring cycle finds in one directory: updated, new, renamed and deleted files.
#include "tests/engine/monitor/monitor_fixture.h"

#include "engine/snapshot/folder_scan.h"

#include <fstream>

namespace trellisk::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

class ClassifyChangesTest : public MonitorTest {
protected:
    ClassifyChangesTest() { watch(tree.root()); }
    std::string dir() const { return tree.root(); }
};

TEST_F(ClassifyChangesTest, UnchangedDirectoryReportsNothing) {
    tree.makeFile("a.txt", 10, kFileTime);
    tree.makeFile("b.txt", 20, kFileTime);
    start();
    cycle();
    EXPECT_TRUE(log.entries.empty());
    EXPECT_EQ(log.status().updatedCount + log.status().newCount + log.status().deletedCount +
                  log.status().renamedCount,
              0);
}

TEST_F(ClassifyChangesTest, FileGrowingOverTwoCyclesIsOneUpdatedRowRefreshedWithRate) {
    tree.makeFile("a.txt", 1000, kFileTime);
    start();

    tree.makeFile("a.txt", 1000 + 1048576, kFileTime + 10);
    cycle();
    ASSERT_EQ(log.updatedFiles.count(), 1u);
    const UpdateRow& first = log.updatedFiles[0];
    EXPECT_EQ(first.file, "a.txt");
    EXPECT_EQ(CellText(first, UpdatedColumn::Size), "    1049576");
    EXPECT_EQ(CellText(first, UpdatedColumn::Date), "2023/11/15 07:13:30");
    EXPECT_EQ(first.folder, dir());
    EXPECT_EQ(CellText(first, UpdatedColumn::Rate), "");
    EXPECT_EQ(first.sizeMarker, Marker::Changed);
    EXPECT_EQ(first.dateMarker, Marker::Changed);
    EXPECT_EQ(first.rowMarker, Marker::Complete) << "closed file gets the complete marker";
    EXPECT_EQ(logRows(),
              (Rows{{"a.txt", "更新", "    1049576", "", "2023/11/15 07:13:30", now(), dir()}}));
    EXPECT_EQ(log.status().updatedCount, 1);

    tree.makeFile("a.txt", 1000 + 2 * 1048576, kFileTime + 20);
    cycle();
    ASSERT_EQ(log.updatedFiles.count(), 1u);
    const UpdateRow& later = log.updatedFiles[0];
    EXPECT_EQ(CellText(later, UpdatedColumn::Size), "    2098152");
    EXPECT_EQ(CellText(later, UpdatedColumn::Rate), "2.67");
    EXPECT_EQ(later.rowMarker, Marker::Complete) << "closed again at the end of the cycle";
    ASSERT_EQ(log.entries.count(), 2u);
    EXPECT_EQ(Fields(log.entries[1]),
              (std::vector<std::string>{"a.txt", "更新", "    2098152", "    1048576",
                                        "2023/11/15 07:13:40", now(), dir()}));
    EXPECT_EQ(log.status().updatedCount, 1);
}

TEST_F(ClassifyChangesTest, DateOnlyChangeMarksTheDateCellAndLaterGivesZeroRate) {
    tree.makeFile("a.txt", 500, kFileTime);
    start();
    tree.makeFile("a.txt", 500, kFileTime + 4);
    cycle();
    ASSERT_EQ(log.updatedFiles.count(), 1u);
    EXPECT_EQ(log.updatedFiles[0].sizeMarker, Marker::None);
    EXPECT_EQ(log.updatedFiles[0].dateMarker, Marker::Changed);

    tree.makeFile("a.txt", 500, kFileTime + 8);
    cycle();
    EXPECT_EQ(CellText(log.updatedFiles[0], UpdatedColumn::Rate), "0.00");
    EXPECT_EQ(log.updatedFiles[0].sizeMarker, Marker::None) << "reset at the start of the cycle";
    EXPECT_EQ(CellText(log.entries[1], LogColumn::SizeChange), "          0");
}

TEST_F(ClassifyChangesTest, ShrinkingFileGivesNegativeChangeAndRate) {
    tree.makeFile("a.txt", 1000, kFileTime);
    start();
    tree.makeFile("a.txt", 900, kFileTime);
    cycle();
    tree.makeFile("a.txt", 800, kFileTime);
    cycle();
    EXPECT_EQ(CellText(log.entries[1], LogColumn::SizeChange), "       -100");
    EXPECT_EQ(CellText(log.updatedFiles[0], UpdatedColumn::Rate), "-0.00");
}

TEST_F(ClassifyChangesTest, ChangeOfLocalTimeBetweenSnapshotsReportsNothing) {
    tree.makeFile("a.txt", 10, kFileTime);
    start();
    // Every local date text moves by the zone's offset, as at a daylight-saving change.
    const ScopedTimeZone newYork("America/New_York");
    if (!newYork.active())
        GTEST_SKIP() << kZoneFixedAtStart;
    cycle();
    EXPECT_TRUE(log.entries.empty());
    EXPECT_TRUE(log.updatedFiles.empty());
}

struct RenameCase {
    const char* name;
    const char* from;
    const char* to;
    bool deleteAndCreate;
};

class RenameTest : public ClassifyChangesTest, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(RenameTest, VanishedFileWithSameSizeAndDateAsANewOneIsRenamed) {
    const RenameCase c = GetParam();
    tree.makeFile(c.from, 1234, kFileTime);
    start();
    if (c.deleteAndCreate) {
        tree.remove(c.from);
        tree.makeFile(c.to, 1234, kFileTime);
    } else {
        if (!rename(c.from, c.to))
            GTEST_SKIP() << kNoCaseOnlyRename;
    }
    cycle();
    ASSERT_EQ(log.renamedFiles.count(), 1u);
    EXPECT_EQ(log.renamedFiles[0].newName, c.to);
    EXPECT_EQ(log.renamedFiles[0].oldName, c.from);
    EXPECT_EQ(log.renamedFiles[0].folder, dir());
    EXPECT_EQ(logRows(), (Rows{{c.to, "変名", "       1234", std::string("(旧)") + c.from,
                                "2023/11/15 07:13:20", now(), dir()}}));
    EXPECT_EQ(log.status().renamedCount, 1);
    EXPECT_TRUE(log.newFiles.empty());
    EXPECT_TRUE(log.deletedFiles.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, RenameTest,
                         ::testing::Values(RenameCase{"Rename", "a.txt", "b.txt", false},
                                           RenameCase{"CaseOnly", "Readme.txt", "README.txt",
                                                      false},
                                           RenameCase{"DeleteAndCreate", "x.dat", "y.dat", true}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(ClassifyChangesTest, CopyKeepingSizeAndDateIsNewWhileTheSourceStays) {
    tree.makeFile("a.txt", 77, kFileTime);
    start();
    tree.makeFile("copy.txt", 77, kFileTime);
    cycle();
    ASSERT_EQ(log.newFiles.count(), 1u);
    EXPECT_EQ(log.newFiles[0].file, "copy.txt");
    EXPECT_EQ(CellText(log.newFiles[0], NewColumn::Size), "         77");
    EXPECT_EQ(logRows(),
              (Rows{{"copy.txt", "新規", "         77", "", "2023/11/15 07:13:20", now(), dir()}}));
    EXPECT_TRUE(log.renamedFiles.empty());
    EXPECT_EQ(log.status().newCount, 1);
}

TEST_F(ClassifyChangesTest, TwoCandidatesForOneVanishedFileFirstInListingOrderIsTheRename) {
    tree.makeFile("old.txt", 100, kFileTime);
    start();
    tree.remove("old.txt");
    tree.makeFile("n1.txt", 100, kFileTime);
    tree.makeFile("n2.txt", 100, kFileTime);
    FolderScanner scanner;
    DirIndex dirs;
    FileTable listing;
    scanner.beginSnapshot(nullptr, nullptr);
    ASSERT_TRUE(scanner.scanFolder({dir(), false, 0}, dirs, listing, [] { return true; }));
    ASSERT_EQ(listing.count(), 2u);
    cycle();
    ASSERT_EQ(log.renamedFiles.count(), 1u);
    EXPECT_EQ(log.renamedFiles[0].newName, listing.name(0));
    ASSERT_EQ(log.newFiles.count(), 1u);
    EXPECT_EQ(log.newFiles[0].file, listing.name(1));
}

TEST_F(ClassifyChangesTest, OutputComesUpdatedThenNewAndRenamedThenDeleted) {
    tree.makeFile("gone.txt", 1, kFileTime);
    tree.makeFile("grows.txt", 2, kFileTime);
    tree.makeFile("moved.txt", 3, kFileTime);
    start();
    tree.remove("gone.txt");
    tree.makeFile("grows.txt", 20, kFileTime);
    ASSERT_TRUE(rename("moved.txt", "there.txt"));
    tree.makeFile("fresh.txt", 4, kFileTime);
    cycle();
    std::vector<FindingKind> kinds;
    for (const LogRow& row : log.entries)
        kinds.push_back(row.kind);
    ASSERT_EQ(kinds.size(), 4u);
    EXPECT_EQ(kinds[0], FindingKind::Updated);
    EXPECT_EQ(kinds[3], FindingKind::Deleted) << "new and renamed come in the scan's order";
    EXPECT_EQ(Fields(log.entries[3]),
              (std::vector<std::string>{"gone.txt", "削除", "", "", "", now(), dir()}));
    EXPECT_EQ(log.deletedFiles[0].file, "gone.txt");
    EXPECT_EQ(log.status().updatedCount, 1);
    EXPECT_EQ(log.status().newCount, 1);
    EXPECT_EQ(log.status().renamedCount, 1);
    EXPECT_EQ(log.status().deletedCount, 1);
}

TEST_F(ClassifyChangesTest, FileOpenForWritingGetsTheCompleteMarkerOnlyOnceClosed) {
    start();
    std::ofstream writer(FsPath(tree.path("busy.bin")), std::ios::binary);
    ASSERT_TRUE(writer.is_open());
    cycle();
    ASSERT_EQ(log.newFiles.count(), 1u);
    EXPECT_EQ(log.newFiles[0].rowMarker, Marker::None);
    writer.close();
    cycle();
    EXPECT_EQ(log.newFiles[0].rowMarker, Marker::Complete);
}

TEST_F(ClassifyChangesTest, RowsOfVanishedFilesLeaveTheResultTablesButNotTheLog) {
    tree.makeFile("a.txt", 1, kFileTime);
    start();
    tree.makeFile("a.txt", 2, kFileTime);
    tree.makeFile("new.txt", 1, kFileTime + 2);
    cycle();
    ASSERT_EQ(log.updatedFiles.count(), 1u);
    ASSERT_EQ(log.newFiles.count(), 1u);
    tree.remove("a.txt");
    tree.remove("new.txt");
    cycle();
    EXPECT_TRUE(log.updatedFiles.empty());
    EXPECT_TRUE(log.newFiles.empty());
    EXPECT_EQ(log.entries.count(), 4u) << "two findings, then two deletions";
}

} // namespace
} // namespace trellisk::test
