#pragma once

#include "engine/monitor/front_end.h"

#include <QObject>
#include <QSystemTrayIcon>

#include <optional>

class QMenu;

namespace trellisk {

// The notification-area icon: the program's icon at start, then the picture of the
// monitoring state; tool tip "Trellisk"; the tray menu on a right click.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    TrayIcon(QMenu* menu, QObject* parent = nullptr);

    void setPicture(TrayPicture picture);
    // The state shown; none while the icon is still the program's own.
    [[nodiscard]] std::optional<TrayPicture> picture() const { return picture_; }
    [[nodiscard]] QIcon icon() const { return icon_.icon(); }

    void hide() { icon_.hide(); }
    [[nodiscard]] bool isVisible() const { return icon_.isVisible(); }

signals:
    void leftClicked();

private:
    QSystemTrayIcon icon_;
    std::optional<TrayPicture> picture_;
};

} // namespace trellisk
