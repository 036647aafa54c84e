#pragma once

#include "log/log_tables.h"
#include "monitor/window_interface.h"
#include "platform/clock.h"
#include "settings/settings.h"
#include "snapshot/dir_index.h"
#include "snapshot/file_table.h"

namespace trellisk {

inline constexpr const char* kStatusStopped = "状態：停止中";
inline constexpr const char* kStatusMonitoring = "状態：監視中";

// Starts and stops monitoring and runs one monitoring cycle per timer tick, over the main
// window's settings and the log window's tables.
class Monitor {
public:
    Monitor(Settings& settings, LogData& log, WindowInterface& window, const Clock& clock);
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;

    void StartMonitoring();
    void StopMonitoring();
    // One monitoring cycle; the program calls it on every tick of the interval timer.
    void Timer1Timer();

    [[nodiscard]] bool Monitoring() const { return monitoring_; }
    // A baseline or a cycle is running (and pumping events): the program must not end now.
    [[nodiscard]] bool busy() const { return busy_; }

    // The comparison base, for tests and benchmarks.
    [[nodiscard]] const DirIndex& olddirListView() const { return olddirListView_; }
    [[nodiscard]] const FileTable& alloldListView() const { return alloldListView_; }

private:
    // (declared in full by the monitoring engine)
    Settings& settings_;
    LogData& log_;
    WindowInterface& window_;
    const Clock& clock_;
    bool monitoring_ = false;
    bool busy_ = false;
    DirIndex olddirListView_;
    FileTable alloldListView_;
};

} // namespace trellisk
