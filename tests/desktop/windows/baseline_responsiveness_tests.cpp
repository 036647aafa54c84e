// A baseline under a real X server: it runs as a job off the window thread, so while it runs
// the windows paint and answer the window manager's ping, and a real mouse click (xdotool)
// takes effect at once.
#include "desktop/app/program.h"
#include "desktop/main_window/main_window.h"
#include "engine/monitor/monitor.h"
#include "tests/support/fake_clock.h"
#include "tests/support/program_fixture.h"
#include "tests/support/test_files.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTest>
#include <QThread>

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>

using namespace trellisk;

namespace {

// A button that reports each time it is painted.
class ProbeButton : public QPushButton {
public:
    using QPushButton::QPushButton;
    std::function<void()> painted;

protected:
    void paintEvent(QPaintEvent* event) override {
        QPushButton::paintEvent(event);
        if (painted)
            painted();
    }
};

// Moves the real pointer to the point of the screen and clicks the left button there.
bool ClickAt(QPoint at) {
    return QProcess::execute(QStringLiteral("xdotool"),
                             {QStringLiteral("mousemove"), QString::number(at.x()),
                              QString::number(at.y()), QStringLiteral("click"),
                              QStringLiteral("1")}) == 0;
}

} // namespace

class BaselineResponsivenessTest : public QObject {
    Q_OBJECT

private:
    // A connection of the test's own that pings the program's windows as a window manager does.
    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = 0;
    xcb_atom_t protocols_ = 0;
    xcb_atom_t ping_ = 0;
    std::uint32_t nextCookie_ = 1;
    QSet<std::uint32_t> answered_;
    test::FakeClock slowClock_;
    test::ProgramFixture fixture_{&slowClock_};

    xcb_atom_t atom(const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t value = reply ? reply->atom : 0;
        std::free(reply);
        return value;
    }

    // A round trip: everything sent before it has been carried out by the server.
    void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    // Sends _NET_WM_PING to the window; returns the cookie its answer will carry.
    std::uint32_t ping(xcb_window_t window) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 32;
        event.window = window;
        event.type = protocols_;
        event.data.data32[0] = ping_;
        event.data.data32[1] = nextCookie_; // stands in for the timestamp, which it echoes
        event.data.data32[2] = window;
        xcb_send_event(c_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&event));
        sync();
        return nextCookie_++;
    }

    // Whether the answer to the ping has reached the root window, waiting up to `waitMs`.
    bool answered(std::uint32_t cookie, int waitMs = 0) {
        QElapsedTimer waited;
        waited.start();
        for (;;) {
            readEvents();
            if (answered_.contains(cookie) || waited.elapsed() >= waitMs)
                return answered_.contains(cookie);
            QThread::msleep(1);
        }
    }
    void readEvents() {
        while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
            if ((event->response_type & 0x7f) == XCB_CLIENT_MESSAGE) {
                const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event);
                if (message->window == root_ && message->data.data32[0] == ping_)
                    answered_.insert(message->data.data32[1]);
            }
            std::free(event);
        }
    }

    void startProgram(const QString& watched) {
        const QByteArray settings = "[foldersv040]\r\n1\r\n" + watched.toUtf8() +
                                    "/\r\nする\r\n0\r\n[interval]\r\n3600\r\n";
        QVERIFY(test::WriteFile(fixture_.settingsPath(), settings));
        fixture_.dialogs = {};
        fixture_.dialogs.holdAnswers = true;
        MainWindow& mainWindow = fixture_.start().mainWindow();
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
    }

    // Shown in the screen's bottom right corner, clear of the program's windows.
    static void showProbe(QWidget& probe) {
        probe.resize(160, 60);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        probe.move(screen.bottomRight() - QPoint(200, 100));
        probe.show();
        QVERIFY(QTest::qWaitForWindowExposed(&probe));
    }

    static QPoint centreOf(const QWidget& widget) {
        return widget.mapToGlobal(widget.rect().center());
    }

public:
    // Every reading 20 s after the one before: the baseline asks whether to give up before
    // each directory, and its job waits for the answer.
    BaselineResponsivenessTest() { slowClock_.setStepPerReading(std::chrono::seconds(20)); }

private slots:
    void initTestCase() {
        QVERIFY(fixture_.isValid());
        c_ = xcb_connect(nullptr, nullptr);
        QVERIFY2(xcb_connection_has_error(c_) == 0, "these tests need an X11 display");
        root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        protocols_ = atom("WM_PROTOCOLS");
        ping_ = atom("_NET_WM_PING");
        // Answers to pings are sent to the root window, to whoever selects its structure.
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, &mask);
        sync();
        QVERIFY2(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("version")}) == 0,
                 "these tests need xdotool");
    }
    void cleanupTestCase() { xcb_disconnect(c_); }
    void cleanup() {
        fixture_.stop();
        fixture_.clearDirectory();
    }

    // Without a baseline the real click and the ping are answered at once, so their absence below
    // means something.
    void outsideABaselineClickAndPingAreHandledAtOnce() {
        startProgram(fixture_.makeFolder(QStringLiteral("watched")));
        ProbeButton probe(QStringLiteral("probe"));
        int clicks = 0;
        connect(&probe, &QPushButton::clicked, [&] { ++clicks; });
        showProbe(probe);

        const std::uint32_t cookie = ping(static_cast<xcb_window_t>(fixture_.mainWindow().winId()));
        QVERIFY(ClickAt(centreOf(probe)));
        QTRY_COMPARE(clicks, 1);
        QTRY_VERIFY(answered(cookie));
    }

    // The baseline's job waits for the answer to its question on its own thread: meanwhile
    // the probe is painted, the main window answers a ping, and a real click on the probe takes
    // effect while the baseline is still running.
    void duringABaselineWindowsPaintAnswerAndTakeUserInput() {
        fixture_.makeFolder(QStringLiteral("watched/sub"));
        startProgram(fixture_.path(QStringLiteral("watched")));
        const Monitor& monitor = fixture_.program().monitor();
        const auto mainWindow = static_cast<xcb_window_t>(fixture_.mainWindow().winId());
        ProbeButton probe(QStringLiteral("probe"));
        showProbe(probe);
        QList<Monitor::State> clicks;
        connect(&probe, &QPushButton::clicked, [&] { clicks << monitor.state(); });
        int paints = 0;
        probe.painted = [&] { ++paints; };

        fixture_.controls().startAction->trigger();
        QTRY_VERIFY(fixture_.dialogs.held.size() == 1); // the question, unanswered
        QCOMPARE(monitor.state(), Monitor::State::Starting);
        paints = 0;
        probe.update();
        QTRY_VERIFY(paints > 0);
        const std::uint32_t cookie = ping(mainWindow);
        QTRY_VERIFY(answered(cookie));
        QVERIFY(ClickAt(centreOf(probe)));
        QTRY_COMPARE(clicks, QList<Monitor::State>{Monitor::State::Starting});
    }
};

QTEST_MAIN(BaselineResponsivenessTest)
#include "baseline_responsiveness_tests.moc"
