#include "engine/text/text_helpers.h"

#include "tests/support/test_paths.h"
#include "tests/support/time_zone.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace trellisk {
namespace {

TEST(SizeText, RightAlignsInElevenCharactersAndNeverCuts) {
    const struct {
        std::uint64_t size;
        const char* text;
    } cases[] = {
        {0, "          0"},
        {1024, "       1024"},
        {12345678901, "12345678901"},
        {123456789012, "123456789012"},
        {18446744073709551615u, "18446744073709551615"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SizeText(c.size), c.text) << c.size;
}

TEST(SizeChangeText, PutsTheSignBeforeTheDigits) {
    EXPECT_EQ(SizeChangeText(-100), "       -100");
    EXPECT_EQ(SizeChangeText(4000), "       4000");
    EXPECT_EQ(SizeChangeText(-12345678901), "-12345678901");
}

TEST(ParseSize, ReadsSizeTextsBackAndRefusesOtherText) {
    const struct {
        const char* text;
        std::optional<std::int64_t> value;
    } cases[] = {
        {"          0", 0},
        {"       1024", 1024},
        {"123456789012", 123456789012},
        {"       -100", -100},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"12a", std::nullopt},
        {"  1 2", std::nullopt},
        {"abc", std::nullopt},
        {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseSize(c.text), c.value) << '"' << c.text << '"';
}

TEST(FormatThousands, GroupsDigitsByThree) {
    const struct {
        std::int64_t value;
        const char* text;
    } cases[] = {
        {0, "0"},   {999, "999"}, {1000, "1,000"}, {123456, "123,456"}, {1234567, "1,234,567"},
        {-1, "-1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatThousands(c.value), c.text) << c.value;
}

TEST(WithTrailingSeparator, AppendsTheSeparatorOnlyWhenMissing) {
    const struct {
        const char* path;
        const char* result;
    } cases[] = {{"/", "/"}, {"/a", "/a/"}, {"/a/", "/a/"}, {"", "/"}};
    for (const auto& c : cases)
        EXPECT_EQ(WithTrailingSeparator(test::NativePath(c.path)), test::NativePath(c.result))
            << '"' << c.path << '"';
}

TEST(FolderDepth, CountsFromTheWatchedFolderAndOneMoreBelowTheRoot) {
    const struct {
        const char* root;
        const char* path;
        int depth;
    } cases[] = {
        {"/work/", "/work/a", 0},
        {"/work/", "/work/a/b", 1},
        {"/work/", "/work/a/b/c", 2},
        {"/", "/a", 1},
        {"/", "/a/b", 2},
        {"/my work/", "/my work/a b", 0},
        {"/my work/", "/my work/a b/c d", 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderDepth(test::AbsolutePath(c.root), test::AbsolutePath(c.path)), c.depth)
            << c.root << " " << c.path;
}

// Seconds since 1970 of a wall-clock time in Tokyo, which keeps +9 hours all year.
std::time_t TokyoTime(int year, unsigned month, unsigned day, int hour, int minute, int second) {
    using namespace std::chrono;
    const sys_days date =
        std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day};
    return (sys_seconds{date} + hours{hour - 9} + minutes{minute} + seconds{second})
        .time_since_epoch()
        .count();
}

const std::string kTokyoUnavailable = test::kZoneFixedAtStart + "; run with TZ=Asia/Tokyo";

TEST(DateText, RoundsSecondsDownToEvenAndDropsTheTimeAtMidnight) {
    const test::ScopedTimeZone zone("Asia/Tokyo");
    if (!zone.active())
        GTEST_SKIP() << kTokyoUnavailable;
    const struct {
        int hour, minute, second;
        const char* text;
    } cases[] = {
        {0, 0, 0, "2006/03/05"},           {0, 0, 1, "2006/03/05"},
        {0, 0, 2, "2006/03/05 00:00:02"},  {9, 5, 7, "2006/03/05 09:05:06"},
        {19, 5, 7, "2006/03/05 19:05:06"}, {23, 59, 59, "2006/03/05 23:59:58"},
    };
    for (const auto& c : cases) {
        const std::time_t time = TokyoTime(2006, 3, 5, c.hour, c.minute, c.second);
        EXPECT_EQ(DateText(DateKey(time)), c.text) << c.hour << ":" << c.minute << ":" << c.second;
    }
}

TEST(DateTimeText, WritesTheHourUnpaddedAndWholeSeconds) {
    const test::ScopedTimeZone zone("Asia/Tokyo");
    if (!zone.active())
        GTEST_SKIP() << kTokyoUnavailable;
    EXPECT_EQ(DateTimeText(TokyoTime(2006, 3, 5, 9, 5, 7)), "2006/03/05 9:05:07");
    EXPECT_EQ(DateTimeText(TokyoTime(2006, 3, 5, 19, 5, 7)), "2006/03/05 19:05:07");
    EXPECT_EQ(DateTimeText(TokyoTime(2006, 3, 5, 0, 0, 0)), "2006/03/05");
}

TEST(DateKey, FloorsToEvenSecondsAlsoBeforeTheEpoch) {
    const struct {
        std::int64_t seconds, key;
    } cases[] = {{0, 0}, {1, 0}, {2, 2}, {1141517107, 1141517106}, {-1, -2}, {-2, -2}, {-3, -4}};
    for (const auto& c : cases)
        EXPECT_EQ(DateKey(c.seconds), c.key) << c.seconds;
}

TEST(DateKey, DoesNotChangeWithDaylightSavingTime) {
    // A summer file time seen once under summer time and once under standard time: its local
    // text moves by an hour, its key does not.
    const std::time_t summer = 1152000000; // 2006-07-04 08:00:00 UTC
    std::string summerText;
    std::int64_t summerKey = 0;
    {
        const test::ScopedTimeZone zone("EST5EDT");
        if (!zone.active())
            GTEST_SKIP() << test::kZoneFixedAtStart;
        summerText = DateText(DateKey(summer));
        summerKey = DateKey(summer);
    }
    const test::ScopedTimeZone zone("EST5");
    ASSERT_TRUE(zone.active());
    EXPECT_NE(DateText(DateKey(summer)), summerText);
    EXPECT_EQ(DateKey(summer), summerKey);
}

} // namespace
} // namespace trellisk
