#pragma once

#include <string>

namespace trellisk {

// Tray pictures: stopped, waiting for the next tick, taking a snapshot.
enum class TrayPicture { Stopped, Monitoring, Busy };

// What the monitoring engine asks of the windows. The program implements it with Qt; tests
// implement it with a fake that can run user commands where the program would pump events.
class WindowInterface {
public:
    virtual ~WindowInterface() = default;

    // Lets pending window events run (user commands may run here).
    virtual void pump() = 0;
    // Lets the windows repaint and events other than user input run; no user command runs
    // here (user input waits for the next pump).
    virtual void keepAlive() = 0;
    // A plain message box with an OK button.
    virtual void showMessage(const std::string& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    virtual void setTrayPicture(TrayPicture picture) = 0;
    // The main menu's monitor menu (start, stop).
    virtual void setMonitorMenuEnabled(bool enabled) = 0;
    // The interval timer whose ticks run the monitoring cycle; enabling restarts the interval.
    virtual void setTimerEnabled(bool enabled) = 0;
    // The main window's status line and comparison-base time.
    virtual void setStatusText(const std::string& text) = 0;
    virtual void setBaseTimeText(const std::string& text) = 0;
    // The option "clear the comparison base at start" was changed by the engine.
    virtual void setClearBaseAtStart(bool checked) = 0;
    virtual void showLogWindow() = 0;
    virtual void showMainWindow() = 0;
};

} // namespace trellisk
