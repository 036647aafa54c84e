#include "desktop/about/about_window.h"
#include "desktop/app/program.h"
#include "desktop/dialogs/dialogs.h"
#include "desktop/main_window/main_window.h"
#include "desktop/platform/termination_requests.h"
#include "engine/platform/clock.h"
#include "engine/settings/settings_location.h"

#include <QApplication>
#include <QSystemTrayIcon>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    trellisk::SetProgramIdentity();
    // A hidden main window with the log window closed is still a running program.
    QApplication::setQuitOnLastWindowClosed(false);

    trellisk::QtDialogs dialogs;
    trellisk::SystemClock clock;
    trellisk::Program program(
        {trellisk::SettingsFileName(), QSystemTrayIcon::isSystemTrayAvailable(),
         trellisk::DocumentationAddress(QApplication::applicationDirPath()), true},
        dialogs, clock);
    program.mainWindow().show();
    // Ended from outside (logout, kill): leave as the exit command does, settings saved.
    trellisk::platform::TerminationRequests termination;
    QObject::connect(&termination, &trellisk::platform::TerminationRequests::requested,
                     &program.mainWindow(), &trellisk::MainWindow::endBySignal);
    const int status = QApplication::exec();
    // The settings are saved by now. A monitoring job held up by a file system that does not
    // answer (a network share gone away) must not keep the program: it ends without waiting
    // for the job, and without freeing what the job still uses.
    if (!program.monitor().waitForJobEnd(std::chrono::seconds(1))) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}
