#pragma once

#include "engine/log/log_tables.h"
#include "engine/monitor/monitor.h"
#include "engine/settings/settings.h"
#include "engine/text/text_helpers.h"
#include "tests/engine/monitor/fake_window.h"
#include "tests/support/temp_tree.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace trellisk::test {

// 2023/11/15 07:13:20 in Tokyo: the last-write time the scenarios give their files.
inline constexpr std::time_t kFileTime = 1700000000;

// A monitor over real temporary folders, with fake windows and a fake clock.
class MonitorTest : public ::testing::Test {
protected:
    MonitorTest() {
        ::setenv("TZ", "Asia/Tokyo", 1);
        ::tzset();
        std::setlocale(LC_COLLATE, "C");
    }
    ~MonitorTest() override {
        ::unsetenv("TZ");
        ::tzset();
    }

    void watch(const std::string& path, const std::string& subMonitor = kSubMonitorNo,
               const std::string& depth = "0") {
        settings.folders.append({path, subMonitor, depth});
    }
    // Starts monitoring with the baseline taken; fails the test when it did not start.
    void start() {
        monitor.startMonitoring();
        ASSERT_TRUE(monitor.isMonitoring());
        ASSERT_TRUE(window.timerEnabled);
    }
    // One tick; the fake window counts this cycle's pumps from 1.
    void cycle() {
        clock.advance(std::chrono::seconds(3));
        window.pumps = 0;
        monitor.runCycle();
    }
    [[nodiscard]] std::string now() const { return DateTimeText(clock.wall); }

    static std::vector<std::string> fields(const LogRow& r) {
        return {r.file, r.kind, r.size, r.sizeChange, r.updateTime, r.detectionTime, r.folder};
    }
    [[nodiscard]] std::vector<std::vector<std::string>> logRows() const {
        std::vector<std::vector<std::string>> rows;
        for (const LogRow& row : log.entries)
            rows.push_back(fields(row));
        return rows;
    }

    TempTree tree;
    Settings settings;
    LogData log;
    FakeWindow window;
    FakeClock clock;
    Monitor monitor{settings, log, window, clock};
};

} // namespace trellisk::test
