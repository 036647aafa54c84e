#include "engine/settings/settings_file.h"

#include "tests/support/system_errors.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <tuple>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trellisk {
namespace {

namespace fs = std::filesystem;
using test::FsPath;

using Row = std::tuple<std::string, std::string, std::string>;

std::vector<Row> Rows(const Settings& settings) {
    std::vector<Row> rows;
    for (const FolderEntry& entry : settings.folders)
        rows.emplace_back(entry.path, SubfoldersText(entry.subfolders),
                          std::to_string(entry.depthLimit));
    return rows;
}

// A fresh directory per test, removed with everything in it afterwards.
class SettingsFileTest : public testing::Test {
protected:
    std::string path(const std::string& name) const { return tree_.path(name); }

    static void write(const std::string& file, const std::string& bytes) {
        std::ofstream out(FsPath(file), std::ios::binary);
        out << bytes;
        ASSERT_TRUE(out.good());
    }
    static std::string read(const std::string& file) {
        std::ifstream in(FsPath(file), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(FsPath(tree_.root())))
            names.push_back(test::Utf8(entry.path().filename()));
        return names;
    }

    test::TempTree tree_;
};

std::optional<std::string> LoadSettings(const std::string& file, Settings& settings) {
    return SettingsFile(file).load(settings);
}
std::optional<std::string> SaveSettings(const std::string& file, const Settings& settings) {
    return SettingsFile(file).save(settings);
}

const std::string kJapanesePath = "/home/利用者/書類/報告書 2024/";
// Bytes that are not UTF-8 at all, as a legacy encoding would leave them in a file name.
const std::string kRawBytesPath = std::string("/mnt/\x83\x5c\x95\x5c/\xff\x01", 11);

TEST_F(SettingsFileTest, MissingFileKeepsTheDefaults) {
    Settings settings;
    EXPECT_EQ(LoadSettings(path("trellisk.ini"), settings), std::nullopt);
    EXPECT_TRUE(settings.folders.empty());
    EXPECT_EQ(settings.interval, 3);
    EXPECT_EQ(settings.timerIntervalMs, 3000);
    EXPECT_FALSE(settings.clearBaseAtStart);
}

TEST_F(SettingsFileTest, WrittenLayoutLoadsAndIsWrittenBackByteForByte) {
    const std::string bytes =
        "[foldersv040]\r\n3\r\n" + kJapanesePath + "\r\nする\r\n0\r\n" + kRawBytesPath +
        "\r\nしない\r\n12\r\n/srv/shared/\r\nする\r\n100\r\n" + "[interval]\r\n45\r\n";
    const std::string file = path("trellisk.ini");
    write(file, bytes);

    Settings settings;
    ASSERT_EQ(LoadSettings(file, settings), std::nullopt);
    EXPECT_EQ(Rows(settings), (std::vector<Row>{{kJapanesePath, "する", "0"},
                                                {kRawBytesPath, "しない", "12"},
                                                {"/srv/shared/", "する", "100"}}));
    EXPECT_EQ(settings.interval, 45);
    EXPECT_EQ(settings.timerIntervalMs, 45000);
    EXPECT_TRUE(settings.clearBaseAtStart);

    ASSERT_EQ(SaveSettings(file, settings), std::nullopt);
    EXPECT_EQ(read(file), bytes);
    EXPECT_EQ(entries(), std::vector<std::string>{"trellisk.ini"});
}

TEST_F(SettingsFileTest, LfOnlyFileIsWrittenBackWithCrLf) {
    const std::string file = path("trellisk.ini");
    write(file, "[foldersv040]\n1\n/var/log/\nしない\n2\n[interval]\n7\n");

    Settings settings;
    ASSERT_EQ(LoadSettings(file, settings), std::nullopt);
    ASSERT_EQ(SaveSettings(file, settings), std::nullopt);
    EXPECT_EQ(read(file), "[foldersv040]\r\n1\r\n/var/log/\r\nしない\r\n2\r\n[interval]\r\n7\r\n");
}

TEST_F(SettingsFileTest, SettingsFileInJapaneseDirectoryRoundTrips) {
    tree_.makeDir("設定 フォルダ");
    const std::string file = path("設定 フォルダ/trellisk.ini");

    Settings saved;
    saved.folders.append({kJapanesePath, true, 3});
    saved.interval = 600;
    ASSERT_EQ(SaveSettings(file, saved), std::nullopt);

    Settings loaded;
    ASSERT_EQ(LoadSettings(file, loaded), std::nullopt);
    EXPECT_EQ(Rows(loaded), Rows(saved));
    EXPECT_EQ(loaded.interval, 600);
    EXPECT_EQ(loaded.timerIntervalMs, 600000);
}

TEST_F(SettingsFileTest, EmptyTableIsWrittenWithCountZero) {
    const std::string file = path("trellisk.ini");
    ASSERT_EQ(SaveSettings(file, Settings{}), std::nullopt);
    EXPECT_EQ(read(file), "[foldersv040]\r\n0\r\n[interval]\r\n3\r\n");
}

struct LoadCase {
    const char* name;
    std::string content;
    std::vector<Row> rows;
    int interval;
    bool restartClear;
    std::optional<std::string> error;
};

void PrintTo(const LoadCase& c, std::ostream* out) {
    *out << c.name;
}

class LoadLayoutTest : public testing::TestWithParam<LoadCase> {};

TEST_P(LoadLayoutTest, Loads) {
    const LoadCase& c = GetParam();
    Settings settings;
    EXPECT_EQ(ParseSettings(c.content, settings), c.error);
    EXPECT_EQ(Rows(settings), c.rows);
    EXPECT_EQ(settings.interval, c.interval);
    EXPECT_EQ(settings.timerIntervalMs, c.interval * 1000);
    EXPECT_EQ(settings.clearBaseAtStart, c.restartClear);
}

const Row kA{"/a/", "する", "0"};
const Row kB{"/b/", "しない", "2"};

INSTANTIATE_TEST_SUITE_P(
    Layouts, LoadLayoutTest,
    testing::Values(
        LoadCase{"EmptyFile", "", {}, 3, false, std::nullopt},
        LoadCase{"UnknownLinesAreSkipped",
                 "; note\r\n[general]\r\n[foldersv040]\r\n1\r\n/a/\r\nする\r\n0\r\nx=1\r\n"
                 "[interval]\r\n9\r\ntrailing\r\n",
                 {kA},
                 9,
                 true,
                 std::nullopt},
        LoadCase{"IntervalBlockFirst",
                 "[interval]\r\n9\r\n[foldersv040]\r\n1\r\n/a/\r\nする\r\n0\r\n",
                 {kA},
                 9,
                 true,
                 std::nullopt},
        LoadCase{"TwoFolderBlocksAppendInFileOrder",
                 "[foldersv040]\r\n1\r\n/a/\r\nする\r\n0\r\n[interval]\r\n5\r\n"
                 "[foldersv040]\r\n1\r\n/b/\r\nしない\r\n2\r\n",
                 {kA, kB},
                 5,
                 true,
                 std::nullopt},
        LoadCase{"LaterIntervalWins",
                 "[interval]\r\n5\r\n[interval]\r\n8\r\n",
                 {},
                 8,
                 false,
                 std::nullopt},
        LoadCase{"CountZeroLeavesOptionUnchecked",
                 "[foldersv040]\r\n0\r\n[interval]\r\n4\r\n",
                 {},
                 4,
                 false,
                 std::nullopt},
        LoadCase{"NegativeCountAddsNothing",
                 "[foldersv040]\r\n-2\r\n/a/\r\n[interval]\r\n4\r\n",
                 {},
                 4,
                 false,
                 std::nullopt},
        LoadCase{"LoneCrLineEnds",
                 "[foldersv040]\r1\r/a/\rする\r0\r[interval]\r9\r",
                 {kA},
                 9,
                 true,
                 std::nullopt},
        LoadCase{"MixedLineEnds",
                 "[foldersv040]\n2\r/a/\r\nする\n0\r/b/\nしない\r\n2\r\n[interval]\r9",
                 {kA, kB},
                 9,
                 true,
                 std::nullopt},
        LoadCase{"ByteOrderMarkIsSkipped",
                 "\xEF\xBB\xBF[foldersv040]\r\n1\r\n/a/\r\nする\r\n0\r\n[interval]\r\n9\r\n",
                 {kA},
                 9,
                 true,
                 std::nullopt},
        // A count far beyond the rows in the file makes no rows past its end.
        LoadCase{"HugeCountEndsAtTheEndOfTheFile",
                 "[foldersv040]\r\n2147483647\r\n/a/\r\n",
                 {{"/a/", "しない", "0"}},
                 3,
                 true,
                 std::nullopt},
        LoadCase{"TruncatedBlockGivesEmptyFields",
                 "[foldersv040]\r\n3\r\n/a/\r\nする\r\n0\r\n/b/\r\n",
                 {kA, {"/b/", "しない", "0"}},
                 3,
                 true,
                 std::nullopt},
        // The interval marker is tested on the block's last line, so a depth line that reads
        // "[interval]" starts the interval block (and, being no integer, means no limit).
        LoadCase{"DepthLineTakenAsIntervalMarker",
                 "[foldersv040]\r\n1\r\n/a/\r\nする\r\n[interval]\r\n60\r\n",
                 {{"/a/", "する", "0"}},
                 60,
                 true,
                 std::nullopt},
        // A folder marker as the block's last line is not tested again: the lines after it
        // are unknown lines.
        LoadCase{
            "FolderMarkerAsLastLineIsNotReread",
            "[foldersv040]\r\n1\r\n/a/\r\nする\r\n[foldersv040]\r\n1\r\n/b/\r\nしない\r\n2\r\n",
            {{"/a/", "する", "0"}},
            3,
            true,
            std::nullopt},
        LoadCase{"MarkersAreWholeLineAndCaseSensitive",
                 "[FOLDERSV040]\r\n1\r\n/a/\r\n [interval]\r\n9\r\n[interval] \r\n9\r\n",
                 {},
                 3,
                 false,
                 std::nullopt},
        LoadCase{"IntervalSixty", "[interval]\r\n60\r\n", {}, 60, false, std::nullopt},
        LoadCase{"IntervalWithPlusSign", "[interval]\r\n+20\r\n", {}, 20, false, std::nullopt},
        LoadCase{"IntervalZeroClampsUp", "[interval]\r\n0\r\n", {}, 1, false, std::nullopt},
        LoadCase{"NegativeIntervalClampsUp", "[interval]\r\n-5\r\n", {}, 1, false, std::nullopt},
        LoadCase{
            "LargeIntervalClampsDown", "[interval]\r\n99999\r\n", {}, 3600, false, std::nullopt},
        LoadCase{"NonIntegerCountKeepsEarlierRows",
                 "[foldersv040]\r\n1\r\n/a/\r\nする\r\n0\r\n[interval]\r\n9\r\n"
                 "[foldersv040]\r\ntwo\r\n/b/\r\nしない\r\n2\r\n[interval]\r\n20\r\n",
                 {kA},
                 9,
                 true,
                 "'two' は整数ではありません"},
        LoadCase{"NonIntegerIntervalKeepsPreviousValue",
                 "[interval]\r\n9\r\n[foldersv040]\r\n1\r\n/a/\r\nする\r\n0\r\n"
                 "[interval]\r\n10秒\r\n[foldersv040]\r\n1\r\n/b/\r\nしない\r\n2\r\n",
                 {kA},
                 9,
                 true,
                 "'10秒' は整数ではありません"},
        LoadCase{"BlanksAroundIntegerAreRejected",
                 "[interval]\r\n 12\r\n",
                 {},
                 3,
                 false,
                 "' 12' は整数ではありません"},
        LoadCase{"IntegerBeyond32BitsIsRejected",
                 "[interval]\r\n2147483648\r\n",
                 {},
                 3,
                 false,
                 "'2147483648' は整数ではありません"},
        LoadCase{"MissingIntervalLineReadsAsEmptyText",
                 "[interval]\r\n",
                 {},
                 3,
                 false,
                 "'' は整数ではありません"}),
    [](const testing::TestParamInfo<LoadCase>& testInfo) {
        return std::string(testInfo.param.name);
    });

// What a hand-edited flag or depth line means: only "する" watches subfolders, and a depth that
// is no integer is no limit. Either is written back in the written form.
struct FieldCase {
    const char* flag;
    const char* depth;
    bool subfolders;
    int depthLimit;
    const char* written; // flag and depth lines as saved
};

class FolderFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(FolderFieldTest, ReadsTheMeaningAndWritesTheWrittenForm) {
    const FieldCase& c = GetParam();
    Settings settings;
    ASSERT_EQ(ParseSettings(std::string("[foldersv040]\r\n1\r\n/a/\r\n") + c.flag + "\r\n" +
                                c.depth + "\r\n",
                            settings),
              std::nullopt);
    ASSERT_EQ(settings.folders.count(), 1u);
    EXPECT_EQ(settings.folders[0].subfolders, c.subfolders);
    EXPECT_EQ(settings.folders[0].depthLimit, c.depthLimit);
    EXPECT_EQ(SettingsText(settings),
              std::string("[foldersv040]\r\n1\r\n/a/\r\n") + c.written + "[interval]\r\n3\r\n");
}

INSTANTIATE_TEST_SUITE_P(Texts, FolderFieldTest,
                         testing::Values(FieldCase{"する", "0", true, 0, "する\r\n0\r\n"},
                                         FieldCase{"しない", "100", false, 100,
                                                   "しない\r\n100\r\n"},
                                         FieldCase{"しない", "2147483647", false, 2147483647,
                                                   "しない\r\n2147483647\r\n"},
                                         FieldCase{"する", "-1", true, -1, "する\r\n-1\r\n"},
                                         FieldCase{"する", "007", true, 7, "する\r\n7\r\n"},
                                         FieldCase{"する", "+3", true, 3, "する\r\n3\r\n"},
                                         FieldCase{"する", "2147483648", true, 0, "する\r\n0\r\n"},
                                         FieldCase{"する", " 3", true, 0, "する\r\n0\r\n"},
                                         FieldCase{"する", "1.5", true, 0, "する\r\n0\r\n"},
                                         FieldCase{"する", "", true, 0, "する\r\n0\r\n"},
                                         FieldCase{"yes", "abc", false, 0, "しない\r\n0\r\n"},
                                         FieldCase{"する ", "1", false, 1, "しない\r\n1\r\n"}));

TEST_F(SettingsFileTest, DirectoryInPlaceOfTheFileGivesTheRuntimeError) {
    const std::string file = path("trellisk.ini");
    fs::create_directory(file);

    Settings settings;
    EXPECT_EQ(LoadSettings(file, settings),
              file + ": 通常のファイルではないため読み込めません\n終了時にも書き込みません。");
    EXPECT_TRUE(settings.folders.empty());
    EXPECT_EQ(settings.interval, 3);
    EXPECT_EQ(settings.timerIntervalMs, 3000);
}

TEST_F(SettingsFileTest, UnreadableFileGivesTheRuntimeError) {
#ifdef _WIN32
    GTEST_SKIP() << test::kNoPermissionBits;
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    const std::string file = path("trellisk.ini");
    write(file, "[interval]\r\n9\r\n");
    fs::permissions(file, fs::perms::none);

    Settings settings;
    EXPECT_EQ(LoadSettings(file, settings), file + ": " + test::AccessDeniedText() +
                                                "\n書き換える前に元のファイルを " + file +
                                                ".bak として残します。");
    EXPECT_EQ(settings.interval, 3);
#endif
}

TEST_F(SettingsFileTest, FailedLoadClosesTheFile) {
    const std::string file = path("trellisk.ini");
    write(file, "[interval]\r\nabc\r\n");
#ifdef _WIN32
    Settings settings;
    ASSERT_NE(LoadSettings(file, settings), std::nullopt);
    // No handle is left open on the file: it opens without sharing it with anyone.
    const HANDLE alone = ::CreateFileW(FsPath(file).c_str(), GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(alone, INVALID_HANDLE_VALUE);
    ::CloseHandle(alone);
#else
    const auto openFiles = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto before = openFiles();
    Settings settings;
    ASSERT_NE(LoadSettings(file, settings), std::nullopt);
    EXPECT_EQ(openFiles(), before);
#endif
}

TEST_F(SettingsFileTest, SaveIntoMissingDirectoryFailsWithoutLeavingFiles) {
    const std::string file = path("absent/trellisk.ini");
    EXPECT_EQ(SaveSettings(file, Settings{}), file + ": " + test::MissingFolderText());
    EXPECT_TRUE(entries().empty());
}

TEST_F(SettingsFileTest, FailedReplaceKeepsWhatWasThereAndLeavesNoTemporaryFile) {
    // A non-empty directory under the settings name cannot be replaced by a file.
    const std::string file = path("trellisk.ini");
    tree_.makeDir("trellisk.ini");
    write(path("trellisk.ini/keep.txt"), "kept");

    Settings settings;
    settings.folders.append({"/a/", true, 0});
    EXPECT_EQ(SaveSettings(file, settings), file + ": " + test::IsAFolderText());
    EXPECT_EQ(entries(), std::vector<std::string>{"trellisk.ini"});
    EXPECT_EQ(read(path("trellisk.ini/keep.txt")), "kept");
}

TEST_F(SettingsFileTest, SaveKeepsTheOldFilesPermissions) {
#ifdef _WIN32
    GTEST_SKIP() << test::kNoPermissionBits;
#else
    const std::string fresh = path("fresh.ini");
    ASSERT_EQ(SaveSettings(fresh, Settings{}), std::nullopt);
    EXPECT_EQ(fs::status(fresh).permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                   fs::perms::group_read | fs::perms::others_read);

    const std::string kept = path("kept.ini");
    write(kept, "old");
    fs::permissions(kept, fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_EQ(SaveSettings(kept, Settings{}), std::nullopt);
    EXPECT_EQ(fs::status(kept).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(read(kept), "[foldersv040]\r\n0\r\n[interval]\r\n3\r\n");
#endif
}

TEST_F(SettingsFileTest, FifoAndDeviceAreNeitherReadNorReplaced) {
#ifdef _WIN32
    GTEST_SKIP() << "FIFOs and devices are not entries of a Windows folder";
#else
    const std::string fifo = path("fifo.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0) << std::strerror(errno);
    const std::string device = path("device.ini");
    fs::create_symlink("/dev/zero", device);

    for (const std::string& file : {fifo, device}) {
        SettingsFile settingsFile(file);
        Settings settings;
        EXPECT_EQ(settingsFile.load(settings),
                  file + ": 通常のファイルではないため読み込めません\n終了時にも書き込みません。");
        EXPECT_TRUE(settings.folders.empty());
        EXPECT_EQ(settingsFile.save(settings), std::nullopt);
        settings.interval = 10;
        EXPECT_EQ(settingsFile.save(settings),
                  file + ": 通常のファイルではないため設定を保存できません");
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(device));
    EXPECT_EQ(fs::read_symlink(device), "/dev/zero");
#endif
}

TEST_F(SettingsFileTest, LinkIsSavedThroughAndStaysALink) {
    if (!test::TempTree::CanMakeLinks())
        GTEST_SKIP() << test::kNoLinks;
    tree_.makeDir("real");
    const std::string target = path("real/settings.ini");
    write(target, "[interval]\r\n9\r\n");
    const std::string link = path("trellisk.ini");
    tree_.makeLink("trellisk.ini", "real/settings.ini");

    SettingsFile settingsFile(link);
    Settings settings;
    ASSERT_EQ(settingsFile.load(settings), std::nullopt);
    EXPECT_EQ(settings.interval, 9);
    settings.interval = 12;
    ASSERT_EQ(settingsFile.save(settings), std::nullopt);

    EXPECT_TRUE(fs::is_symlink(FsPath(link)));
    EXPECT_EQ(fs::read_symlink(FsPath(link)), FsPath(test::NativePath("real/settings.ini")));
    EXPECT_EQ(read(target), "[foldersv040]\r\n0\r\n[interval]\r\n12\r\n");
}

TEST_F(SettingsFileTest, FileNotLoadedCleanlyIsKeptAsBackupBeforeItIsReplaced) {
    const std::string file = path("trellisk.ini");
    const std::string original = "[foldersv040]\r\n1\r\n/a/\r\nする\r\n0\r\n[interval]\r\nten\r\n";
    write(file, original);

    SettingsFile settingsFile(file);
    Settings settings;
    EXPECT_EQ(settingsFile.load(settings), file +
                                               ": 'ten' は整数ではありません\n"
                                               "書き換える前に元のファイルを " +
                                               file + ".bak として残します。");
    ASSERT_EQ(settingsFile.save(settings), std::nullopt);
    EXPECT_EQ(read(file + ".bak"), original);
    EXPECT_EQ(read(file), "[foldersv040]\r\n1\r\n/a/\r\nする\r\n0\r\n[interval]\r\n3\r\n");

    // The backup is of the file as it was found, not of the program's own later saves.
    settings.interval = 5;
    ASSERT_EQ(settingsFile.save(settings), std::nullopt);
    EXPECT_EQ(read(file + ".bak"), original);
}

TEST_F(SettingsFileTest, CleanLoadMakesNoBackup) {
    const std::string file = path("trellisk.ini");
    write(file, "\xEF\xBB\xBF[interval]\r7\r");
    SettingsFile settingsFile(file);
    Settings settings;
    ASSERT_EQ(settingsFile.load(settings), std::nullopt);
    ASSERT_EQ(settingsFile.save(settings), std::nullopt);
    EXPECT_EQ(entries(), std::vector<std::string>{"trellisk.ini"});
    EXPECT_EQ(read(file), "[foldersv040]\r\n0\r\n[interval]\r\n7\r\n");
}

// Runs as root too: reading this file fails although it opens.
TEST_F(SettingsFileTest, FileThatFailsToReadIsLeftAloneUnlessTheSettingsChange) {
#ifdef _WIN32
    GTEST_SKIP() << "no Windows file opens and then fails to read as /proc/self/mem does";
#else
    const std::string file = path("trellisk.ini");
    fs::create_symlink("/proc/self/mem", file);

    SettingsFile settingsFile(file);
    Settings settings;
    const std::optional<std::string> loadMessage = settingsFile.load(settings);
    ASSERT_NE(loadMessage, std::nullopt);
    EXPECT_TRUE(loadMessage->starts_with(file + ": " + std::strerror(EIO))) << *loadMessage;
    EXPECT_EQ(settingsFile.save(settings), std::nullopt);
    EXPECT_EQ(fs::read_symlink(file), "/proc/self/mem");

    // After a change it would be replaced, but not before a backup of it exists.
    settings.interval = 30;
    const std::optional<std::string> saveMessage = settingsFile.save(settings);
    ASSERT_NE(saveMessage, std::nullopt);
    EXPECT_TRUE(saveMessage->starts_with(file + ".bak: ")) << *saveMessage;
    EXPECT_EQ(fs::read_symlink(file), "/proc/self/mem");
#endif
}

TEST_F(SettingsFileTest, UnreadableFileIsReplacedOnlyAfterAChange) {
#ifdef _WIN32
    GTEST_SKIP() << test::kNoPermissionBits;
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not stop root";
    const std::string file = path("trellisk.ini");
    const std::string original = "[foldersv040]\r\n1\r\n/a/\r\nする\r\n0\r\n";
    write(file, original);
    fs::permissions(file, fs::perms::none);

    SettingsFile settingsFile(file);
    Settings settings;
    ASSERT_NE(settingsFile.load(settings), std::nullopt);
    EXPECT_EQ(settingsFile.save(settings), std::nullopt);
    EXPECT_EQ(entries(), std::vector<std::string>{"trellisk.ini"});
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::none);

    settings.folders.append({"/b/", false, 0});
    ASSERT_EQ(settingsFile.save(settings), std::nullopt);
    fs::permissions(file + ".bak", fs::perms::owner_read);
    EXPECT_EQ(read(file + ".bak"), original);
#endif
}

} // namespace
} // namespace trellisk
