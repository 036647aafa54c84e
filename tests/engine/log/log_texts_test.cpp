// The texts of the log's rows and status fields, made in one place for the window and the
// saved log.
#include "engine/log/log_texts.h"

#include "tests/support/tokyo_time_test.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace trellisk {
namespace {

constexpr std::time_t kDetected = 1136419503; // 2006/01/05 9:05:03 in Tokyo
constexpr std::int64_t kWritten = 1136419502; // 2006/01/05 09:05:02

std::vector<std::string> Texts(const LogRow& row) {
    std::vector<std::string> texts;
    for (int column = 0; column < static_cast<int>(LogColumn::Count); ++column)
        texts.push_back(CellText(row, static_cast<LogColumn>(column)));
    return texts;
}

using LogTextsTest = test::TokyoTimeTest;

struct LogRowCase {
    const char* name;
    FindingKind kind;
    std::optional<std::int64_t> sizeChange;
    std::vector<std::string> texts;
};

// Every kind of finding as a log row: file, kind, size, size change or old name, update time,
// detection time, folder.
TEST_F(LogTextsTest, EveryKindOfLogRow) {
    const std::string dir = "/w/";
    const std::vector<LogRowCase> cases = {
        {"updated, first",
         FindingKind::Updated,
         std::nullopt,
         {"a.txt", "更新", "    1049576", "", "2006/01/05 09:05:02", "2006/01/05 9:05:03", dir}},
        {"updated, later",
         FindingKind::Updated,
         -100,
         {"a.txt", "更新", "    1049576", "       -100", "2006/01/05 09:05:02",
          "2006/01/05 9:05:03", dir}},
        {"new",
         FindingKind::New,
         std::nullopt,
         {"a.txt", "新規", "    1049576", "", "2006/01/05 09:05:02", "2006/01/05 9:05:03", dir}},
        {"renamed",
         FindingKind::Renamed,
         std::nullopt,
         {"a.txt", "変名", "    1049576", "(旧)old.txt", "2006/01/05 09:05:02",
          "2006/01/05 9:05:03", dir}},
        {"deleted",
         FindingKind::Deleted,
         std::nullopt,
         {"a.txt", "削除", "", "", "", "2006/01/05 9:05:03", dir}},
        {"new folder",
         FindingKind::FolderNew,
         std::nullopt,
         {"/w/sub/", "新規", "", "", "", "2006/01/05 9:05:03", ""}},
        {"deleted folder",
         FindingKind::FolderDeleted,
         std::nullopt,
         {"/w/sub/", "削除", "", "", "", "2006/01/05 9:05:03", ""}},
        {"unreadable",
         FindingKind::Unreadable,
         std::nullopt,
         {"/w/sub/", "読取不可", "", "", "", "2006/01/05 9:05:03", ""}},
    };
    for (const LogRowCase& c : cases) {
        LogRow row;
        row.kind = c.kind;
        const bool folder = IsDirectoryFinding(c.kind);
        row.file = folder ? "/w/sub/" : "a.txt";
        row.folder = folder ? "" : dir;
        row.oldName = c.kind == FindingKind::Renamed ? "old.txt" : "";
        row.size = 1049576;
        row.sizeChange = c.sizeChange;
        row.dateKey = kWritten;
        row.detected = kDetected;
        EXPECT_EQ(Texts(row), c.texts) << c.name;
    }
}

TEST_F(LogTextsTest, ResultTableRows) {
    const UpdateRow updated{"u", "/w/", 12, kWritten, 2.666L};
    EXPECT_EQ(CellText(updated, UpdatedColumn::File), "u");
    EXPECT_EQ(CellText(updated, UpdatedColumn::Size), "         12");
    EXPECT_EQ(CellText(updated, UpdatedColumn::Date), "2006/01/05 09:05:02");
    EXPECT_EQ(CellText(updated, UpdatedColumn::Folder), "/w/");
    EXPECT_EQ(CellText(updated, UpdatedColumn::Rate), "2.67");
    EXPECT_EQ(CellText(UpdateRow{}, UpdatedColumn::Rate), "") << "no rate before a later finding";
    const NewRow added{"n", "/w/", 12345678901234, Marker::None};
    EXPECT_EQ(CellText(added, NewColumn::Size), "12345678901234") << "longer numbers whole";
    EXPECT_EQ(CellText(DeletedRow{"d", "/w/"}, DeletedColumn::Folder), "/w/");
    EXPECT_EQ(CellText(RenameRow{"new", "old", "/w/"}, RenamedColumn::OldName), "old");
}

// Names and folders with control characters are shown and saved with visible escapes.
TEST_F(LogTextsTest, ControlCharactersInNamesAreEscaped) {
    LogRow row;
    row.kind = FindingKind::Renamed;
    row.file = "new\nname";
    row.oldName = "old\tname";
    row.folder = "/w\\x\x01/";
    EXPECT_EQ(CellText(row, LogColumn::File), "new\\nname");
    EXPECT_EQ(CellText(row, LogColumn::SizeChange), "(旧)old\\tname");
    EXPECT_EQ(CellText(row, LogColumn::Folder), "/w\\\\x\\x01/");
    EXPECT_EQ(CellText(RenameRow{"a\r", "b", "/w/"}, RenamedColumn::NewName), "a\\r");
}

TEST(TransferRate, MegabitsPerSecondOfTheConfiguredInterval) {
    const struct {
        std::int64_t change;
        int interval;
        const char* text;
    } cases[] = {
        {1048576, 3, "2.67"},     {0, 3, "0.00"},       {-100, 3, "-0.00"},
        {3 * 1048576, 3, "8.00"}, {1048576, 0, "8.00"}, // no interval is taken as one second
    };
    for (const auto& c : cases) {
        UpdateRow row;
        row.rate = TransferRate(c.change, c.interval);
        EXPECT_EQ(CellText(row, UpdatedColumn::Rate), c.text) << c.change << " / " << c.interval;
    }
}

TEST(StatusTexts, PhaseFreeSpaceDurationAndLineCount) {
    EXPECT_EQ(PhaseText({JobPhase::Preparing, {}, std::nullopt}), "前処理中");
    EXPECT_EQ(PhaseText({JobPhase::Listing, {}, 50}), "ファイル取得中");
    EXPECT_EQ(PhaseText({JobPhase::Comparing, {}, std::nullopt}), "ファイル比較中");
    EXPECT_EQ(PhaseText({JobPhase::Comparing, "/w/a/", 10}), "ファイル比較中 /w/a/");
    EXPECT_EQ(PhaseText({JobPhase::Finishing, {}, std::nullopt}), "後処理中");
    EXPECT_EQ(FreeSpaceText({"/home", 12345678912}), "/homeドライブ 12,345,678,912");
    EXPECT_EQ(FreeSpaceText({"C:\\", -1}), "C:\\ドライブ -1");
    EXPECT_EQ(DurationText(std::chrono::seconds(5)), " 5");
    EXPECT_EQ(DurationText(std::chrono::seconds(42)), "42");
    EXPECT_EQ(DurationText(std::chrono::seconds(150)), "99");
    EXPECT_EQ(LineCountText(25), "ログ行数 25");
}

} // namespace
} // namespace trellisk
