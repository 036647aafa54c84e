#pragma once

#include "engine/monitor/window_interface.h"

#include <QObject>
#include <QSystemTrayIcon>

class QMenu;

namespace trellisk {

// The notification-area icon: the program's icon at start, then the picture of the
// monitoring state; tool tip "Trellisk"; the tray menu on a right click.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    // picture() before the first setPicture().
    static constexpr int kProgramPicture = -1;

    TrayIcon(QMenu* menu, QObject* parent = nullptr);

    void setPicture(TrayPicture picture);
    [[nodiscard]] int picture() const { return picture_; }
    [[nodiscard]] QIcon icon() const { return icon_.icon(); }

    void hide() { icon_.hide(); }
    [[nodiscard]] bool isVisible() const { return icon_.isVisible(); }

signals:
    void leftClicked();

private:
    QSystemTrayIcon icon_;
    int picture_ = kProgramPicture;
};

} // namespace trellisk
