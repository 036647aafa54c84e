// Findings and file checks applied to the log's tables, as the front end's thread does while
// the user may clear the tables at any moment.
#include "engine/log/log_export.h"
#include "engine/log/log_recorder.h"
#include "engine/log/log_texts.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace trellisk {
namespace {

Finding Updated(const std::string& name, std::uint64_t size, std::uint64_t baseSize,
                std::int64_t date = 1000, std::int64_t baseDate = 1000) {
    Finding finding;
    finding.kind = FindingKind::Updated;
    finding.watchedFolder = "/w/";
    finding.directory = "/w/";
    finding.name = name;
    finding.size = size;
    finding.baseSize = baseSize;
    finding.dateKey = date;
    finding.baseDateKey = baseDate;
    return finding;
}

Finding Added(const std::string& name) {
    Finding finding;
    finding.kind = FindingKind::New;
    finding.directory = "/w/";
    finding.name = name;
    return finding;
}

class LogRecorderTest : public ::testing::Test {
protected:
    LogRecorderTest() { std::setlocale(LC_COLLATE, "C"); }
    void found(std::vector<Finding> findings) { recorder.found(findings); }

    Settings settings;
    LogData log;
    LogRecorder recorder{log, settings};
};

// A file found again refreshes its row (size, date, rate at the interval shown now) and its
// log row carries the size change; after a clear it is found for the first time again.
TEST_F(LogRecorderTest, FirstAndLaterFindingsOfAnUpdatedFile) {
    found({Updated("a", 1000 + 1048576, 1000, 1002, 1000)});
    ASSERT_EQ(log.updatedFiles.count(), 1u);
    EXPECT_FALSE(log.updatedFiles[0].rate.has_value());
    EXPECT_EQ(log.updatedFiles[0].rowMarker, Marker::Changed);
    EXPECT_EQ(log.updatedFiles[0].sizeMarker, Marker::Changed);
    EXPECT_EQ(log.updatedFiles[0].dateMarker, Marker::Changed);
    EXPECT_FALSE(log.entries[0].sizeChange.has_value());

    recorder.cycleStarted(2000, 1000);
    EXPECT_EQ(log.updatedFiles[0].rowMarker, Marker::None) << "the changed markers go";
    settings.interval = 3;
    found({Updated("a", 1000 + 2 * 1048576, 1000 + 1048576, 1002, 1002)});
    ASSERT_EQ(log.updatedFiles.count(), 1u);
    EXPECT_EQ(CellText(log.updatedFiles[0], UpdatedColumn::Rate), "2.67");
    EXPECT_EQ(log.updatedFiles[0].sizeMarker, Marker::Changed);
    EXPECT_EQ(log.updatedFiles[0].dateMarker, Marker::None);
    EXPECT_EQ(log.entries[1].sizeChange, 1048576);
    EXPECT_EQ(log.status().updatedCount, 1);

    ClearLog(log);
    found({Updated("a", 5, 4)});
    ASSERT_EQ(log.updatedFiles.count(), 1u);
    EXPECT_FALSE(log.updatedFiles[0].rate.has_value()) << "a first finding again";
    EXPECT_FALSE(log.entries[0].sizeChange.has_value());
}

// The checks come back by file and folder: rows of files that are gone leave the tables,
// rows of files that nobody writes get the complete marker, and rows that a clear took away
// meanwhile are simply not there.
TEST_F(LogRecorderTest, FileChecksApplyByFileAndFolder) {
    found({Added("gone"), Added("done"), Added("busy"), Updated("upd", 2, 1)});
    log.newFiles.change(0, [](NewRow& row) { row.rowMarker = Marker::Complete; });
    const std::vector<FileToCheck> files = recorder.filesToCheck();
    ASSERT_EQ(files.size(), 4u);
    EXPECT_FALSE(files[0].openTest) << "complete already: only whether it is there";
    EXPECT_TRUE(files[1].openTest);
    EXPECT_EQ(files[3].name, "upd");

    ClearLog(log);
    found({Added("done"), Added("busy"), Added("later")});
    const std::vector<FileCheck> checks = {{"/w/", "gone", false, false},
                                           {"/w/", "done", true, true},
                                           {"/w/", "busy", true, false},
                                           {"/w/", "upd", false, false}};
    recorder.filesChecked(checks);
    ASSERT_EQ(log.newFiles.count(), 3u);
    EXPECT_EQ(log.newFiles[0].file, "done");
    EXPECT_EQ(log.newFiles[0].rowMarker, Marker::Complete);
    EXPECT_EQ(log.newFiles[1].rowMarker, Marker::None);
    EXPECT_EQ(log.newFiles[2].file, "later") << "not checked: kept as it is";
    EXPECT_TRUE(log.updatedFiles.empty());
}

TEST_F(LogRecorderTest, StatusOfACycle) {
    recorder.cycleStarted(0, 0);
    EXPECT_EQ(log.status().phase, "前処理中");
    found({Added("a"), Added("b"), Updated("c", 2, 1)});
    EXPECT_EQ(log.status().newCount, 2);
    EXPECT_EQ(log.status().updatedCount, 1);
    recorder.progressed({JobPhase::Comparing, "/w/", 40});
    EXPECT_EQ(log.status().phase, "ファイル比較中 /w/");
    EXPECT_EQ(log.status().progress, 40);
    recorder.progressed({JobPhase::Finishing, {}, std::nullopt});
    EXPECT_EQ(log.status().progress, 40) << "the gauge stays";
    recorder.cycleFinished({true, std::chrono::seconds(7)});
    EXPECT_EQ(log.status().phase, "");
    EXPECT_EQ(log.status().recentDurations, " 7");
    EXPECT_EQ(log.status().lineCount, "ログ行数 3");
    recorder.cycleFinished({false, std::chrono::seconds(4)});
    EXPECT_EQ(log.status().recentDurations, " 7") << "a cycle dropped by a stop";
    recorder.cycleStarted(0, 0);
    EXPECT_EQ(log.status().newCount, 0);
}

} // namespace
} // namespace trellisk
