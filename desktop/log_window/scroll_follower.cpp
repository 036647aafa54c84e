#include "desktop/log_window/scroll_follower.h"

#include "desktop/models/log_table_models.h"

#include <QAbstractItemView>
#include <QEvent>

namespace trellisk {

ScrollFollower::ScrollFollower(QAbstractItemView* view, TableModel* model)
    : QObject(view), view_(view) {
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &ScrollFollower::follow);
    connect(model, &TableModel::scrollRequested, this, &ScrollFollower::request);
    view->installEventFilter(this);
}

bool ScrollFollower::eventFilter(QObject* watched, QEvent* event) {
    if (watched == view_ && event->type() == QEvent::Show && pending_.isValid())
        timer_.start();
    return QObject::eventFilter(watched, event);
}

void ScrollFollower::request(int row) {
    pending_ = view_->model()->index(row, 0);
    if (!timer_.isActive())
        timer_.start();
}

void ScrollFollower::follow() {
    if (!view_->isVisible())
        return;
    if (pending_.isValid())
        view_->scrollTo(pending_, QAbstractItemView::EnsureVisible);
    pending_ = QPersistentModelIndex();
}

} // namespace trellisk
