#pragma once

#include "desktop/app/qt_window_interface.h"
#include "engine/log/log_tables.h"
#include "engine/monitor/monitor.h"
#include "engine/settings/settings.h"

#include <QUrl>

#include <memory>
#include <string>

class TForm2;

namespace trellisk {

class Clock;
class Dialogs;
class TForm1;
class TForm3;

struct ProgramOptions {
    std::string settingsFileName;
    bool trayAvailable = false;
    QUrl documentation;
};

// Owns the data and the engine for the whole run, and the three windows over them. The
// event loop ends when the main window has closed.
class Program {
public:
    // Sets the user-interface font, then creates Form1 (which loads the settings), Form2 and
    // Form3; none is shown.
    Program(ProgramOptions options, Dialogs& dialogs, const Clock& clock);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    [[nodiscard]] TForm1& form1() const { return *form1_; }
    [[nodiscard]] TForm2& form2() const { return *form2_; }
    [[nodiscard]] TForm3& form3() const { return *form3_; }
    [[nodiscard]] Settings& settings() { return settings_; }
    [[nodiscard]] LogData& log() { return log_; }
    [[nodiscard]] Monitor& monitor() { return monitor_; }
    [[nodiscard]] QtWindowInterface& windowInterface() { return windowInterface_; }

private:
    // The data outlives the windows that show it.
    Settings settings_;
    LogData log_;
    QtWindowInterface windowInterface_;
    Monitor monitor_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
};

} // namespace trellisk
