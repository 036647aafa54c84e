// The tray icon under a window manager, clicked with the real mouse (xdotool): a left click
// brings the main window to the front, a right click opens the tray menu, whose items are
// clicked in turn, also while a message box or the save dialog is open; its exit ends the
// program whatever is open.
#include "desktop/app/program.h"
#include "desktop/dialogs/dialogs.h"
#include "desktop/log_window/log_window.h"
#include "desktop/main_window/main_window.h"
#include "desktop/tray/tray_icon.h"
#include "engine/monitor/monitor.h"
#include "tests/desktop/windows/window_probes.h"
#include "tests/support/program_fixture.h"
#include "tests/support/test_files.h"
#include "tests/support/x11_probe.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

#include <memory>

using namespace trellisk;

namespace {

constexpr int kWaitMs = 10000;

// The box or file dialog that is open, once it is shown.
QDialog* OpenDialog() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QDialog*>(window); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// Moves the real pointer to the point and clicks `button` (1 left, 3 right) there.
bool ClickAt(QPoint at, int button) {
    return QProcess::execute(QStringLiteral("xdotool"),
                             {QStringLiteral("mousemove"), QStringLiteral("--sync"),
                              QString::number(at.x()), QString::number(at.y()),
                              QStringLiteral("click"), QString::number(button)}) == 0;
}

} // namespace

class TrayClickTest : public QObject {
    Q_OBJECT

private:
    test::X11Probe probe_;
    QtDialogs dialogs_;
    SystemClock clock_;

    // The middle of the program's icon in the tray panel, once it is docked there.
    std::optional<QPoint> trayIconCentre() {
        const auto panel = probe_.findByClass("trayer");
        if (!panel)
            return std::nullopt;
        const auto icon = probe_.findByClass(*panel, "Trellisk");
        if (!icon)
            return std::nullopt;
        const QList<int> rect = probe_.screenRect(*icon);
        if (rect.size() != 4 || rect[2] <= 1)
            return std::nullopt;
        return QPoint(rect[0] + rect[2] / 2, rect[1] + rect[3] / 2);
    }

    bool clickTrayIcon(int button) {
        std::optional<QPoint> centre;
        if (!QTest::qWaitFor([&] { return (centre = trayIconCentre()).has_value(); }, kWaitMs))
            return false;
        return ClickAt(*centre, button);
    }

    // Clicks the menu's item by its caption, where the menu shows it on the screen.
    static bool clickItem(QMenu* menu, const QString& caption) {
        for (QAction* action : menu->actions()) {
            if (action->text() == caption)
                return ClickAt(menu->mapToGlobal(menu->actionGeometry(action).center()), 1);
        }
        return false;
    }

    // Active as the window manager shows it (it has the input focus and the active frame).
    bool isActive(const QWidget& window) {
        return QTest::qWaitFor(
            [&] {
                const auto active = probe_.activeWindow();
                return active && *active == window.winId();
            },
            kWaitMs);
    }

private slots:
    void initTestCase() {
        SetProgramIdentity();
        QVERIFY2(probe_.isConnected(), "these tests need an X11 display");
        QVERIFY2(QSystemTrayIcon::isSystemTrayAvailable(), "these tests need a system tray");
    }

    // A left click shows the main window, restored, raised above the log window and active.
    void leftClickBringsTheMainWindowToTheFront_data() {
        QTest::addColumn<QString>("before");
        QTest::newRow("hidden") << QStringLiteral("hidden");
        QTest::newRow("minimised") << QStringLiteral("minimised");
        QTest::newRow("behind the log window") << QStringLiteral("behind");
    }
    void leftClickBringsTheMainWindowToTheFront() {
        QFETCH(QString, before);
        test::ProgramFixture fixture;
        Program& program = fixture.start(true);
        MainWindow& mainWindow = program.mainWindow();
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QVERIFY(isActive(mainWindow));
        if (before == u"hidden") {
            mainWindow.hide();
        } else if (before == u"minimised") {
            mainWindow.showMinimized();
            QTRY_VERIFY(mainWindow.isMinimized());
        } else {
            program.logWindow().show();
            program.logWindow().activateWindow();
            QVERIFY(isActive(program.logWindow()));
        }
        QVERIFY(clickTrayIcon(1));
        QTRY_VERIFY_WITH_TIMEOUT(mainWindow.isVisible() && !mainWindow.isMinimized(), kWaitMs);
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QVERIFY(isActive(mainWindow));
    }

    // The program over the fixture's settings file, with real boxes and dialogs, its main
    // window on the screen.
    std::unique_ptr<Program> showProgram(const test::ProgramFixture& fixture) {
        auto program = std::make_unique<Program>(
            ProgramOptions{fixture.settingsPath().toStdString(), true, QUrl()}, dialogs_, clock_);
        program->mainWindow().show();
        if (!QTest::qWaitForWindowExposed(&program->mainWindow()))
            return nullptr;
        return program;
    }

    // Opens a box or the save dialog over the main window, as the program would, and waits
    // until it is on the screen.
    static QDialog* openOver(Program& program, const QString& what) {
        if (what == u"message box")
            program.frontEnd().showMessage("message");
        else
            program.mainWindow().controls().saveLogAction->trigger();
        QDialog* dialog = nullptr;
        if (!QTest::qWaitFor([&] { return (dialog = OpenDialog()) != nullptr; }, kWaitMs) ||
            !QTest::qWaitForWindowExposed(dialog))
            return nullptr;
        return dialog;
    }

