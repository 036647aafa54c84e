#include "desktop/app/context_menu_router.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>

namespace trellisk {

namespace {

// A text field that takes typing and has the focus. A spin box passes the right-click on its
// field up to itself, and shows the field's edit menu from there.
bool IsTextBeingEdited(const QWidget& widget) {
    const auto* edit = qobject_cast<const QLineEdit*>(&widget);
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(&widget))
        edit = spin->findChild<const QLineEdit*>();
    return edit != nullptr && !edit->isReadOnly() && edit->hasFocus();
}

} // namespace

ContextMenuRouter::ContextMenuRouter(QList<QWidget*> windows, QObject* parent) : QObject(parent) {
    for (QWidget* window : windows)
        windows_.append(window);
    qApp->installEventFilter(this);
}

bool ContextMenuRouter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ContextMenu || !watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    QWidget* window = widget->window();
    if (widget == window || !windows_.contains(window) || IsTextBeingEdited(*widget))
        return false;
    const auto* request = static_cast<QContextMenuEvent*>(event);
    QContextMenuEvent forwarded(request->reason(), window->mapFromGlobal(request->globalPos()),
                                request->globalPos(), request->modifiers());
    QCoreApplication::sendEvent(window, &forwarded);
    return true;
}

} // namespace trellisk
