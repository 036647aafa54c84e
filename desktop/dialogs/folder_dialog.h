#pragma once

#include <QFileDialog>

#include <functional>
#include <optional>

namespace trellisk {

// The refusal shown when the folder the user typed or chose is not an existing folder, or
// nothing when `path` (what the dialog made of `typed`) is one.
[[nodiscard]] std::optional<QString> MissingFolderMessage(const QString& typed,
                                                          const QString& path);

// The folder-selection dialog. A typed name that is no folder is refused with its own
// message, shown over the dialog, and the dialog stays open.
class FolderDialog : public QFileDialog {
    Q_OBJECT
public:
    using Refuse = std::function<void(QWidget* dialog, const QString& message)>;

    FolderDialog(QWidget* parent, Refuse refuse);

    // The text in the name field.
    [[nodiscard]] QString typedText() const;

public slots:
    void accept() override;

private:
    Refuse refuse_;
};

} // namespace trellisk