    // While a message box is open (modal to the main window only), the tray menu still opens
    // from the icon and its items still work.
    void theMenuOpensWhileAMessageBoxIsOpen() {
        test::ProgramFixture fixture;
        const std::unique_ptr<Program> shown = showProgram(fixture);
        QVERIFY(shown);
        Program& program = *shown;
        MainWindow& mainWindow = program.mainWindow();
        QMenu* menu = mainWindow.controls().trayMenu;

        QDialog* box = openOver(program, QStringLiteral("message box"));
        QVERIFY(box);
        QVERIFY(clickTrayIcon(3));
        QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), kWaitMs);
        QVERIFY(clickItem(menu, QStringLiteral("ログフォーム表示切替")));
        QTRY_VERIFY_WITH_TIMEOUT(program.logWindow().isVisible(), kWaitMs);
        QVERIFY(box->isVisible());
        box->accept();
    }

    // While the save dialog is open the cycles go on, and their findings show in the log
    // window; the tables are saved as they are when the dialog is answered.
    void aCycleRunsAndIsShownWhileTheSaveDialogIsOpen() {
        test::ProgramFixture fixture;
        const QString watched = fixture.makeFolder(QStringLiteral("watched"));
        QVERIFY(test::WriteFile(fixture.settingsPath(),
                                "[foldersv040]\r\n1\r\n" + QFile::encodeName(watched) +
                                    "/\r\nしない\r\n0\r\n[interval]\r\n1\r\n"));
        const std::unique_ptr<Program> shown = showProgram(fixture);
        QVERIFY(shown);
        Program& program = *shown;
        program.mainWindow().controls().trayStartAction->trigger();
        QTRY_COMPARE(program.monitor().state(), Monitor::State::Waiting);

        QDialog* dialog = openOver(program, QStringLiteral("save dialog"));
        QVERIFY(dialog);
        QVERIFY(test::WriteFile(watched + QStringLiteral("/meanwhile.txt"), "new"));
        QTRY_VERIFY_WITH_TIMEOUT(test::Rows(program.logWindow(), "newTable").size() == 1, kWaitMs);
        QCOMPARE(test::Rows(program.logWindow(), "newTable")[0].value(0),
                 QStringLiteral("meanwhile.txt"));
        QVERIFY(dialog->isVisible());

        // The name typed and Enter pressed, as a user does.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        const QString base = fixture.path(QStringLiteral("saved"));
        name->setText(base);
        QTest::keyClick(name, Qt::Key_Return);
        QTRY_VERIFY(QFile::exists(base + QStringLiteral("-ind.txt")));
        QVERIFY(test::ReadFile(base + QStringLiteral("-ind.txt")).contains("meanwhile.txt"));
    }

    // "終了" from the tray menu ends the program at once whatever is open, with the settings
    // written and the boxes closed unanswered. Last but one: the end of the program ends
    // every event loop of this process for good.
    void exitEndsTheProgramWhateverIsOpen_data() {
        QTest::addColumn<QString>("open");
        QTest::newRow("message box") << QStringLiteral("message box");
        QTest::newRow("save dialog") << QStringLiteral("save dialog");
    }
    void exitEndsTheProgramWhateverIsOpen() {
        QFETCH(QString, open);
        test::ProgramFixture fixture;
        const std::unique_ptr<Program> shown = showProgram(fixture);
        QVERIFY(shown);
        Program& program = *shown;
        MainWindow& mainWindow = program.mainWindow();
        QMenu* menu = mainWindow.controls().trayMenu;
        QSignalSpy closed(&mainWindow, &MainWindow::closed);

        QVERIFY(openOver(program, open));
        QVERIFY(!QFile::exists(fixture.settingsPath()));
        QVERIFY(clickTrayIcon(3));
        QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), kWaitMs);
        QVERIFY(clickItem(menu, QStringLiteral("終了")));
        QTRY_COMPARE_WITH_TIMEOUT(closed.size(), 1, kWaitMs);
        QVERIFY(QFile::exists(fixture.settingsPath()));
        QTRY_VERIFY(OpenDialog() == nullptr);
        QVERIFY(!mainWindow.isVisible());
    }

    // A right click opens the tray menu; its items work when clicked. Last: "終了" ends the
    // event loops for good, so no box could be shown after it.
    void rightClickOpensTheMenuAndItsItemsWork() {
        test::ProgramFixture fixture;
        Program& program = fixture.start(true);
        MainWindow& mainWindow = program.mainWindow();
        QMenu* menu = mainWindow.controls().trayMenu;
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

        QVERIFY(clickTrayIcon(3));
        QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), kWaitMs);
        QVERIFY(clickItem(menu, QStringLiteral("ログフォーム表示切替")));
        QTRY_VERIFY_WITH_TIMEOUT(program.logWindow().isVisible(), kWaitMs);
        QTRY_VERIFY(!menu->isVisible());

        QVERIFY(clickTrayIcon(3));
        QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), kWaitMs);
        QVERIFY(clickItem(menu, QStringLiteral("メインフォーム表示切替")));
        QTRY_VERIFY_WITH_TIMEOUT(!mainWindow.isVisible(), kWaitMs);

        QSignalSpy closed(&mainWindow, &MainWindow::closed);
        QVERIFY(clickTrayIcon(3));
        QTRY_VERIFY_WITH_TIMEOUT(menu->isVisible(), kWaitMs);
        QVERIFY(clickItem(menu, QStringLiteral("終了")));
        QTRY_COMPARE_WITH_TIMEOUT(closed.size(), 1, kWaitMs);
        QVERIFY(QFile::exists(fixture.settingsPath()));
    }
};

QTEST_MAIN(TrayClickTest)
#include "tray_click_tests.moc"
