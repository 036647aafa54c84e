#include "tests/support/program_fixture.h"

#include "desktop/main_window/main_window.h"

#include <QDir>

namespace trellisk::test {

ProgramFixture::ProgramFixture(const Clock* clock) : clock_(clock ? *clock : systemClock_) {}

ProgramFixture::~ProgramFixture() = default;

QString ProgramFixture::settingsPath() const {
    return dir_.filePath(QStringLiteral("trellisk.ini"));
}

QString ProgramFixture::makeFolder(const QString& relative) const {
    const QString folder = dir_.filePath(relative);
    QDir().mkpath(folder);
    return folder;
}

void ProgramFixture::clearDirectory() const {
    QDir(dir_.path()).removeRecursively();
    QDir().mkpath(dir_.path());
}

Program& ProgramFixture::start(bool trayAvailable, const QUrl& documentation,
                               const QString& settingsFile, bool followTray) {
    const QString file = settingsFile.isEmpty() ? settingsPath() : settingsFile;
    program_ = std::make_unique<Program>(
        ProgramOptions{file.toStdString(), trayAvailable, documentation, followTray}, dialogs,
        clock_);
    return *program_;
}

void ProgramFixture::stop() {
    program_.reset();
}

MainWindow& ProgramFixture::mainWindow() const {
    return program_->mainWindow();
}

const MainWindowControls& ProgramFixture::controls() const {
    return program_->mainWindow().controls();
}

} // namespace trellisk::test
