#include "desktop/app/program.h"

#include "desktop/about/about_window.h"
#include "desktop/app/context_menu_router.h"
#include "desktop/appearance/appearance.h"
#include "desktop/appearance/tray_pictures.h"
#include "desktop/log_window/log_window.h"
#include "desktop/main_window/main_window.h"
#include "desktop/tray/tray_availability.h"

#include <QApplication>
#include <QSystemTrayIcon>

namespace trellisk {

namespace {

constexpr int kTrayCheckIntervalMs = 1000;

} // namespace

void SetProgramIdentity() {
    QApplication::setApplicationName(QStringLiteral("Trellisk"));
    QGuiApplication::setDesktopFileName(QStringLiteral("trellisk"));
    QApplication::setWindowIcon(ProgramIcon());
}

Program::Program(ProgramOptions options, Dialogs& dialogs, const Clock& clock)
    : monitor_(settings_, frontEnd_, recorder_, clock) {
    QApplication::setFont(UiFont(12));
    mainWindow_ =
        std::make_unique<MainWindow>(settings_, monitor_, log_, clock, dialogs,
                                     std::move(options.settingsFileName), options.trayAvailable);
    logWindow_ = std::make_unique<LogWindow>(log_);
    logWindow_->setObjectName(QStringLiteral("logWindow"));
    logWindow_->setWindowIcon(ProgramIcon());
    aboutWindow_ =
        std::make_unique<AboutWindow>(mainWindow_.get(), std::move(options.documentation));
    frontEnd_.attach(*mainWindow_, *logWindow_);
    mainWindow_->attachWindows(*logWindow_, *aboutWindow_);
    new ContextMenuRouter({mainWindow_.get(), logWindow_.get()}, mainWindow_.get());
    if (options.followTray) {
        auto* tray =
            new TrayAvailability(&QSystemTrayIcon::isSystemTrayAvailable, options.trayAvailable,
                                 kTrayCheckIntervalMs, mainWindow_.get());
        QObject::connect(tray, &TrayAvailability::changed, mainWindow_.get(),
                         &MainWindow::setTrayAvailable);
    }
    // exit(), not quit(): quit() asks every window to close, and the log window refuses.
    QObject::connect(mainWindow_.get(), &MainWindow::closed, mainWindow_.get(),
                     [] { QCoreApplication::exit(0); });
}

Program::~Program() = default;

} // namespace trellisk
