#include "engine/log/log_export.h"

#include "tests/support/system_errors.h"
#include "tests/support/temp_tree.h"
#include "tests/support/time_zone.h"
#include "tests/support/tokyo_time_test.h"
#ifndef _WIN32
#include "tests/support/small_file_system.h"
#endif

#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace trellisk {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Names(const std::string& directory) {
    std::set<std::string> result;
    for (const auto& entry : fs::directory_iterator(test::FsPath(directory)))
        result.insert(test::Utf8(entry.path().filename()));
    return result;
}

// A fresh directory under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    [[nodiscard]] std::string operator/(const std::string& name) const { return tree_.path(name); }
    [[nodiscard]] std::set<std::string> names() const { return Names(tree_.root()); }
    void makeDir(const std::string& name) const { tree_.makeDir(name); }

private:
    test::TempTree tree_;
};

std::string ReadBytes(const std::string& path) {
    std::ifstream in(test::FsPath(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string kEmptyInd = "[新規ファイル]\r\n"
                              "新規ファイルはありません\r\n"
                              "[削除ファイル]\r\n"
                              "削除ファイルはありません\r\n"
                              "[更新ファイル]\r\n"
                              "更新ファイルはありません\r\n"
                              "[リネームファイル]\r\n"
                              "リネームファイルはありません\r\n";
const std::string kEmptyLog = "ログファイルはありません\r\n";

// 2006/01/05 09:05:03 in Tokyo, and times of files before it.
constexpr std::time_t kDetected = 1136419503;
constexpr std::int64_t kWritten = 1136419502; // 09:05:02
constexpr std::int64_t kEarlier = 1136419200; // 09:00:00

LogRow Logged(FindingKind kind, std::string file, std::string folder, std::uint64_t size = 0,
              std::int64_t dateKey = 0) {
    LogRow row;
    row.kind = kind;
    row.file = std::move(file);
    row.folder = std::move(folder);
    row.size = size;
    row.dateKey = dateKey;
    row.detected = kDetected;
    return row;
}

// One row in every table; the updated files are added out of order, and one name is not
// valid UTF-8, to show that bytes are written as they are.
void Fill(LogData& log) {
    log.newFiles.append({"caf\xE9.txt", "/data/a/", 1234, Marker::Complete});
    log.deletedFiles.append({"gone.txt", "/data/a/"});
    log.updatedFiles.insertSorted({"b.log", "/data/a/", 5000, kWritten, 12.5L, Marker::Changed,
                                   Marker::Changed, Marker::None});
    log.updatedFiles.insertSorted({"a.txt", "/data/b/", 10, kEarlier, std::nullopt});
    log.renamedFiles.append({"new name.txt", "old.txt", "/data/b/"});
    LogRow grown = Logged(FindingKind::Updated, "b.log", "/data/a/", 5000, kWritten);
    grown.sizeChange = 4000;
    log.entries.append(grown);
    LogRow renamed = Logged(FindingKind::Renamed, "new name.txt", "/data/b/", 10, kEarlier);
    renamed.oldName = "a.txt";
    log.entries.append(renamed);
    log.entries.append(Logged(FindingKind::FolderNew, "/data/c", ""));
}

const std::string kFilledInd = "[新規ファイル]\r\n"
                               "ファイル名\tサイズ\tフォルダ\r\n"
                               "caf\xE9.txt\t       1234\t/data/a/\r\n"
                               "[削除ファイル]\r\n"
                               "ファイル名\r\n"
                               "gone.txt\t/data/a/\r\n"
                               "[更新ファイル]\r\n"
                               "ファイル名\tサイズ\t更新日時\tフォルダ\r\n"
                               "a.txt\t         10\t2006/01/05 09:00:00\t/data/b/\r\n"
                               "b.log\t       5000\t2006/01/05 09:05:02\t/data/a/\r\n"
                               "[リネームファイル]\r\n"
                               "新ファイル名\t旧ファイル名\tフォルダ\r\n"
                               "new name.txt\told.txt\t/data/b/\r\n";
const std::string kFilledLog =
    "ファイル名\t内容\tサイズ\tサイズ増減or旧名\t更新日時\t検出日時\tフォルダ\r\n"
    "b.log\t更新\t       5000\t       4000\t2006/01/05 09:05:02\t2006/01/05 9:05:03\t/data/a/\r\n"
    "new name.txt\t変名\t         10\t(旧)a.txt\t2006/01/05 09:00:00\t2006/01/05 9:05:03\t"
    "/data/b/\r\n"
    "/data/c\t新規\t\t\t\t2006/01/05 9:05:03\t\r\n";

// The dates and times of the rows are written in Tokyo time.
using SaveLogTest = test::TokyoTimeTest;

TEST_F(SaveLogTest, EmptyTablesGiveTheEmptyLines) {
    TempDir dir;
    const LogData log;
    EXPECT_EQ(SaveLog(log, dir / "log"), std::nullopt);
    EXPECT_EQ(ReadBytes(dir / "log-ind.txt"), kEmptyInd);
    EXPECT_EQ(ReadBytes(dir / "log-log.txt"), kEmptyLog);
}

TEST_F(SaveLogTest, WritesEveryTableFieldForField) {
    TempDir dir;
    LogData log;
    Fill(log);
    EXPECT_EQ(SaveLog(log, dir / "log"), std::nullopt);
    EXPECT_EQ(ReadBytes(dir / "log-ind.txt"), kFilledInd);
    EXPECT_EQ(ReadBytes(dir / "log-log.txt"), kFilledLog);
}

TEST_F(SaveLogTest, AppendsSuffixesToTheChosenNameAndOverwrites) {
    TempDir dir;
    LogData log;
    Fill(log);
    ASSERT_EQ(SaveLog(log, dir / "x.txt"), std::nullopt);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"x.txt-ind.txt", "x.txt-log.txt"}));

    // After clearing, the renamed files are still written; the shorter files replace the
    // longer ones whole.
    ClearLog(log);
    ASSERT_EQ(SaveLog(log, dir / "x.txt"), std::nullopt);
    EXPECT_EQ(ReadBytes(dir / "x.txt-ind.txt"), "[新規ファイル]\r\n"
                                                "新規ファイルはありません\r\n"
                                                "[削除ファイル]\r\n"
                                                "削除ファイルはありません\r\n"
                                                "[更新ファイル]\r\n"
                                                "更新ファイルはありません\r\n"
                                                "[リネームファイル]\r\n"
                                                "新ファイル名\t旧ファイル名\tフォルダ\r\n"
                                                "new name.txt\told.txt\t/data/b/\r\n");
    EXPECT_EQ(ReadBytes(dir / "x.txt-log.txt"), kEmptyLog);
}

