// The program on an X server as docks and panels see it: a tray that starts after the program,
// and the windows' class and icon.
#include "desktop/app/program.h"
#include "desktop/log_window/log_window.h"
#include "desktop/main_window/main_window.h"
#include "desktop/tray/tray_icon.h"
#include "tests/support/program_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/x11_probe.h"

#include <QProcess>
#include <QSystemTrayIcon>
#include <QTest>

using namespace trellisk;

namespace {

constexpr int kTrayWaitMs = 15000;

// The tray host, started and ended by the test.
class Tray {
public:
    ~Tray() { stop(); }
    bool start() {
        process_.start(QStringLiteral("trayer"),
                       {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                        QStringLiteral("right"), QStringLiteral("--widthtype"),
                        QStringLiteral("pixel"), QStringLiteral("--width"), QStringLiteral("120"),
                        QStringLiteral("--heighttype"), QStringLiteral("pixel"),
                        QStringLiteral("--height"), QStringLiteral("24")});
        return process_.waitForStarted();
    }
    void stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished();
    }

private:
    QProcess process_;
};

} // namespace

class DesktopIdentityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        SetProgramIdentity();
        QVERIFY2(probe_.isConnected(), "these tests need an X11 display");
        QVERIFY2(!QSystemTrayIcon::isSystemTrayAvailable(), "the tray must start later");
    }

    // Both windows carry the program's icon and the class of the desktop entry, so that a dock
    // groups them under it.
    void bothWindowsCarryTheProgramIdentity() {
        test::ProgramFixture fixture;
        Program& program = fixture.start();
        program.mainWindow().show();
        program.logWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&program.mainWindow()));
        QVERIFY(QTest::qWaitForWindowExposed(&program.logWindow()));
        const QList<QByteArray> mainClass = probe_.windowClass(program.mainWindow().winId());
        QCOMPARE(mainClass.value(1), QByteArray("Trellisk"));
        QCOMPARE(probe_.windowClass(program.logWindow().winId()), mainClass);
        QVERIFY(probe_.iconLength(program.mainWindow().winId()) > 2);
        QVERIFY(probe_.iconLength(program.logWindow().winId()) > 2);
        QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("trellisk"));
    }

    // A tray that starts after the program gets the icon, and from then on the start hides the
    // main window; a tray that goes away leaves a window shown.
    void aTrayThatComesLaterGetsTheIcon() {
        test::ProgramFixture fixture;
        const QString watched = fixture.makeFolder(QStringLiteral("watched"));
        QVERIFY(
            test::WriteFile(fixture.settingsPath(), "[foldersv040]\r\n1\r\n" + watched.toUtf8() +
                                                        "/\r\nする\r\n0\r\n[interval]\r\n60\r\n"));
        Program& program =
            fixture.start(QSystemTrayIcon::isSystemTrayAvailable(), QUrl(), QString(), true);
        MainWindow& mainWindow = program.mainWindow();
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QVERIFY(!mainWindow.trayIcon());

        Tray tray;
        QVERIFY(tray.start());
        QTRY_VERIFY_WITH_TIMEOUT(mainWindow.trayIcon() != nullptr, kTrayWaitMs);
        // The icon's window is docked inside the tray's panel.
        QTRY_VERIFY_WITH_TIMEOUT(probe_.findByClass("trayer").has_value(), kTrayWaitMs);
        QTRY_VERIFY_WITH_TIMEOUT(
            probe_.findByClass(*probe_.findByClass("trayer"), "Trellisk").has_value(), kTrayWaitMs);

        mainWindow.controls().startAction->trigger();
        QTRY_VERIFY(program.monitor().isMonitoring());
        QVERIFY(!mainWindow.isVisible());
        QVERIFY(program.logWindow().isVisible());
        mainWindow.controls().toggleLogWindowAction->trigger();
        QVERIFY(!program.logWindow().isVisible());

        tray.stop();
        QTRY_VERIFY_WITH_TIMEOUT(mainWindow.trayIcon() == nullptr, kTrayWaitMs);
        QVERIFY(mainWindow.isVisible());
        mainWindow.controls().stopAction->trigger();
    }

private:
    test::X11Probe probe_;
};

QTEST_MAIN(DesktopIdentityTest)
#include "desktop_identity_tests.moc"
