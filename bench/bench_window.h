#pragma once

#include "engine/monitor/window_interface.h"

namespace trellisk::bench {

// A window that does nothing: the engine runs as it would with no events pending, and the
// answer to the long-baseline question is "no, carry on".
class NullWindow final : public WindowInterface {
public:
    void pump() override {}
    void keepAlive() override {}
    void showMessage(const std::string&) override {}
    bool askYesNo(const std::string&) override { return false; }
    void setTrayPicture(TrayPicture) override {}
    void setMonitorMenuEnabled(bool) override {}
    void setTimerEnabled(bool) override {}
    void setStatusText(const std::string&) override {}
    void setBaseTimeText(const std::string&) override {}
    void setClearBaseAtStart(bool) override {}
    void showLogWindow() override {}
    void showMainWindow() override {}
};

} // namespace trellisk::bench
