#include "desktop/tray/tray_icon.h"

#include "desktop/appearance/tray_pictures.h"

#include <QMenu>

namespace trellisk {

TrayIcon::TrayIcon(QMenu* menu, QObject* parent) : QObject(parent) {
    icon_.setIcon(ProgramIcon());
    icon_.setToolTip(QStringLiteral("Trellisk"));
    icon_.setContextMenu(menu);
    connect(&icon_, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    emit leftClicked();
            });
    icon_.show();
}

void TrayIcon::setPicture(TrayPicture picture) {
    icon_.setIcon(TrayPictureIcon(picture));
    picture_ = picture;
}

} // namespace trellisk
