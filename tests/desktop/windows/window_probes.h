#pragma once

#include "desktop/log_window/log_window.h"

#include <QAbstractItemModel>
#include <QMenu>
#include <QMenuBar>
#include <QStringList>
#include <QTableView>

namespace trellisk::test {

// The item of a main-menu menu, found by their captions as a user would.
inline QAction* MenuAction(QMenuBar* bar, const QString& menu, const QString& item) {
    for (QAction* top : bar->actions()) {
        if (top->text() != menu || top->menu() == nullptr)
            continue;
        for (QAction* action : top->menu()->actions()) {
            if (action->text() == item)
                return action;
        }
    }
    return nullptr;
}

// The rows of a log window table as its model shows them.
inline QList<QStringList> Rows(const LogWindow& logWindow, const char* table) {
    QList<QStringList> rows;
    const auto* view = logWindow.findChild<QTableView*>(QString::fromLatin1(table));
    if (view == nullptr)
        return rows;
    const QAbstractItemModel* model = view->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        rows << cells;
    }
    return rows;
}

} // namespace trellisk::test
