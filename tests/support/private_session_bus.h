#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace trellisk::test {

// A session bus of the test's own, made the process's session bus: a dbus-daemon that can
// start one program on demand, as a desktop's bus starts an installed file manager, with a
// stand-in that only leaves a mark. Make it before anything in the process uses the session
// bus, which Qt connects to once.
class PrivateSessionBus {
public:
    // `activatableName` is the bus name whose owner the bus would start.
    explicit PrivateSessionBus(const QString& activatableName);
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    [[nodiscard]] bool isValid() const { return !address_.isEmpty(); }
    // True once the bus has started the program for the name.
    [[nodiscard]] bool startedActivatable() const;

private:
    QTemporaryDir dir_;
    QProcess daemon_;
    QString address_;
};

} // namespace trellisk::test
