#include "app/dialogs.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace trellisk {

namespace {

QString Title() {
    return QCoreApplication::applicationName();
}

} // namespace

void QtDialogs::message(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool QtDialogs::yesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, Title(), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::error(QWidget* parent, const QString& text) {
    QMessageBox::critical(parent, Title(), text);
}

} // namespace trellisk
