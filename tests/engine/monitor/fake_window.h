#pragma once

#include "engine/monitor/window_interface.h"
#include "tests/support/fake_clock.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trellisk::test {

// Records what the engine asks of the windows and runs "user commands" at chosen pumps, as
// the program would run them while it processes events.
class FakeWindow : public WindowInterface {
public:
    void pump() override {
        ++pumps;
        if (onPump)
            onPump(pumps);
    }
    void keepAlive() override { ++keepAlives; }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        if (onAsk)
            onAsk();
        if (answers.empty())
            return false;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    void setTrayPicture(TrayPicture picture) override { trayPictures.push_back(picture); }
    void setMonitorMenuEnabled(bool enabled) override {
        monitorMenuEnabled = enabled;
        monitorMenuHistory.push_back(enabled);
    }
    void setTimerEnabled(bool enabled) override { timerEnabled = enabled; }
    void setStatusText(const std::string& text) override { statusText = text; }
    void setBaseTimeText(const std::string& text) override { baseTimeText = text; }
    void setClearBaseAtStart(bool checked) override { restartClear = checked; }
    void showLogWindow() override { logWindowShown = true; }
    void showMainWindow() override { mainWindowShown = true; }

    [[nodiscard]] std::optional<TrayPicture> tray() const {
        if (trayPictures.empty())
            return std::nullopt;
        return trayPictures.back();
    }

    int pumps = 0;
    int keepAlives = 0;
    std::function<void(int pump)> onPump;
    std::function<void()> onAsk;
    std::deque<bool> answers; // answers to the questions; No when none is left
    std::vector<std::string> messages;
    std::vector<std::string> questions;
    std::vector<TrayPicture> trayPictures;
    std::vector<bool> monitorMenuHistory;
    bool monitorMenuEnabled = true;
    bool timerEnabled = false;
    std::string statusText;
    std::string baseTimeText;
    bool restartClear = false;
    bool logWindowShown = false;
    bool mainWindowShown = false;
};

} // namespace trellisk::test
