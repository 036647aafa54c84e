#pragma once

#include <QString>

#include <optional>

class QWidget;

namespace trellisk {

// The program's modal boxes, behind one seam so that tests can answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A plain message with an OK button.
    virtual void message(QWidget* parent, const QString& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool yesNo(QWidget* parent, const QString& text) = 0;
    // An error reported by a file operation.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // The folder-selection dialog; the chosen folder, or nothing when cancelled.
    virtual std::optional<QString> chooseFolder(QWidget* parent) = 0;
    // The save-file dialog offering `initialName`, with no filter, no default suffix and no
    // overwrite question; the chosen path, or nothing when cancelled.
    virtual std::optional<QString> chooseSaveFile(QWidget* parent, const QString& initialName) = 0;
};

class QtDialogs final : public Dialogs {
public:
    void message(QWidget* parent, const QString& text) override;
    bool yesNo(QWidget* parent, const QString& text) override;
    void error(QWidget* parent, const QString& text) override;
    std::optional<QString> chooseFolder(QWidget* parent) override;
    std::optional<QString> chooseSaveFile(QWidget* parent, const QString& initialName) override;
};

} // namespace trellisk
