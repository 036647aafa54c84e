#include "tests/support/private_session_bus.h"

#include "tests/support/test_files.h"

#include <QDir>
#include <QFile>

namespace trellisk::test {

PrivateSessionBus::PrivateSessionBus(const QString& activatableName) {
    if (!dir_.isValid() || !QDir(dir_.path()).mkdir(QStringLiteral("services")))
        return;
    const QString services = dir_.filePath(QStringLiteral("services"));
    const QString config =
        QStringLiteral(
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
            "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig>\n"
            "  <type>session</type>\n"
            "  <listen>unix:dir=%1</listen>\n"
            "  <auth>EXTERNAL</auth>\n"
            "  <servicedir>%2</servicedir>\n"
            "  <policy context=\"default\">\n"
            "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
            "    <allow eavesdrop=\"true\"/>\n"
            "    <allow own=\"*\"/>\n"
            "  </policy>\n"
            "</busconfig>\n")
            .arg(dir_.path(), services);
    const QString service = QStringLiteral("[D-BUS Service]\nName=%1\nExec=/usr/bin/touch %2\n")
                                .arg(activatableName, dir_.filePath(QStringLiteral("started")));
    if (!WriteFile(dir_.filePath(QStringLiteral("bus.conf")), config.toUtf8()) ||
        !WriteFile(services + QLatin1Char('/') + activatableName + QStringLiteral(".service"),
                   service.toUtf8()))
        return;

    daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + dir_.filePath(QStringLiteral("bus.conf")),
                   QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    if (!daemon_.waitForStarted())
        return;
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(10000)) {
    }
    const QString address = QString::fromUtf8(daemon_.readLine()).trimmed();
    if (address.isEmpty())
        return;
    qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
    address_ = address;
}

PrivateSessionBus::~PrivateSessionBus() {
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        daemon_.waitForFinished();
    }
}

bool PrivateSessionBus::startedActivatable() const {
    return QFile::exists(dir_.filePath(QStringLiteral("started")));
}

} // namespace trellisk::test
