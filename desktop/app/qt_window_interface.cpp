#include "desktop/app/qt_window_interface.h"

#include "desktop/dialogs/dialogs.h"
#include "desktop/log_window/log_window.h"
#include "desktop/main_window/main_window.h"
#include "desktop/tray/tray_icon.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QLabel>
#include <QMenu>

namespace trellisk {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void QtWindowInterface::attach(MainWindow& main, LogWindow& log) {
    main_ = &main;
    log_ = &log;
}

void QtWindowInterface::pump() {
    if (lastPump_.isValid() && lastPump_.elapsed() < kPumpSpacingMs)
        return;
    QCoreApplication::processEvents();
    lastPump_.start();
}

void QtWindowInterface::keepAlive() {
    if (lastPump_.isValid() && lastPump_.elapsed() < kPumpSpacingMs)
        return;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    lastPump_.start();
}

void QtWindowInterface::showMessage(const std::string& text) {
    main_->dialogs().message(main_, Text(text));
}

bool QtWindowInterface::askYesNo(const std::string& text) {
    return main_->dialogs().yesNo(main_, Text(text));
}

void QtWindowInterface::setTrayPicture(TrayPicture picture) {
    if (TrayIcon* tray = main_->trayIcon())
        tray->setPicture(picture);
}

void QtWindowInterface::setMonitorMenuEnabled(bool enabled) {
    main_->controls().monitorMenu->menuAction()->setEnabled(enabled);
}

void QtWindowInterface::setTimerEnabled(bool enabled) {
    if (enabled)
        main_->cycleTimer().start();
    else
        main_->cycleTimer().stop();
}

void QtWindowInterface::setStatusText(const std::string& text) {
    main_->controls().statusLabel->setText(Text(text));
}

void QtWindowInterface::setBaseTimeText(const std::string& text) {
    main_->controls().baseTimeLabel->setText(Text(text));
}

void QtWindowInterface::setClearBaseAtStart(bool checked) {
    main_->controls().clearBaseAtStartBox->setChecked(checked);
}

void QtWindowInterface::showLogWindow() {
    log_->show();
}

void QtWindowInterface::showMainWindow() {
    main_->show();
}

} // namespace trellisk
