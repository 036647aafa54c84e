#include "desktop/app/qt_front_end.h"

#include "desktop/dialogs/dialogs.h"
#include "desktop/log_window/log_window.h"
#include "desktop/main_window/main_window.h"
#include "desktop/tray/tray_icon.h"

#include <QCheckBox>
#include <QLabel>
#include <QMenu>
#include <QMetaObject>

namespace trellisk {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

void QtFrontEnd::attach(MainWindow& main, LogWindow& log) {
    main_ = &main;
    log_ = &log;
}

void QtFrontEnd::post(std::function<void()> task) {
    QMetaObject::invokeMethod(&tasks_, std::move(task), Qt::QueuedConnection);
}

void QtFrontEnd::showMessage(const std::string& text) {
    main_->dialogs().message(main_, Text(text));
}

void QtFrontEnd::askYesNo(const std::string& text, std::function<void(bool yes)> answer) {
    main_->dialogs().ask(main_, Text(text), std::move(answer));
}

void QtFrontEnd::withdrawQuestion() {
    main_->dialogs().withdrawQuestions();
}

void QtFrontEnd::setTrayPicture(TrayPicture picture) {
    if (TrayIcon* tray = main_->trayIcon())
        tray->setPicture(picture);
}

void QtFrontEnd::setMonitorMenuEnabled(bool enabled) {
    main_->controls().monitorMenu->menuAction()->setEnabled(enabled);
}

void QtFrontEnd::setTimerEnabled(bool enabled) {
    if (enabled)
        main_->cycleTimer().start();
    else
        main_->cycleTimer().stop();
}

void QtFrontEnd::setStatusText(const std::string& text) {
    main_->controls().statusLabel->setText(Text(text));
}

void QtFrontEnd::setBaseTimeText(const std::string& text) {
    main_->controls().baseTimeLabel->setText(Text(text));
}

void QtFrontEnd::setClearBaseAtStart(bool checked) {
    main_->controls().clearBaseAtStartBox->setChecked(checked);
}

void QtFrontEnd::showLogWindow() {
    log_->show();
}

void QtFrontEnd::showMainWindow() {
    main_->show();
}

} // namespace trellisk
