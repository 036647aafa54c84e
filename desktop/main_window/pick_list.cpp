#include "desktop/main_window/pick_list.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace trellisk {

void PickList::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()) != nullptr)
        emit picked();
}

void PickList::keyPressEvent(QKeyEvent* event) {
    QListWidgetItem* before = currentItem();
    // Enter or Space picks the current entry: a list of one entry has no other to move to.
    const int key = event->key();
    if (before != nullptr &&
        (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)) {
        setCurrentItem(before, QItemSelectionModel::ClearAndSelect);
        emit picked();
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
    if (currentItem() != nullptr && currentItem() != before)
        emit picked();
}

} // namespace trellisk