TEST_F(SaveLogTest, MissingFolderIsReportedAndNothingIsWritten) {
    TempDir dir;
    const LogData log;
    const std::string base = dir / "missing/log";
    EXPECT_EQ(SaveLog(log, base), base + "-ind.txt: " + test::MissingFolderText());
    EXPECT_TRUE(dir.names().empty());
}

TEST_F(SaveLogTest, FailureOnTheLogFileLeavesBothOldFiles) {
    TempDir dir;
    LogData log;
    Fill(log);
    const std::string base = dir / "log";
    ASSERT_EQ(SaveLog(LogData{}, base), std::nullopt);
    fs::remove(test::FsPath(base + "-log.txt"));
    dir.makeDir("log-log.txt");
    EXPECT_EQ(SaveLog(log, base), base + "-log.txt: " + test::IsAFolderText());
    EXPECT_EQ(ReadBytes(base + "-ind.txt"), kEmptyInd);
    EXPECT_EQ(dir.names(), (std::set<std::string>{"log-ind.txt", "log-log.txt"}));
}

TEST_F(SaveLogTest, FullDiskLeavesThePreviousPairAsItWas) {
#ifdef _WIN32
    GTEST_SKIP() << test::kNoSmallFileSystem;
#else
    test::SmallFileSystem disk(64 * 1024);
    const std::string base = disk.path("log");
    LogData old;
    Fill(old);
    ASSERT_EQ(SaveLog(old, base), std::nullopt);

    // Small result tables, a log too large for what is left.
    LogData log;
    for (int i = 0; i < 5000; ++i)
        log.entries.append(
            Logged(FindingKind::New, "file" + std::to_string(i) + ".dat", "/data/", 1, kEarlier));
    const std::optional<std::string> error = SaveLog(log, base);
    ASSERT_NE(error, std::nullopt);
    EXPECT_TRUE(error->starts_with(base + "-log.txt: ")) << *error;
    EXPECT_EQ(ReadBytes(base + "-ind.txt"), kFilledInd);
    EXPECT_EQ(ReadBytes(base + "-log.txt"), kFilledLog);
    EXPECT_EQ(Names(disk.root()), (std::set<std::string>{"log-ind.txt", "log-log.txt"}));
#endif
}

