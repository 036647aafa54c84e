#include "desktop/platform/termination_requests.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace trellisk::platform {

namespace {

// A signal handler may only write to a descriptor; the event loop reads the other end.
int signalPipe[2] = {-1, -1};

void Forward(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(signalPipe[0], &byte, 1);
}

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

} // namespace

class TerminationRequests::Listener {
public:
    explicit Listener(TerminationRequests& owner) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, signalPipe) != 0)
            return; // the default action stays: the program is ended at once
        notifier_ = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &owner);
        QObject::connect(notifier_, &QSocketNotifier::activated, &owner, [&owner] {
            char bytes[16];
            while (::read(signalPipe[1], bytes, sizeof bytes) > 0) {
            }
            emit owner.requested();
        });
        struct sigaction action {};
        action.sa_handler = Forward;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int signal : kSignals)
            ::sigaction(signal, &action, nullptr);
    }

    ~Listener() {
        if (notifier_ == nullptr)
            return;
        for (const int signal : kSignals)
            std::signal(signal, SIG_DFL);
        ::close(signalPipe[0]);
        ::close(signalPipe[1]);
        signalPipe[0] = signalPipe[1] = -1;
    }

    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

private:
    QSocketNotifier* notifier_ = nullptr; // owned by the TerminationRequests
};

TerminationRequests::TerminationRequests(QObject* parent)
    : QObject(parent), listener_(std::make_unique<Listener>(*this)) {}

TerminationRequests::~TerminationRequests() = default;

} // namespace trellisk::platform
