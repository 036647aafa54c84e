#pragma once

#include <QObject>

class QSocketNotifier;

namespace trellisk::platform {

// Turns the signals by which the desktop or the user ends a program (SIGTERM at logout,
// SIGHUP when its terminal goes, SIGINT) into a Qt signal, so that the program ends the way
// its exit command does, with its settings saved, instead of being killed outright.
class TerminationRequests : public QObject {
    Q_OBJECT
public:
    explicit TerminationRequests(QObject* parent = nullptr);
    ~TerminationRequests() override;

signals:
    void requested();

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace trellisk::platform
