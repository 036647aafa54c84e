#pragma once

#include <QListWidget>

namespace trellisk {

// A list whose entries are picked by the user: every left click on an entry, every key that
// moves the selection to another entry, and Enter or Space on the current entry pick it, also
// an entry picked before. Changes made by the program pick nothing.
class PickList : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;

signals:
    // The picked entry is the selected one.
    void picked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace trellisk
