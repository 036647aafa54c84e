#include "desktop/main_window/pick_list.h"

#include <QMouseEvent>

namespace trellisk {

void PickList::mousePressEvent(QMouseEvent* event) {
    QListWidget::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && itemAt(event->position().toPoint()) != nullptr)
        emit picked();
}

void PickList::keyPressEvent(QKeyEvent* event) {
    const QListWidgetItem* before = currentItem();
    QListWidget::keyPressEvent(event);
    if (currentItem() != nullptr && currentItem() != before)
        emit picked();
}

} // namespace trellisk
