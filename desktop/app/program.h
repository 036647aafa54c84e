#pragma once

#include "desktop/app/qt_front_end.h"
#include "engine/log/log_recorder.h"
#include "engine/log/log_tables.h"
#include "engine/monitor/monitor.h"
#include "engine/settings/settings.h"

#include <QUrl>

#include <memory>
#include <string>

class LogWindow;

namespace trellisk {

class Clock;
class Dialogs;
class MainWindow;
class AboutWindow;

struct ProgramOptions {
    std::string settingsFileName;
    bool trayAvailable = false;
    QUrl documentation;
    // Keep asking the desktop whether it has a tray, and add or remove the icon as it changes.
    bool followTray = false;
};

// The name, desktop entry and icon that docks and task bars group and label the windows by:
// the class half of WM_CLASS is "Trellisk" (the instance half is the executable's name,
// "trellisk"). Called before the first window is created.
void SetProgramIdentity();

// Owns the data and the engine for the whole run, and the three windows over them. The
// event loop ends when the main window has closed. The windows go before the engine: a job
// still ending then reports to nobody.
class Program {
public:
    // Sets the user-interface font, then creates the main window (which loads the settings),
    // the log window and the About window; none is shown.
    Program(ProgramOptions options, Dialogs& dialogs, const Clock& clock);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    [[nodiscard]] MainWindow& mainWindow() const { return *mainWindow_; }
    [[nodiscard]] LogWindow& logWindow() const { return *logWindow_; }
    [[nodiscard]] AboutWindow& aboutWindow() const { return *aboutWindow_; }
    [[nodiscard]] Settings& settings() { return settings_; }
    [[nodiscard]] LogData& log() { return log_; }
    [[nodiscard]] Monitor& monitor() { return monitor_; }
    [[nodiscard]] QtFrontEnd& frontEnd() { return frontEnd_; }

private:
    // The data outlives the windows that show it, and the engine's job (stopped and joined
    // first) everything it reports to.
    Settings settings_;
    LogData log_;
    LogRecorder recorder_{log_, settings_};
    QtFrontEnd frontEnd_;
    Monitor monitor_;
    std::unique_ptr<MainWindow> mainWindow_;
    std::unique_ptr<LogWindow> logWindow_;
    std::unique_ptr<AboutWindow> aboutWindow_;
};

} // namespace trellisk
