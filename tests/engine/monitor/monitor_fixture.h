#pragma once

#include "engine/log/log_tables.h"
#include "engine/monitor/monitor.h"
#include "engine/settings/settings.h"
#include "engine/text/text_helpers.h"
#include "tests/engine/monitor/fake_window.h"
#include "tests/support/temp_tree.h"
#include "tests/support/time_zone.h"

#include <gtest/gtest.h>

#include <clocale>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace trellisk::test {

// 2023/11/15 07:13:20 in Tokyo: the last-write time the scenarios give their files.
inline constexpr std::time_t kFileTime = 1700000000;

// A monitor over real temporary folders, with fake windows and a fake clock.
class MonitorTest : public ::testing::Test {
protected:
    MonitorTest() { std::setlocale(LC_COLLATE, "C"); }
    void SetUp() override {
        if (!zone_.active())
            GTEST_SKIP() << kZoneFixedAtStart << "; run with TZ=Asia/Tokyo";
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
    // Renames an entry of the tree; false when the system kept the old name, as wine does
    // (reporting success) when the names differ only in case.
    [[nodiscard]] bool rename(const std::string& from, const std::string& to) const {
        const std::filesystem::path renamed = FsPath(tree.path(to));
        std::filesystem::rename(FsPath(tree.path(from)), renamed);
        for (const auto& entry : std::filesystem::directory_iterator(renamed.parent_path()))
            if (entry.path().filename() == renamed.filename())
                return true;
        return false;
    }

    static std::vector<std::string> fields(const LogRow& r) {
        return {r.file, r.kind, r.size, r.sizeChange, r.updateTime, r.detectionTime, r.folder};
    }
    [[nodiscard]] std::vector<std::vector<std::string>> logRows() const {
        std::vector<std::vector<std::string>> rows;
        for (const LogRow& row : log.entries)
            rows.push_back(fields(row));
        return rows;
    }

    ScopedTimeZone zone_{"Asia/Tokyo"};
    TempTree tree;
    Settings settings;
    LogData log;
    FakeWindow window;
    FakeClock clock;
    Monitor monitor{settings, log, window, clock};
};

} // namespace trellisk::test
