// Settings replacement on Windows when ReplaceFileW fails part way: the failures that wine
// cannot be made to give are played by a stand-in that leaves the files as Windows documents.
#include "engine/platform/file_replacement.h"
#include "engine/platform/file_system.h"
#include "engine/platform/win32/put_in_place.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <set>
#include <string>

namespace trellisk::platform {
namespace {

using test::TempTree;

std::set<std::string> Names(const TempTree& tree) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(test::FsPath(tree.root())))
        names.insert(test::Utf8(entry.path().filename()));
    return names;
}

// Without a backup name the old file is gone and the new one keeps its own name.
BOOL WINAPI UnableToMoveReplacement(LPCWSTR replaced, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
    ::DeleteFileW(replaced);
    ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
    return FALSE;
}

// Both files keep their names.
BOOL WINAPI UnableToRemoveReplaced(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
    ::SetLastError(ERROR_UNABLE_TO_REMOVE_REPLACED);
    return FALSE;
}

// The old file went to another name (the backup's, were one given); the new one keeps its own.
BOOL WINAPI UnableToMoveReplacement2(LPCWSTR replaced, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) {
    ::MoveFileW(replaced, (std::wstring(replaced) + L".aside").c_str());
    ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
    return FALSE;
}

struct PartialFailure {
    const char* name;
    ReplaceFileCall replace;
    std::optional<DWORD> reported;         // the error given back; none: the move succeeded
    std::set<std::string> filesAfterwards; // with their contents below
    std::string targetContent;             // of "trellisk.ini" when it is there
};

void PrintTo(const PartialFailure& failure, std::ostream* out) {
    *out << failure.name;
}

class PartialReplaceFailureTest : public testing::TestWithParam<PartialFailure> {};

TEST_P(PartialReplaceFailureTest, MovesOnlyWhereNothingOldIsLeftToLose) {
    const PartialFailure& c = GetParam();
    const TempTree tree;
    const std::string target = tree.path("trellisk.ini");
    const std::string replacement = tree.path("trellisk.ini.new");
    ASSERT_EQ(ReplaceFile(target, "old"), std::nullopt);
    ASSERT_EQ(ReplaceFile(replacement, "new"), std::nullopt);

    const std::optional<std::string> error = PutInPlace(replacement, target, c.replace);
    const std::optional<std::string> expected =
        c.reported ? std::optional(ErrorText(*c.reported)) : std::nullopt;
    EXPECT_EQ(error, expected);
    EXPECT_EQ(Names(tree), c.filesAfterwards);
    if (c.filesAfterwards.contains("trellisk.ini")) {
        EXPECT_EQ(ReadRegularFile(target).bytes, c.targetContent);
    }
    if (c.filesAfterwards.contains("trellisk.ini.aside")) {
        EXPECT_EQ(ReadRegularFile(target + ".aside").bytes, "old");
    }
}

INSTANTIATE_TEST_SUITE_P(Windows, PartialReplaceFailureTest,
                         testing::Values(PartialFailure{"UnableToMoveReplacement",
                                                        UnableToMoveReplacement,
                                                        std::nullopt,
                                                        {"trellisk.ini"},
                                                        "new"},
                                         PartialFailure{"UnableToRemoveReplaced",
                                                        UnableToRemoveReplaced,
                                                        ERROR_UNABLE_TO_REMOVE_REPLACED,
                                                        {"trellisk.ini", "trellisk.ini.new"},
                                                        "old"},
                                         PartialFailure{"UnableToMoveReplacement2",
                                                        UnableToMoveReplacement2,
                                                        ERROR_UNABLE_TO_MOVE_REPLACEMENT_2,
                                                        {"trellisk.ini.aside", "trellisk.ini.new"},
                                                        ""}),
                         [](const testing::TestParamInfo<PartialFailure>& param) {
                             return std::string(param.param.name);
                         });

// A file held open without leave to delete it cannot be replaced: the call fails (on Windows
// with ERROR_UNABLE_TO_REMOVE_REPLACED, under wine with a sharing violation), the old content
// stays and the new file goes.
TEST(WindowsFileReplacement, FileHeldOpenKeepsItsContentAndTheFailureIsReported) {
    const TempTree tree;
    const std::string target = tree.path("trellisk.ini");
    ASSERT_EQ(ReplaceFile(target, "old"), std::nullopt);
    const HANDLE holder =
        ::CreateFileW(LongPath(target).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    const std::optional<std::string> error = ReplaceFile(target, "new");
    ::CloseHandle(holder);
    ASSERT_NE(error, std::nullopt);
    EXPECT_FALSE(error->empty());
    EXPECT_EQ(ReadRegularFile(target).bytes, "old");
    for (const std::string& name : Names(tree))
        EXPECT_FALSE(name.starts_with("trellisk.ini.")) << name << " left behind";

    ASSERT_EQ(ReplaceFile(target, "new"), std::nullopt) << "once let go it is replaced";
    EXPECT_EQ(ReadRegularFile(target).bytes, "new");
}

} // namespace
} // namespace trellisk::platform
