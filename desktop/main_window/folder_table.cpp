#include "desktop/main_window/folder_table.h"

#include <QKeyEvent>

namespace trellisk {

void FolderTable::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace trellisk
