#pragma once

#include "engine/log/log_recorder.h"
#include "engine/log/log_tables.h"
#include "engine/log/log_texts.h"
#include "engine/monitor/monitor.h"
#include "engine/settings/settings.h"
#include "engine/text/text_helpers.h"
#include "tests/engine/monitor/fake_front_end.h"
#include "tests/support/fake_clock.h"
#include "tests/support/temp_tree.h"
#include "tests/support/time_zone.h"
#include "tests/support/tokyo_time_test.h"

#include <gtest/gtest.h>

#include <clocale>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace trellisk::test {

// 2023/11/15 07:13:20 in Tokyo: the last-write time the scenarios give their files.
inline constexpr std::time_t kFileTime = 1700000000;

// The texts of a log row as the window shows them and the saved log writes them.
inline std::vector<std::string> Fields(const LogRow& row) {
    std::vector<std::string> texts;
    for (int column = 0; column < static_cast<int>(LogColumn::Count); ++column)
        texts.push_back(CellText(row, static_cast<LogColumn>(column)));
    return texts;
}

// A monitor over real temporary folders, with a fake front end and a fake clock; its findings
// go into the log's tables as in the program.
class MonitorTest : public TokyoTimeTest {
protected:
    MonitorTest() { std::setlocale(LC_COLLATE, "C"); }
    // No job outlives the test, whatever it left running.
    void TearDown() override {
        monitor.stop();
        settle();
    }

    void watch(const std::string& path, bool subfolders = false, int depthLimit = 0) {
        settings.folders.append({path, subfolders, depthLimit});
    }
    // Runs the posted tasks until no job runs any more.
    void settle() {
        window.runUntil([this] { return !monitor.jobRunning(); });
    }
    // Starts monitoring with the baseline taken; fails the test when it did not start.
    void start() {
        monitor.start();
        settle();
        ASSERT_TRUE(monitor.isMonitoring());
        ASSERT_TRUE(window.timerEnabled);
    }
    // One tick; the fake front end counts this cycle's tasks from 1.
    void cycle() {
        clock.advance(std::chrono::seconds(3));
        window.tasks = 0;
        monitor.tick();
        settle();
    }
    [[nodiscard]] std::string now() const { return DateTimeText(clock.now()); }
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

    [[nodiscard]] std::vector<std::vector<std::string>> logRows() const {
        std::vector<std::vector<std::string>> rows;
        for (const LogRow& row : log.entries)
            rows.push_back(Fields(row));
        return rows;
    }

    TempTree tree;
    Settings settings;
    LogData log;
    LogRecorder recorder{log, settings};
    FakeFrontEnd window;
    FakeClock clock;
    Monitor monitor{settings, window, recorder, clock}; // last: it goes first
};

} // namespace trellisk::test
