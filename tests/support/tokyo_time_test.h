#pragma once

#include "tests/support/skip_reasons.h"
#include "tests/support/time_zone.h"

#include <gtest/gtest.h>

namespace trellisk::test {

// A test whose dates and times are read in Tokyo time; skipped where that zone cannot be set.
class TokyoTimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!zone_.active())
            GTEST_SKIP() << kZoneFixedAtStart << "; run with TZ=Asia/Tokyo";
    }

private:
    ScopedTimeZone zone_{"Asia/Tokyo"};
};

} // namespace trellisk::test