TEST_F(SaveLogTest, ControlCharactersInFieldsCannotForgeRecords) {
    TempDir dir;
    LogData log;
    // A directory name crafted to look like a deletion record of /etc/ in both files.
    const std::string forged = "x\t/etc/\r\npasswd\t削除\t\t\t\t2006/01/05 9:05:03\t/etc/";
    log.entries.append(Logged(FindingKind::FolderNew, forged, ""));
    log.entries.append(Logged(FindingKind::Deleted, "x", "/data/a\\b\x01\x7F/"));
    log.deletedFiles.append({"passwd\r\n", "/etc/"});
    ASSERT_EQ(SaveLog(log, dir / "log"), std::nullopt);

    EXPECT_EQ(ReadBytes(dir / "log-log.txt"),
              "ファイル名\t内容\tサイズ\tサイズ増減or旧名\t更新日時\t検出日時\tフォルダ\r\n"
              "x\\t/etc/\\r\\npasswd\\t削除\\t\\t\\t\\t2006/01/05 9:05:03\\t/etc/\t新規\t\t\t\t"
              "2006/01/05 9:05:03\t\r\n"
              "x\t削除\t\t\t\t2006/01/05 9:05:03\t/data/a\\\\b\\x01\\x7F/\r\n");
    EXPECT_NE(ReadBytes(dir / "log-ind.txt")
                  .find("[削除ファイル]\r\nファイル名\r\npasswd\\r\\n\t/etc/\r\n"),
              std::string::npos);
}

TEST(LogFileInitialName, ReplacesSeparatorsOfTheLocalTime) {
    const test::ScopedTimeZone zone("Asia/Tokyo");
    if (!zone.active())
        GTEST_SKIP() << test::kZoneFixedAtStart << "; run with TZ=Asia/Tokyo";
    const std::time_t utc20060105 = 1136419200; // 2006-01-05 00:00:00 UTC
    const struct {
        std::time_t time;
        const char* name;
    } cases[] = {
        {utc20060105 + 3 * 3600 + 5 * 60 + 3, "log-2006-01-05 12-05-03"},
        {utc20060105 + 5 * 60 + 3, "log-2006-01-05 9-05-03"},
        {utc20060105 - 9 * 3600, "log-2006-01-05"}, // local midnight: the date alone
    };
    for (const auto& c : cases)
        EXPECT_EQ(LogFileInitialName(c.time), c.name);
}

// Records which table was emptied, in order.
class ResetRecorder : public TableObserver {
public:
    ResetRecorder(std::string name, std::vector<std::string>& resets)
        : name_(std::move(name)), resets_(resets) {}
    void rowsAboutToBeInserted(std::size_t, std::size_t) override {}
    void rowsInserted() override {}
    void rowChanged(std::size_t) override {}
    void rowsAboutToBeRemoved(std::size_t, std::size_t) override {}
    void rowsRemoved() override {}
    void aboutToReset() override {}
    void reset() override { resets_.push_back(name_); }
    void scrollTo(std::size_t) override {}

private:
    std::string name_;
    std::vector<std::string>& resets_;
};

TEST(ClearLog, EmptiesFourTablesAndKeepsRenamesAndStatus) {
    LogData log;
    Fill(log);
    log.changeStatus([](LogStatus& s) {
        s.updatedCount = 1;
        s.newCount = 2;
        s.deletedCount = 3;
        s.renamedCount = 4;
        s.lineCount = "ログ行数 3";
        s.snapshotTime = "2006/01/05 9:05:03";
    });
    std::vector<std::string> resets;
    ResetRecorder logR("log", resets), newR("new", resets), delR("del", resets),
        updR("update", resets), renR("rename", resets);
    log.entries.addObserver(&logR);
    log.newFiles.addObserver(&newR);
    log.deletedFiles.addObserver(&delR);
    log.updatedFiles.addObserver(&updR);
    log.renamedFiles.addObserver(&renR);

    ClearLog(log);

    EXPECT_EQ(resets, (std::vector<std::string>{"log", "new", "del", "update"}));
    EXPECT_TRUE(log.entries.empty());
    EXPECT_TRUE(log.newFiles.empty());
    EXPECT_TRUE(log.deletedFiles.empty());
    EXPECT_TRUE(log.updatedFiles.empty());
    ASSERT_EQ(log.renamedFiles.count(), 1u);
    EXPECT_EQ(log.renamedFiles[0].newName, "new name.txt");
    const LogStatus& s = log.status();
    EXPECT_EQ((std::vector<long long>{s.updatedCount, s.newCount, s.deletedCount, s.renamedCount}),
              (std::vector<long long>{1, 2, 3, 4}));
    EXPECT_EQ(s.lineCount, "ログ行数 3");
    EXPECT_EQ(s.snapshotTime, "2006/01/05 9:05:03");
}

} // namespace
} // namespace trellisk
