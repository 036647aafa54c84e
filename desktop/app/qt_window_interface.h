#pragma once

#include "engine/monitor/window_interface.h"

#include <QElapsedTimer>

class LogWindow;

namespace trellisk {

class MainWindow;

// What the monitoring engine asks of the windows, carried out on the Qt windows.
class QtWindowInterface final : public WindowInterface {
public:
    // The windows are created after the engine that holds this interface.
    void attach(MainWindow& main, LogWindow& log);

    // The engine pumps once per file row in places: events are processed at most about
    // every kPumpSpacingMs, which keeps the windows responsive at a fraction of the cost.
    static constexpr int kPumpSpacingMs = 15;

    void pump() override;
    void keepAlive() override;
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void setTrayPicture(TrayPicture picture) override;
    void setMonitorMenuEnabled(bool enabled) override;
    void setTimerEnabled(bool enabled) override;
    void setStatusText(const std::string& text) override;
    void setBaseTimeText(const std::string& text) override;
    void setClearBaseAtStart(bool checked) override;
    void showLogWindow() override;
    void showMainWindow() override;

private:
    MainWindow* main_ = nullptr;
    LogWindow* log_ = nullptr;
    QElapsedTimer lastPump_;
};

} // namespace trellisk
