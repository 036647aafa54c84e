#pragma once

#include <QDir>
#include <QUrl>
#include <QWidget>

class QLabel;

namespace trellisk {

// The About window: name and version, a one-line notice and a link to the program's
// documentation. Not modal; its close box hides it.
class AboutWindow : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` is the window it is centred over when first shown; `address` the link,
    // which is left out when empty.
    AboutWindow(QWidget* mainWindow, QUrl address);

    [[nodiscard]] QUrl address() const { return address_; }

public slots:
    void openDocumentation();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* mainWindow_;
    QUrl address_;
    QLabel* link_ = nullptr;
    bool placed_ = false;
};

// The program's documentation: README.md in the executable's directory (a portable copy, a
// build folder), else the installed one; empty when neither exists.
[[nodiscard]] QUrl DocumentationAddress(const QDir& executableDirectory);

} // namespace trellisk
