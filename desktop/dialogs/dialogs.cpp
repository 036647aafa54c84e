#include "desktop/dialogs/dialogs.h"

#include "desktop/dialogs/folder_dialog.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>

#include <utility>

namespace trellisk {

namespace {

QString Title() {
    return QCoreApplication::applicationName();
}

} // namespace

void QtDialogs::open(QDialog* dialog, std::function<void(int result)> finished) {
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // Modal to its window only: the tray menu, and with it stop and exit, stays usable.
    dialog->setWindowModality(dialog->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    connect(dialog, &QDialog::finished, this, [finished = std::move(finished)](int result) {
        if (finished)
            finished(result);
    });
    open_.removeAll(nullptr);
    open_.append(dialog);
    dialog->open();
}

void QtDialogs::message(QWidget* parent, const QString& text, std::function<void()> closed) {
    open(new QMessageBox(QMessageBox::NoIcon, Title(), text, QMessageBox::Ok, parent),
         [closed = std::move(closed)](int) {
             if (closed)
                 closed();
         });
}

void QtDialogs::error(QWidget* parent, const QString& text, std::function<void()> closed) {
    open(new QMessageBox(QMessageBox::Critical, Title(), text, QMessageBox::Ok, parent),
         [closed = std::move(closed)](int) {
             if (closed)
                 closed();
         });
}

void QtDialogs::ask(QWidget* parent, const QString& text, std::function<void(bool yes)> answer) {
    auto* box = new QMessageBox(QMessageBox::Question, Title(), text,
                                QMessageBox::Yes | QMessageBox::No, parent);
    questions_.removeAll(nullptr);
    questions_.append(box);
    open(box, [answer = std::move(answer)](int result) { answer(result == QMessageBox::Yes); });
}

void QtDialogs::chooseFolder(QWidget* parent, std::function<void(const QString& folder)> chosen) {
    auto* dialog = new FolderDialog(parent, [this](QWidget* owner, const QString& refusal) {
        open(new QMessageBox(QMessageBox::Question, Title(), refusal, QMessageBox::Ok, owner), {});
    });
    open(dialog, [dialog, chosen = std::move(chosen)](int result) {
        if (result == QDialog::Accepted && !dialog->selectedFiles().isEmpty())
            chosen(dialog->selectedFiles().first());
    });
}

void QtDialogs::chooseSaveFile(QWidget* parent, const QString& initialName,
                               std::function<void(const QString& path)> chosen) {
    auto* dialog = new QFileDialog(parent);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setOption(QFileDialog::DontConfirmOverwrite);
    dialog->selectFile(initialName);
    open(dialog, [dialog, chosen = std::move(chosen)](int result) {
        if (result == QDialog::Accepted && !dialog->selectedFiles().value(0).isEmpty())
            chosen(dialog->selectedFiles().first());
    });
}

void QtDialogs::closeUnanswered(QList<QPointer<QDialog>>& dialogs, QObject* receiver) {
    // Taken first: closing one may open another (the folder dialog's refusal).
    const QList<QPointer<QDialog>> closing = std::exchange(dialogs, {});
    for (const QPointer<QDialog>& dialog : closing) {
        if (dialog.isNull())
            continue;
        dialog->disconnect(receiver);
        dialog->reject();
    }
}

void QtDialogs::withdrawQuestions() {
    closeUnanswered(questions_, this);
}

void QtDialogs::closeAll() {
    questions_.clear();
    closeUnanswered(open_, this);
}

} // namespace trellisk
