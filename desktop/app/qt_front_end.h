#pragma once

#include "engine/monitor/front_end.h"

#include <QObject>

class LogWindow;

namespace trellisk {

class MainWindow;

// What monitoring asks of the program, carried out on the Qt windows. Tasks that a job posts
// run in the event loop of the window thread, queued in order.
class QtFrontEnd final : public FrontEnd {
public:
    // The windows are created after the engine that holds this front end.
    void attach(MainWindow& main, LogWindow& log);

    void post(std::function<void()> task) override;
    void showMessage(const std::string& text) override;
    void askYesNo(const std::string& text, std::function<void(bool yes)> answer) override;
    void withdrawQuestion() override;
    void setTrayPicture(TrayPicture picture) override;
    void setMonitorMenuEnabled(bool enabled) override;
    void setTimerEnabled(bool enabled) override;
    void setStatusText(const std::string& text) override;
    void setBaseTimeText(const std::string& text) override;
    void setClearBaseAtStart(bool checked) override;
    void showLogWindow() override;
    void showMainWindow() override;

private:
    QObject tasks_; // lives on the window thread; its queued calls go with it
    MainWindow* main_ = nullptr;
    LogWindow* log_ = nullptr;
};

} // namespace trellisk
