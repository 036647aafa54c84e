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
