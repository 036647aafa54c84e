// The engine's Windows platform: drive roots, drive letters, backslash paths, UTF-16 names,
// long paths, the share-mode write test against a second process, local dates.
#include "engine/platform/directory.h"
#include "engine/platform/file_replacement.h"
#include "engine/platform/file_system.h"
#include "engine/platform/path_rules.h"
#include "engine/platform/win32/wide_text.h"
#include "engine/settings/settings_file.h"
#include "engine/text/text_helpers.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace trellisk {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the user's temporary folder, removed with its content afterwards.
class TempFolder {
public:
    TempFolder() {
        static int counter = 0;
        const fs::path base = fs::temp_directory_path();
        do {
            root_ = base / ("trellisk-test-" + std::to_string(::GetCurrentProcessId()) + "-" +
                            std::to_string(++counter) + "-" + std::to_string(::GetTickCount64()));
        } while (!fs::create_directory(root_));
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The UTF-8 path of `name` inside, with backslashes.
    [[nodiscard]] std::string path(const std::string& name = "") const {
        return platform::Utf8((root_ / fs::path(platform::Wide(name))).wstring());
    }
    // Creates the file with `size` bytes and the last-write time `seconds` since 1970.
    void makeFile(const std::string& name, std::size_t size, std::int64_t seconds,
                  DWORD attributes = FILE_ATTRIBUTE_NORMAL) const {
        const HANDLE file = ::CreateFileW(platform::LongPath(path(name)).c_str(), GENERIC_WRITE, 0,
                                          nullptr, CREATE_NEW, attributes, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
        const std::string bytes(size, 'x');
        DWORD written = 0;
        ASSERT_TRUE(::WriteFile(file, bytes.data(), static_cast<DWORD>(size), &written, nullptr));
        // Odd seconds and a fraction: the scan must keep the seconds and drop the fraction.
        const auto ticks =
            static_cast<std::uint64_t>(seconds + 11'644'473'600) * 10'000'000u + 1'234'567u;
        const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
        ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &time));
        ::CloseHandle(file);
    }

private:
    fs::path root_;
};

struct DepthCase {
    std::string root;
    std::string path;
    int depth;
};

class DriveRootDepthTest : public testing::TestWithParam<DepthCase> {};

TEST_P(DriveRootDepthTest, CountsLevelsBelowTheRoot) {
    const DepthCase& c = GetParam();
    EXPECT_EQ(FolderDepth(c.root, c.path), c.depth) << c.root << " / " << c.path;
}

// A drive root counts one level, as "/" does on Linux: its folders are at depth 1.
INSTANTIATE_TEST_SUITE_P(
    Windows, DriveRootDepthTest,
    testing::Values(DepthCase{"C:\\", "C:\\a", 1}, DepthCase{"C:\\", "C:\\a\\b", 2},
                    DepthCase{"D:\\", "D:\\a", 1}, DepthCase{"C:\\a", "C:\\a\\b", 1},
                    DepthCase{"C:\\a", "C:\\a\\b\\c", 2},
                    DepthCase{"\\\\server\\share", "\\\\server\\share\\a", 1}));

TEST(WindowsPathRules, RootsAndSeparator) {
    EXPECT_EQ(platform::kPathSeparator, '\\');
    EXPECT_EQ(WithTrailingSeparator("C:\\a"), "C:\\a\\");
    for (const char* root : {"C:\\", "c:\\", "D:\\"})
        EXPECT_TRUE(platform::IsRootPath(root)) << root;
    for (const char* other : {"C:\\a", "C:", "\\", "\\\\server\\share\\", "1:\\", "/"})
        EXPECT_FALSE(platform::IsRootPath(other)) << other;
}

struct DriveListCase {
    std::vector<std::string> folders;
    std::vector<std::string> drives;
};

class DriveListTest : public testing::TestWithParam<DriveListCase> {};

// The drive of each folder is its first character, once each in order of first appearance;
// a network path belongs to none. (The monitor collects MountPointOf this way.)
TEST_P(DriveListTest, OneEntryPerFirstCharacter) {
    std::vector<std::string> drives;
    for (const std::string& folder : GetParam().folders) {
        const std::string drive = platform::MountPointOf(folder);
        if (!drive.empty() && std::find(drives.begin(), drives.end(), drive) == drives.end())
            drives.push_back(drive);
    }
    EXPECT_EQ(drives, GetParam().drives);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, DriveListTest,
    testing::Values(DriveListCase{{"C:\\a\\", "C:\\b\\", "D:\\c\\"}, {"C", "D"}},
                    DriveListCase{{"D:\\c\\", "C:\\a\\", "D:\\d\\"}, {"D", "C"}},
                    DriveListCase{{"c:\\a\\", "C:\\b\\"}, {"c", "C"}},
                    DriveListCase{{"\\\\server\\share\\"}, {}},
                    DriveListCase{{"C:\\a\\", "\\\\server\\share\\", "D:\\"}, {"C", "D"}}));

TEST(WindowsFreeSpace, DriveLetterGivesItsRootsSpaceAndAnUnusedLetterMinusOne) {
    EXPECT_GE(platform::FreeSpace("C"), 0);
    EXPECT_GE(platform::FreeSpace("C:\\"), 0);
    // Letters from the end of the alphabet that no test machine maps (wine maps Z: to "/").
    EXPECT_EQ(platform::FreeSpace("Q"), -1);
}

// What one scan of `folder` finds: name -> size, time, or "dir".
std::map<std::string, std::string> Scan(const std::string& folder) {
    std::map<std::string, std::string> found;
    platform::Directory::Opening opening = platform::Directory::open(folder);
    EXPECT_EQ(opening.status, platform::OpenStatus::Opened) << folder;
    if (!opening.directory)
        return found;
    platform::DirectoryReader reader;
    reader.start(*opening.directory);
    while (const std::optional<platform::DirectoryEntry> entry = reader.next()) {
        platform::FileFacts facts;
        const std::string name = entry->name;
        switch (opening.directory->readFacts(entry->name, entry->kind, facts)) {
        case platform::EntryStatus::File:
            found[name] = std::to_string(facts.size) + " " + std::to_string(facts.lastWriteSeconds);
            break;
        case platform::EntryStatus::Skipped:
            found[name] = "dir";
            break;
        case platform::EntryStatus::Unreadable:
            found[name] = "unreadable";
            break;
        }
    }
    EXPECT_FALSE(reader.failed());
    return found;
}

const std::string kJapaneseName = "報告書 2024年.txt";
const std::string kSurrogateName = "\xF0\xA0\xAE\xB7.txt"; // U+20BB7, two UTF-16 units

TEST(WindowsDirectory, ListsNamesSizesAndTimesIncludingHiddenAndSystemFiles) {
    TempFolder folder;
    folder.makeFile(kJapaneseName, 5, 1'720'000'001);
    folder.makeFile(kSurrogateName, 0, 1'000'000'000);
    folder.makeFile("hidden.txt", 7, 1'600'000'003, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(fs::create_directory(fs::path(platform::Wide(folder.path("sub")))));
    folder.makeFile("sub\\inner.txt", 1, 1'500'000'000);

    EXPECT_EQ(Scan(folder.path()),
              (std::map<std::string, std::string>{{kJapaneseName, "5 1720000001"},
                                                  {kSurrogateName, "0 1000000000"},
                                                  {"hidden.txt", "7 1600000003"},
                                                  {"sub", "dir"}}));
    // Trailing separator or not, forward slashes or not: the same folder.
    EXPECT_EQ(Scan(folder.path("sub") + "\\"),
              (std::map<std::string, std::string>{{"inner.txt", "1 1500000000"}}));
    EXPECT_EQ(Scan(folder.path("sub")), Scan(folder.path() + "/sub"));
}

TEST(WindowsDirectory, ChildrenOpenRelativeToTheirParentAndIdentitiesDiffer) {
    TempFolder folder;
    ASSERT_TRUE(fs::create_directory(fs::path(platform::Wide(folder.path("子")))));
    folder.makeFile("file.txt", 1, 1'500'000'000);
    platform::Directory::Opening parent = platform::Directory::open(folder.path());
    ASSERT_TRUE(parent.directory);
    platform::Directory::Opening child = parent.directory->openChild("子");
    ASSERT_EQ(child.status, platform::OpenStatus::Opened);
    EXPECT_FALSE(child.directory->identity() == parent.directory->identity());
    EXPECT_TRUE(platform::Directory::open(folder.path("子")).directory->identity() ==
                child.directory->identity());
    EXPECT_EQ(parent.directory->openChild("file.txt").status, platform::OpenStatus::NotADirectory);
    EXPECT_EQ(parent.directory->openChild("missing").status, platform::OpenStatus::NotADirectory);
    EXPECT_EQ(platform::Directory::open(folder.path("missing")).status,
              platform::OpenStatus::NotADirectory);
}

TEST(WindowsDirectory, EmptyFolderListsNothing) {
    TempFolder folder;
    EXPECT_TRUE(Scan(folder.path()).empty());
}

TEST(WindowsLongPaths, PathsBeyondMaxPathWorkThroughThePrefix) {
    TempFolder folder;
    std::string deep = folder.path();
    for (int level = 0; level < 6; ++level) {
        deep += "\\" + std::string(50, static_cast<char>('a' + level));
        ASSERT_TRUE(fs::create_directory(fs::path(platform::LongPath(deep))));
    }
    const std::string file = deep + "\\" + kJapaneseName;
    ASSERT_GT(file.size(), 300u);
    EXPECT_TRUE(platform::LongPath(file).starts_with(L"\\\\?\\"));
    EXPECT_EQ(platform::LongPath("\\\\server\\share\\a"), L"\\\\?\\UNC\\server\\share\\a");

    ASSERT_EQ(platform::ReplaceFile(file, "long"), std::nullopt);
    EXPECT_TRUE(platform::FileExists(file));
    EXPECT_TRUE(platform::DirectoryExists(deep));
    EXPECT_EQ(platform::ReadRegularFile(file).bytes, "long");
    EXPECT_EQ(Scan(deep).size(), 1u);
}

TEST(WindowsFileReplacement, ReplacesAnOldFileAndCreatesANewOneLeavingNoTemporaryFile) {
    TempFolder folder;
    const std::string target = folder.path("trellisk.ini");
    ASSERT_EQ(platform::ReplaceFile(target, "first"), std::nullopt);
    ASSERT_EQ(platform::ReplaceFile(target, "second"), std::nullopt);
    EXPECT_EQ(platform::ReadRegularFile(target).bytes, "second");
    ASSERT_EQ(platform::KeepCopy(target, target + ".bak"), std::nullopt);
    EXPECT_EQ(platform::ReadRegularFile(target + ".bak").bytes, "second");
    EXPECT_EQ(Scan(folder.path()).size(), 2u);

    // A replacement never committed leaves the old file and nothing else.
    {
        platform::FileReplacement abandoned(target);
        abandoned.write("third");
    }
    EXPECT_EQ(platform::ReadRegularFile(target).bytes, "second");
    EXPECT_EQ(Scan(folder.path()).size(), 2u);

    EXPECT_NE(platform::ReplaceFile(folder.path(), "x"), std::nullopt);
    EXPECT_EQ(platform::ReadRegularFile(folder.path("missing")).status,
              platform::FileContent::Status::Missing);
}

TEST(WindowsSettingsFile, BackslashPathsRoundTripThroughTheFile) {
    TempFolder folder;
    ASSERT_TRUE(fs::create_directory(fs::path(platform::Wide(folder.path("設定")))));
    const std::string file = folder.path("設定\\trellisk.ini");
    Settings settings;
    settings.folders.append({"C:\\Users\\利用者\\書類\\", true, 0});
    settings.folders.append({"D:\\", false, 3});
    settings.folders.append({"\\\\server\\share\\報告\\", true, 12});
    ASSERT_EQ(SettingsFile(file).save(settings), std::nullopt);
    EXPECT_EQ(
        platform::ReadRegularFile(file).bytes,
        "[foldersv040]\r\n3\r\nC:\\Users\\利用者\\書類\\\r\nする\r\n0\r\nD:\\\r\nしない\r\n3\r\n"
        "\\\\server\\share\\報告\\\r\nする\r\n12\r\n[interval]\r\n3\r\n");

    Settings loaded;
    ASSERT_EQ(SettingsFile(file).load(loaded), std::nullopt);
    ASSERT_EQ(loaded.folders.count(), 3u);
    EXPECT_EQ(loaded.folders[0].path, "C:\\Users\\利用者\\書類\\");
    EXPECT_EQ(loaded.folders[2].path, "\\\\server\\share\\報告\\");
}

// Starts the helper that holds `file` open for writing; returns once it has it open.
class FileHolder {
public:
    explicit FileHolder(const std::string& file) {
        const std::wstring suffix =
            std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(::GetTickCount64());
        const std::wstring releaseName = L"Local\\trellisk-release-" + suffix;
        const std::wstring openedName = L"Local\\trellisk-opened-" + suffix;
        release_ = ::CreateEventW(nullptr, TRUE, FALSE, releaseName.c_str());
        opened_ = ::CreateEventW(nullptr, TRUE, FALSE, openedName.c_str());
        const std::string exe = platform::ExecutableDirectory() + TRELLISK_FILE_HOLDER;
        std::wstring command = L"\"" + platform::Wide(exe) + L"\" \"" + platform::Wide(file) +
                               L"\" " + releaseName + L" " + openedName;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        started_ = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                    nullptr, &startup, &process_);
        if (started_)
            opened = ::WaitForSingleObject(opened_, 60'000) == WAIT_OBJECT_0;
    }
    ~FileHolder() {
        letGo();
        ::CloseHandle(release_);
        ::CloseHandle(opened_);
    }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;

    // Makes the helper close the file and waits until it has ended.
    void letGo() {
        if (!started_)
            return;
        ::SetEvent(release_);
        ::WaitForSingleObject(process_.hProcess, 60'000);
        ::CloseHandle(process_.hProcess);
        ::CloseHandle(process_.hThread);
        started_ = false;
    }

    bool opened = false;

private:
    HANDLE release_ = nullptr;
    HANDLE opened_ = nullptr;
    PROCESS_INFORMATION process_{};
    bool started_ = false;
};

TEST(WindowsWriteCompleteTest, FileIsNotCompleteWhileAnotherProcessWritesIt) {
    TempFolder folder;
    const std::string file = folder.path("写真.jpg");
    folder.makeFile("写真.jpg", 3, 1'700'000'000);
    EXPECT_TRUE(platform::CanOpenFile(file));

    FileHolder holder(file);
    ASSERT_TRUE(holder.opened);
    EXPECT_FALSE(platform::CanOpenFile(file));
    // The scan still sees the file, and its growth.
    EXPECT_EQ(Scan(folder.path()).at("写真.jpg").substr(0, 2), "7 ");

    holder.letGo();
    EXPECT_TRUE(platform::CanOpenFile(file));
    EXPECT_FALSE(platform::CanOpenFile(folder.path("missing.jpg")));
    EXPECT_FALSE(platform::CanOpenFile(folder.path()));
}

TEST(WindowsExecutableDirectory, IsTheFolderOfTheRunningProgram) {
    const std::string directory = platform::ExecutableDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '\\');
    EXPECT_TRUE(platform::FileExists(directory + "win32_engine_tests.exe"));
}

// The tests run with TZ=Asia/Tokyo (wine maps it to Tokyo Standard Time, +9 h).
TEST(WindowsLocalTime, DateTextsUseTheZoneAndEvenSeconds) {
    EXPECT_EQ(DateText(DateKey(1'720'000'001)), "2024/07/03 18:46:40");
    EXPECT_EQ(DateText(DateKey(1'719'932'400)), "2024/07/03");
    EXPECT_EQ(DateTimeText(1'720'000'001), "2024/07/03 18:46:41");
}

} // namespace
} // namespace trellisk
