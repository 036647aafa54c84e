#pragma once

#include "desktop/app/program.h"
#include "engine/platform/clock.h"
#include "tests/support/recording_dialogs.h"

#include <QTemporaryDir>
#include <QUrl>

#include <memory>

namespace trellisk {
class MainWindow;
struct MainWindowControls;
} // namespace trellisk

namespace trellisk::test {

// The whole program over a settings file in a fresh temporary directory, with its boxes
// recorded by RecordingDialogs. The program is made by start() and ended by stop() (or the
// fixture's end), so a test can start it again over the same settings file.
class ProgramFixture {
public:
    // `clock` outlives the fixture; the system clock when none is given.
    explicit ProgramFixture(const Clock* clock = nullptr);
    ~ProgramFixture();
    ProgramFixture(const ProgramFixture&) = delete;
    ProgramFixture& operator=(const ProgramFixture&) = delete;

    [[nodiscard]] bool isValid() const { return dir_.isValid(); }
    [[nodiscard]] QString directory() const { return dir_.path(); }
    // A path inside the temporary directory.
    [[nodiscard]] QString path(const QString& relative) const { return dir_.filePath(relative); }
    [[nodiscard]] QString settingsPath() const;
    // A folder inside the temporary directory, made with its parents.
    QString makeFolder(const QString& relative) const;
    // Empties the temporary directory.
    void clearDirectory() const;

    // Creates the program (no window shown) over `settingsFile`, settingsPath() when empty.
    Program& start(bool trayAvailable = false, const QUrl& documentation = QUrl(),
                   const QString& settingsFile = QString(), bool followTray = false);
    void stop();

    [[nodiscard]] Program& program() const { return *program_; }
    [[nodiscard]] MainWindow& mainWindow() const;
    [[nodiscard]] const MainWindowControls& controls() const;

    RecordingDialogs dialogs;

private:
    QTemporaryDir dir_;
    SystemClock systemClock_;
    const Clock& clock_;
    std::unique_ptr<Program> program_;
};

} // namespace trellisk::test
