#pragma once

#include <QListWidget>

namespace trellisk {

// A list whose entries are picked by the user: every left click on an entry and every key
// that moves the selection to another entry picks it, also an entry picked before. Changes
// made by the program pick nothing.
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
