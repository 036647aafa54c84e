#include "engine/settings/settings.h"

#include <gtest/gtest.h>

namespace trellisk {
namespace {

struct DepthCase {
    const char* text;
    int expected;
};

class DepthLimitTest : public testing::TestWithParam<DepthCase> {};

TEST_P(DepthLimitTest, ReadsIntegersAndTreatsEverythingElseAsNoLimit) {
    const FolderEntry entry{"/data/", kSubMonitorYes, GetParam().text};
    EXPECT_EQ(DepthLimit(entry), GetParam().expected) << "depth text '" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(Texts, DepthLimitTest,
                         testing::Values(DepthCase{"0", 0}, DepthCase{"1", 1},
                                         DepthCase{"100", 100}, DepthCase{"007", 7},
                                         DepthCase{"2147483647", 2147483647},
                                         DepthCase{"2147483648", 0}, DepthCase{"", 0},
                                         DepthCase{"-1", -1}, DepthCase{"+3", 3},
                                         DepthCase{" 3", 0}, DepthCase{"3 ", 0},
                                         DepthCase{"1.5", 0}, DepthCase{"abc", 0}));

} // namespace
} // namespace trellisk
