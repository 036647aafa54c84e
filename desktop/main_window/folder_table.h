#pragma once

#include <QTableView>

namespace trellisk {

// The table of watched folders; Enter on a row asks for it as a double-click does.
class FolderTable : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

signals:
    // Enter or Return was pressed with `current` the current cell (possibly invalid).
    void enterPressed(const QModelIndex& current);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace trellisk
