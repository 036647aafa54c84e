#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace trellisk {

// The program's boxes and file dialogs, behind one seam so that tests can answer them. Each is
// modal to its window only and returns at once: the answer comes later through its callback,
// and the tray menu and the monitoring cycles go on meanwhile.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A plain message with an OK button; `closed` runs when it is dismissed.
    virtual void message(QWidget* parent, const QString& text,
                         std::function<void()> closed = {}) = 0;
    // An error reported by a file operation; `closed` runs when it is dismissed.
    virtual void error(QWidget* parent, const QString& text, std::function<void()> closed = {}) = 0;
    // A question with Yes and No buttons; `answer` gets true for Yes.
    virtual void ask(QWidget* parent, const QString& text,
                     std::function<void(bool yes)> answer) = 0;
    // The folder-selection dialog; `chosen` gets the folder, and is not called on cancel.
    virtual void chooseFolder(QWidget* parent,
                              std::function<void(const QString& folder)> chosen) = 0;
    // The save-file dialog offering `initialName`, with no filter, no default suffix and no
    // overwrite question; `chosen` gets the path, and is not called on cancel.
    virtual void chooseSaveFile(QWidget* parent, const QString& initialName,
                                std::function<void(const QString& path)> chosen) = 0;
    // Closes the open questions without answering them.
    virtual void withdrawQuestions() = 0;
    // Closes every open box and dialog without answering any.
    virtual void closeAll() = 0;
};

class QtDialogs final : public QObject, public Dialogs {
    Q_OBJECT
public:
    void message(QWidget* parent, const QString& text, std::function<void()> closed) override;
    void error(QWidget* parent, const QString& text, std::function<void()> closed) override;
    void ask(QWidget* parent, const QString& text, std::function<void(bool yes)> answer) override;
    void chooseFolder(QWidget* parent, std::function<void(const QString& folder)> chosen) override;
    void chooseSaveFile(QWidget* parent, const QString& initialName,
                        std::function<void(const QString& path)> chosen) override;
    void withdrawQuestions() override;
    void closeAll() override;

private:
    // Opens the dialog modal to its parent; `finished` gets its result once it is answered.
    void open(QDialog* dialog, std::function<void(int result)> finished);
    static void closeUnanswered(QList<QPointer<QDialog>>& dialogs, QObject* receiver);

    QList<QPointer<QDialog>> open_;
    QList<QPointer<QDialog>> questions_;
};

} // namespace trellisk
