#pragma once

#include <QUrl>
#include <QWidget>

class QLabel;

namespace trellisk {

// The About window: name and version, a one-line notice and a link to the program's
// documentation. Not modal; its close box hides it.
class TForm3 : public QWidget {
    Q_OBJECT
public:
    // `mainWindow` is the window it is centred over when first shown; `address` the link.
    TForm3(QWidget* mainWindow, QUrl address);

    [[nodiscard]] QUrl address() const { return address_; }

public slots:
    void Label2Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* mainWindow_;
    QUrl address_;
    QLabel* Label2_ = nullptr;
    bool placed_ = false;
};

// The program's documentation: README.md beside the executable.
[[nodiscard]] QUrl DocumentationAddress();

} // namespace trellisk
