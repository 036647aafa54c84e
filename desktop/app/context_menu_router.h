#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

namespace trellisk {

// Sends a right-click anywhere inside the given windows to the window itself, so that its own
// menu opens over every control; only a text field being edited keeps its edit menu. Watches
// the whole application, since controls are created and replaced after it is installed.
class ContextMenuRouter : public QObject {
    Q_OBJECT
public:
    ContextMenuRouter(QList<QWidget*> windows, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QPointer<QWidget>> windows_;
};

} // namespace trellisk
