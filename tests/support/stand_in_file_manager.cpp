#include "tests/support/stand_in_file_manager.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMetaObject>
#include <QMutexLocker>

namespace trellisk::test {

namespace {

const QString kName = QStringLiteral("org.freedesktop.FileManager1");
const QString kPath = QStringLiteral("/org/freedesktop/FileManager1");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

QVariant WindowsValue(const QMap<QString, QStringList>& windows) {
    QDBusArgument map;
    map.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QStringList>());
    for (auto it = windows.begin(); it != windows.end(); ++it) {
        map.beginMapEntry();
        map << it.key() << it.value();
        map.endMapEntry();
    }
    map.endMap();
    return QVariant::fromValue(map);
}

} // namespace

class FileManagerObject : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != kProperties || message.member() != QStringLiteral("Get"))
            return false;
        QMutexLocker lock(&mutex);
        ++requests;
        QDBusMessage reply;
        switch (answer) {
        case StandInFileManager::Answer::Windows:
            reply = message.createReply(QVariant::fromValue(QDBusVariant(WindowsValue(windows))));
            break;
        case StandInFileManager::Answer::NoProperty:
            reply =
                message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                                         QStringLiteral("No such property"));
            break;
        case StandInFileManager::Answer::WrongType:
            reply = message.createReply(
                QVariant::fromValue(QDBusVariant(QStringList{QStringLiteral("file:///tmp")})));
            break;
        case StandInFileManager::Answer::Silence:
            return true;
        }
        connection.send(reply);
        return true;
    }

    mutable QMutex mutex;
    StandInFileManager::Answer answer = StandInFileManager::Answer::Windows;
    QMap<QString, QStringList> windows;
    int requests = 0;
};

StandInFileManager::StandInFileManager()
    : connectionName_(QStringLiteral("stand-in file manager")) {
    object_ = new FileManagerObject;
    object_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, object_, &QObject::deleteLater);
    thread_.start();
}

StandInFileManager::~StandInFileManager() {
    stop();
    QDBusConnection::disconnectFromBus(connectionName_);
    thread_.quit();
    thread_.wait();
}

bool StandInFileManager::start() {
    QDBusConnection bus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName_);
    if (!bus.isConnected())
        return false;
    return bus.registerVirtualObject(kPath, object_) && bus.registerService(kName);
}

void StandInFileManager::stop() {
    QDBusConnection bus(connectionName_);
    if (!bus.isConnected())
        return;
    bus.unregisterService(kName);
    bus.unregisterObject(kPath);
}

void StandInFileManager::setWindows(const QMap<QString, QStringList>& windows) {
    QMutexLocker lock(&object_->mutex);
    object_->windows = windows;
}

void StandInFileManager::setAnswer(Answer answer) {
    QMutexLocker lock(&object_->mutex);
    object_->answer = answer;
}

int StandInFileManager::requests() const {
    QMutexLocker lock(&object_->mutex);
    return object_->requests;
}

} // namespace trellisk::test
