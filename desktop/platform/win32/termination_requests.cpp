#include "desktop/platform/termination_requests.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <windows.h>

#include <chrono>

namespace trellisk::platform {

namespace {

// How long Windows waits for a program's answer before it offers to end the program anyway.
constexpr std::chrono::seconds kSessionEndPatience{5};

} // namespace

// Windows asks every top-level window first (WM_QUERYENDSESSION), and the session may still be
// kept then; that question is left to Qt, which answers yes. WM_ENDSESSION with wParam set says
// that the session ends: it comes once per window, and the first one starts the end.
class TerminationRequests::Listener final : public QAbstractNativeEventFilter {
public:
    explicit Listener(TerminationRequests& owner) : owner_(owner) {
        if (QCoreApplication* application = QCoreApplication::instance())
            application->installNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        // Windows sends the message to the window procedures (Qt's "generic" messages).
        if (ending_ || type != "windows_generic_MSG")
            return false;
        const auto* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_ENDSESSION || msg->wParam == FALSE)
            return false;
        ending_ = true;
        emit owner_.requested();
        // The process is ended once this message is answered. A program that could not end at
        // once (a cycle still unwinding) ends through the event loop; a loop started after the
        // program has quit returns at once.
        QEventLoop untilQuit;
        QTimer::singleShot(kSessionEndPatience, &untilQuit, &QEventLoop::quit);
        untilQuit.exec();
        return false; // Qt's own handling of the session end follows
    }

private:
    TerminationRequests& owner_;
    bool ending_ = false;
};

TerminationRequests::TerminationRequests(QObject* parent)
    : QObject(parent), listener_(std::make_unique<Listener>(*this)) {}

TerminationRequests::~TerminationRequests() = default;

} // namespace trellisk::platform
