#pragma once

#include "engine/monitor/window_interface.h"

#include <QElapsedTimer>

class TForm2;

namespace trellisk {

class TForm1;

// What the monitoring engine asks of the windows, carried out on the Qt windows.
class QtWindowInterface final : public WindowInterface {
public:
    // The windows are created after the engine that holds this interface.
    void attach(TForm1& main, TForm2& log);

    // The engine pumps once per file row in places: events are processed at most about
    // every kPumpSpacingMs, which keeps the windows responsive at a fraction of the cost.
    static constexpr int kPumpSpacingMs = 15;

    void pump() override;
    void showMessage(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void setTrayPicture(TrayPicture picture) override;
    void setMonitorMenuEnabled(bool enabled) override;
    void setTimerEnabled(bool enabled) override;
    void setStatusText(const std::string& text) override;
    void setBaseTimeText(const std::string& text) override;
    void setRestartClear(bool checked) override;
    void showLogWindow() override;
    void showMainWindow() override;

private:
    TForm1* main_ = nullptr;
    TForm2* log_ = nullptr;
    QElapsedTimer lastPump_;
};

} // namespace trellisk
