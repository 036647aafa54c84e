#include "desktop/dialogs/dialogs.h"

#include "desktop/dialogs/folder_dialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace trellisk {

namespace {

QString Title() {
    return QCoreApplication::applicationName();
}

// Modal to its window only: the tray menu, and with it stop and exit, stays usable while a
// box is open (the monitoring engine's 15-second question counts on that).
int ShowBox(QMessageBox::Icon icon, QWidget* parent, const QString& text,
            QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, Title(), text, buttons, parent);
    box.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    return box.exec();
}

} // namespace

void QtDialogs::message(QWidget* parent, const QString& text) {
    ShowBox(QMessageBox::NoIcon, parent, text, QMessageBox::Ok);
}

bool QtDialogs::yesNo(QWidget* parent, const QString& text) {
    return ShowBox(QMessageBox::Question, parent, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void QtDialogs::error(QWidget* parent, const QString& text) {
    ShowBox(QMessageBox::Critical, parent, text, QMessageBox::Ok);
}

std::optional<QString> QtDialogs::chooseFolder(QWidget* parent) {
    FolderDialog dialog(parent, [&dialog](const QString& text) {
        QMessageBox box(QMessageBox::Question, Title(), text, QMessageBox::Ok, &dialog);
        box.exec();
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtDialogs::chooseSaveFile(QWidget* parent, const QString& initialName) {
    const QString path = QFileDialog::getSaveFileName(parent, QString(), initialName, QString(),
                                                      nullptr, QFileDialog::DontConfirmOverwrite);
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

} // namespace trellisk
