#pragma once

#include <QObject>

#include <memory>

namespace trellisk::platform {

// Turns the ways by which the desktop or the user ends a program into a Qt signal, so that the
// program ends the way its exit command does, with its settings saved, instead of being killed
// outright. On Linux these are the signals SIGTERM (logout), SIGHUP (its terminal goes) and
// SIGINT. On Windows it is the end of the session (WM_ENDSESSION), and as Windows ends the
// process as soon as its windows have answered, requested() is emitted before the answer and
// the answer waits, processing events, until the program has quit (for a few seconds at most).
class TerminationRequests : public QObject {
    Q_OBJECT
public:
    explicit TerminationRequests(QObject* parent = nullptr);
    ~TerminationRequests() override;

signals:
    void requested();

private:
    class Listener; // the platform's side
    std::unique_ptr<Listener> listener_;
};

} // namespace trellisk::platform
