#pragma once

#include <functional>
#include <string>

namespace trellisk {

// Tray pictures: stopped, waiting for the next tick, taking a snapshot.
enum class TrayPicture { Stopped, Monitoring, Busy };

// What monitoring asks of the program that drives it: the desktop's windows, a command-line
// front end, or a test's fake. Every call but post() is made on the front end's own thread,
// and none of them waits for the user.
class FrontEnd {
public:
    virtual ~FrontEnd() = default;

    // Runs `task` on the front end's thread later, after the tasks posted before it. May be
    // called from any thread.
    virtual void post(std::function<void()> task) = 0;

    // A plain message with an OK button.
    virtual void showMessage(const std::string& text) = 0;
    // A question with Yes and No buttons; `answer` is called with true for Yes, on the front
    // end's thread, unless the question is withdrawn first.
    virtual void askYesNo(const std::string& text, std::function<void(bool yes)> answer) = 0;
    // The question asked last is no longer wanted: it goes without an answer.
    virtual void withdrawQuestion() = 0;

    virtual void setTrayPicture(TrayPicture picture) = 0;
    // The main window's monitor menu (start, stop).
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
