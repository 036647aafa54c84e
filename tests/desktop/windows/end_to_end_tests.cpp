// The real program against a real folder, under an X server with a system tray: start from
// the main menu, change files, let cycles run and read the log window's five tables.
#include "desktop/app/program.h"
#include "desktop/log_window/log_window.h"
#include "desktop/main_window/main_window.h"
#include "desktop/tray/tray_icon.h"
#include "engine/monitor/monitor.h"
#include "tests/desktop/windows/window_probes.h"
#include "tests/support/program_fixture.h"
#include "tests/support/test_files.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTest>

#include <memory>

using namespace trellisk;

namespace {

using test::MenuAction;
using test::Rows;

using test::WriteFile;

QStringList Column(const QList<QStringList>& rows, int column) {
    QStringList cells;
    for (const QStringList& row : rows)
        cells << row.value(column);
    return cells;
}

} // namespace

class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void monitorsARealFolderThroughTheWindows() {
        QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
        test::ProgramFixture fixture;
        QVERIFY(fixture.isValid());
        const QString watched = fixture.path(QStringLiteral("watched"));
        const QString folder = watched + QLatin1Char('/');
        QVERIFY(QDir().mkpath(watched + QStringLiteral("/sub")));
        QVERIFY(WriteFile(folder + QStringLiteral("grows.txt"), QByteArray(1000, 'g')));
        QVERIFY(WriteFile(folder + QStringLiteral("moves.txt"), QByteArray(10, 'm')));
        QVERIFY(WriteFile(folder + QStringLiteral("goes.txt"), QByteArray(20, 'x')));
        QVERIFY(WriteFile(folder + QStringLiteral("sub/deep.txt"), QByteArray(5, 'd')));
        const QString settingsPath = fixture.settingsPath();
        const QByteArray settings =
            "[foldersv040]\r\n1\r\n" + folder.toUtf8() + "\r\nする\r\n0\r\n[interval]\r\n1\r\n";
        QVERIFY(WriteFile(settingsPath, settings));

        Program& program = fixture.start(true);
        MainWindow& mainWindow = program.mainWindow();
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));
        QCOMPARE(program.settings().folders.count(), 1u);
        QVERIFY(!mainWindow.trayIcon()->picture().has_value());

        QAction* start =
            MenuAction(mainWindow.menuBar(), QStringLiteral("モニター"), QStringLiteral("開始"));
        QVERIFY(start != nullptr);
        start->trigger();
        QVERIFY(program.monitor().isMonitoring());
        QTRY_COMPARE(program.monitor().state(), Monitor::State::Waiting); // the baseline is taken
        QVERIFY(!mainWindow.isVisible());                                 // the tray brings it back
        QTRY_VERIFY(program.logWindow().isVisible());
        QCOMPARE(mainWindow.trayIcon()->picture(),
                 std::optional<TrayPicture>(TrayPicture::Monitoring));

        QVERIFY(WriteFile(folder + QStringLiteral("grows.txt"), QByteArray(5000, 'g')));
        QVERIFY(QFile::rename(folder + QStringLiteral("moves.txt"),
                              folder + QStringLiteral("moved.txt")));
        QVERIFY(QFile::remove(folder + QStringLiteral("goes.txt")));
        QVERIFY(WriteFile(folder + QStringLiteral("sub/fresh.txt"), "new"));
        QVERIFY(QDir().mkpath(watched + QStringLiteral("/newdir")));

        const LogWindow& logWindow = program.logWindow();
        QTRY_VERIFY_WITH_TIMEOUT(Rows(logWindow, "logTable").size() >= 5, 15000);
        const QList<QStringList> log = Rows(logWindow, "logTable");
        const QStringList kinds = Column(log, 1);
        QVERIFY2(kinds.contains(QStringLiteral("更新")), qPrintable(kinds.join(u',')));
        QVERIFY(kinds.contains(QStringLiteral("変名")));
        QVERIFY(kinds.contains(QStringLiteral("削除")));
        QCOMPARE(kinds.count(QStringLiteral("新規")), 2); // sub/fresh.txt and newdir/
        QVERIFY(Column(log, 0).contains(folder + QStringLiteral("newdir/")));

        const QList<QStringList> updated = Rows(logWindow, "updatedTable");
        QCOMPARE(updated.size(), 1);
        QCOMPARE(updated[0][0], QStringLiteral("grows.txt"));
        QCOMPARE(updated[0][1], QStringLiteral("       5000"));
        QCOMPARE(updated[0][3], folder);
        const QList<QStringList> fresh = Rows(logWindow, "newTable");
        QCOMPARE(fresh.size(), 1);
        QCOMPARE(fresh[0], (QStringList{QStringLiteral("fresh.txt"), QStringLiteral("          3"),
                                        folder + QStringLiteral("sub/")}));
        QCOMPARE(Rows(logWindow, "deletedTable"),
                 (QList<QStringList>{{QStringLiteral("goes.txt"), folder}}));
        QCOMPARE(Rows(logWindow, "renamedTable"),
                 (QList<QStringList>{
                     {QStringLiteral("moved.txt"), QStringLiteral("moves.txt"), folder}}));

        // The cycles go on: a second growth refreshes the one updated row with a rate.
        QVERIFY(WriteFile(folder + QStringLiteral("grows.txt"), QByteArray(9000, 'g')));
        QTRY_VERIFY_WITH_TIMEOUT(!Rows(logWindow, "updatedTable").value(0).value(4).isEmpty(),
                                 15000);
        QCOMPARE(Rows(logWindow, "updatedTable").size(), 1);

        // "終了" from the tray menu ends the program with the settings written back.
        QFile::remove(settingsPath);
        QMenu* tray = mainWindow.findChild<QMenu*>(QStringLiteral("trayMenu"));
        QVERIFY(tray != nullptr);
        QAction* exit = nullptr;
        for (QAction* action : tray->actions()) {
            if (action->text() == QStringLiteral("終了"))
                exit = action;
        }
        QVERIFY(exit != nullptr);
        exit->trigger();
        QTRY_VERIFY(QFile::exists(settingsPath));
        QFile saved(settingsPath);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), settings);
        QVERIFY(fixture.dialogs.errors.isEmpty());
    }
};

QTEST_MAIN(EndToEndTest)
#include "end_to_end_tests.moc"
