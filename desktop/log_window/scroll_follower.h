#pragma once

#include <QObject>
#include <QPersistentModelIndex>
#include <QTimer>

class QAbstractItemView;

namespace trellisk {

class TableModel;

// Brings the rows that a model asks for into view, at most once per turn of the event loop:
// a batch of findings that appends thousands of rows scrolls once, to the last of them.
// The pending row is held as a persistent index so that rows inserted before it in the
// meantime (the sorted table) do not make it scroll to the wrong row. A view on a hidden tab
// has no layout to scroll, so its request waits until the view is shown.
class ScrollFollower : public QObject {
    Q_OBJECT
public:
    ScrollFollower(QAbstractItemView* view, TableModel* model);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void request(int row);
    void follow();

    QAbstractItemView* view_;
    QPersistentModelIndex pending_;
    QTimer timer_;
};

} // namespace trellisk
