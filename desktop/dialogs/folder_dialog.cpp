#include "desktop/dialogs/folder_dialog.h"

#include <QFileInfo>
#include <QLineEdit>

namespace trellisk {

std::optional<QString> MissingFolderMessage(const QString& typed, const QString& path) {
    if (!path.isEmpty() && QFileInfo(path).isDir())
        return std::nullopt;
    return (typed.isEmpty() ? path : typed) + QStringLiteral(" ディレクトリは存在しません");
}

FolderDialog::FolderDialog(QWidget* parent, Refuse refuse)
    : QFileDialog(parent), refuse_(std::move(refuse)) {
    // The platform's own dialog cannot be stopped from closing on a name that is no folder.
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::ShowDirsOnly);
    setFileMode(QFileDialog::Directory);
    setWindowTitle(QStringLiteral("フォルダを選択して下さい。"));
}

QString FolderDialog::typedText() const {
    const auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    return edit ? edit->text() : QString();
}

void FolderDialog::accept() {
    if (const auto message = MissingFolderMessage(typedText(), selectedFiles().value(0))) {
        refuse_(this, *message);
        return;
    }
    QFileDialog::accept();
}

} // namespace trellisk
