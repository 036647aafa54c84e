// A baseline over a large tree, under a real X server: the windows keep painting and answer the
// window manager's ping, while a real mouse click (xdotool) waits until the baseline has ended.
#include "desktop/app/program.h"
#include "desktop/main_window/main_window.h"
#include "tests/support/program_fixture.h"
#include "tests/support/test_files.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <functional>

using namespace trellisk;

namespace {

// Enough directories that the baseline runs for many keep-alive spacings.
constexpr int kTopFolders = 250;
constexpr int kSubFoldersEach = 100;

// In memory where the system has it: there the tree is made and removed in a fraction of a second,
// on a disk it can take many.
QString TreeLocation() {
    const QFileInfo shared(QStringLiteral("/dev/shm"));
    const QString parent =
        shared.isDir() && shared.isWritable() ? shared.filePath() : QDir::tempPath();
    return parent + QStringLiteral("/trellisk-baseline-XXXXXX");
}

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
    test::ProgramFixture fixture_;

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

    // A zero-delay timer is not user input, so it also runs inside the baseline's keep-alives: at
    // the first it asks for a paint, pings the main window and clicks the probe for real.
    void duringABaselineWindowsPaintAndAnswerButUserInputWaits() {
        QTemporaryDir memory(TreeLocation());
        QVERIFY(memory.isValid());
        const QString watched = memory.path();
        // One folder at the top: the baseline's own thread then walks the tree and stands still
        // while the test acts, where workers would read on (and end the baseline) meanwhile.
        QDir tree(watched);
        QVERIFY(tree.mkdir(QStringLiteral("one")) && tree.cd(QStringLiteral("one")));
        for (int top = 0; top < kTopFolders; ++top) {
            const QString name = QString::number(top);
            QVERIFY(tree.mkdir(name));
            const QDir below(tree.filePath(name));
            for (int sub = 0; sub < kSubFoldersEach; ++sub)
                QVERIFY(below.mkdir(QString::number(sub)));
        }
        startProgram(watched);
        const Monitor& monitor = fixture_.program().monitor();
        const QLabel* status = fixture_.controls().statusLabel;
        const auto mainWindow = static_cast<xcb_window_t>(fixture_.mainWindow().winId());

        ProbeButton probe(QStringLiteral("probe"));
        showProbe(probe);
        QList<bool> clicksWhileBusy;
        connect(&probe, &QPushButton::clicked, [&] { clicksWhileBusy << monitor.busy(); });

        bool acted = false;
        bool acting = false;
        bool clickSent = false;
        std::uint32_t cookie = 0;
        int roundsAfter = 0; // keep-alives that ran events after the test acted
        int paintsInBaseline = 0;
        bool pongInBaseline = false;
        probe.painted = [&] {
            if (acted && !acting && monitor.busy())
                ++paintsInBaseline;
        };
        QTimer during;
        during.setInterval(0);
        connect(&during, &QTimer::timeout, [&] {
            // It also fires in the pump before the baseline, where user input may run.
            if (!monitor.busy() || status->text() != QString::fromUtf8(kStatusMonitoring))
                return;
            if (acted) {
                ++roundsAfter;
                pongInBaseline = pongInBaseline || answered(cookie, 20);
                return;
            }
            acted = acting = true;
            probe.update();
            cookie = ping(mainWindow);
            clickSent = ClickAt(centreOf(probe));
            // xdotool has ended, so the server has sent the click: let Qt's reader thread queue it
            // before the baseline goes on.
            QThread::msleep(100);
            acting = false;
        });
        during.start();
        fixture_.controls().startAction->trigger();
        during.stop();
        QVERIFY(monitor.isMonitoring());
        QCOMPARE(monitor.baseDirs().count(), std::size_t{2 + kTopFolders * (kSubFoldersEach + 1)});
        const QList<bool> clicksInBaseline = clicksWhileBusy;

        QVERIFY2(acted, "no event was handled during the baseline");
        QVERIFY(clickSent);
        const QByteArray rounds = QByteArray::number(roundsAfter) + " later keep-alives ran events";
        QVERIFY2(paintsInBaseline > 0, "not painted during the baseline; " + rounds);
        QVERIFY2(pongInBaseline, "the ping was not answered during the baseline; " + rounds);
        QVERIFY2(clicksInBaseline.isEmpty(), "the click took effect during the baseline");
        // It takes effect once the baseline is over, exactly once.
        QTRY_COMPARE(clicksWhileBusy, QList<bool>{false});
    }
};

QTEST_MAIN(BaselineResponsivenessTest)
#include "baseline_responsiveness_tests.moc"
