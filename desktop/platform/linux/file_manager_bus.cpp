#include "desktop/platform/file_manager_bus.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QStringList>

namespace trellisk::platform {

namespace {

// window object path -> URIs
constexpr auto kWindowsSignature = "a{sas}";

std::vector<FileManagerWindow> WindowsOf(const QDBusArgument& map) {
    std::vector<FileManagerWindow> windows;
    map.beginMap();
    while (!map.atEnd()) {
        QString name;
        QStringList locations;
        map.beginMapEntry();
        map >> name >> locations;
        map.endMapEntry();
        FileManagerWindow& window = windows.emplace_back();
        window.name = name.toStdString();
        for (const QString& location : locations)
            window.locations.push_back(location.toStdString());
    }
    map.endMap();
    return windows;
}

} // namespace

std::vector<FileManagerWindow> FileManagerBusWindows() {
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return {};
    QDBusMessage get = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.freedesktop.FileManager1")
        << QStringLiteral("OpenWindowsWithLocations");
    // Otherwise the bus would start an installed file manager just to ask it.
    get.setAutoStartService(false);
    const QDBusMessage reply =
        bus.call(get, QDBus::Block, static_cast<int>(kFileManagerBusTimeout.count()));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return {};
    const QVariant value = reply.arguments().front().value<QDBusVariant>().variant();
    if (value.metaType() != QMetaType::fromType<QDBusArgument>())
        return {};
    const auto map = value.value<QDBusArgument>();
    if (map.currentSignature() != QLatin1String(kWindowsSignature))
        return {};
    return WindowsOf(map);
}

} // namespace trellisk::platform
