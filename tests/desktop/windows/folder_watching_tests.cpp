// The whole program under an X server with a system tray: a folder is added and set up
// through the main window, watched to a depth, its changes read from the log window and
// saved, and the settings written at exit.
#include "desktop/app/program.h"
#include "desktop/log_window/log_window.h"
#include "desktop/main_window/main_window.h"
#include "engine/monitor/monitor.h"
#include "tests/desktop/windows/window_probes.h"
#include "tests/support/program_fixture.h"
#include "tests/support/test_files.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QSystemTrayIcon>
#include <QTableView>
#include <QTest>

using namespace trellisk;

namespace {

using test::MenuAction;
using test::Rows;

constexpr int kCycleWaitMs = 20000;

using test::ReadFile;
using test::WriteFile;

// The chosen columns of each row, joined by tabs, as a set: cycles may find the changes in
// any order.
QSet<QString> Keys(const QList<QStringList>& rows, const QList<int>& columns) {
    QSet<QString> keys;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (int column : columns)
            cells << row.value(column);
        keys << cells.join(u'\t');
    }
    return keys;
}

// The lines of a saved file, each checked to end with CR LF and to hold no other line break.
QStringList Lines(const QByteArray& bytes) {
    [&] {
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
    }();
    QStringList lines = QString::fromUtf8(bytes).split(QStringLiteral("\r\n"));
    lines.removeLast();
    return lines;
}

QString Size(int bytes) {
    return QStringLiteral("%1").arg(bytes, 11);
}

} // namespace

class FolderWatchingTest : public QObject {
    Q_OBJECT

private slots:
    void watchesAFolderToTheDepthSetInItsDetails() {
        QVERIFY(QSystemTrayIcon::isSystemTrayAvailable());
        test::ProgramFixture fixture;
        QVERIFY(fixture.isValid());
        const QString watched = fixture.path(QStringLiteral("watched"));
        // The folder itself, then one, two and three levels below it.
        const QStringList levels{watched + QLatin1Char('/'), watched + QStringLiteral("/l1/"),
                                 watched + QStringLiteral("/l1/l2/"),
                                 watched + QStringLiteral("/l1/l2/l3/")};
        QVERIFY(QDir().mkpath(levels.last()));
        for (const QString& level : levels) {
            QVERIFY(WriteFile(level + QStringLiteral("grows.txt"), QByteArray(100, 'g'),
                              QIODevice::WriteOnly));
            QVERIFY(WriteFile(level + QStringLiteral("moves.txt"), QByteArray(10, 'm'),
                              QIODevice::WriteOnly));
            QVERIFY(WriteFile(level + QStringLiteral("goes.txt"), QByteArray(20, 'x'),
                              QIODevice::WriteOnly));
        }
        const QString staging = fixture.path(QStringLiteral("staging"));
        QVERIFY(QDir().mkpath(staging));
        const QString settingsPath = fixture.settingsPath();
        QVERIFY(WriteFile(settingsPath, "[foldersv040]\r\n0\r\n[interval]\r\n1\r\n",
                          QIODevice::WriteOnly));

        test::RecordingDialogs& dialogs = fixture.dialogs;
        Program& program = fixture.start(true);
        MainWindow& mainWindow = program.mainWindow();
        const MainWindowControls& ui = mainWindow.controls();
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

        // "追加", answering the folder dialog with the folder.
        dialogs.folderAnswer = watched;
        QAction* add =
            MenuAction(mainWindow.menuBar(), QStringLiteral("フォルダ"), QStringLiteral("追加"));
        QVERIFY(add != nullptr);
        add->trigger();
        QAbstractItemModel* folders = ui.folderTable->model();
        QCOMPARE(folders->rowCount(), 1);
        QCOMPARE(folders->index(0, 0).data().toString(), levels[0]);

        // Its details: "する", depth 1, "OK".
        const QPoint cell = ui.folderTable->visualRect(folders->index(0, 0)).center();
        QTest::mouseClick(ui.folderTable->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(ui.folderTable->viewport(), Qt::LeftButton, {}, cell);
        QVERIFY(ui.folderDetails->isEnabled());
        QCOMPARE(ui.detailsFolderLabel->text(), levels[0]);
        QTest::mouseClick(ui.subfolderYes, Qt::LeftButton, {},
                          QPoint(4, ui.subfolderYes->height() / 2));
        ui.depthField->setFocus();
        QTest::keyClick(ui.depthField, Qt::Key_Up);
        QTest::keyClick(ui.depthField, Qt::Key_Down);
        QCOMPARE(ui.depthField->text(), QStringLiteral("1"));
        QTest::mouseClick(ui.detailsOkButton, Qt::LeftButton);
        QCOMPARE(folders->index(0, 1).data().toString(), QStringLiteral("する"));
        QCOMPARE(folders->index(0, 2).data().toString(), QStringLiteral("1"));
        QVERIFY(!ui.folderDetails->isEnabled());

        // "開始" starts the baseline's job and returns; the changes come once it is taken.
        QAction* start =
            MenuAction(mainWindow.menuBar(), QStringLiteral("モニター"), QStringLiteral("開始"));
        QVERIFY(start != nullptr);
        start->trigger();
        QVERIFY(program.monitor().isMonitoring());
        QTRY_COMPARE(program.monitor().state(), Monitor::State::Waiting);
        QVERIFY(!mainWindow.isVisible());
        QTRY_VERIFY(program.logWindow().isVisible());

        // Every kind of change on each level, the unwatched level first: a cycle that sees the
        // last change has seen all the others. Each change is one step that a cycle sees
        // whole.
        for (int level = 3; level >= 0; --level) {
            const QString at = levels[level];
            QVERIFY(WriteFile(at + QStringLiteral("grows.txt"), QByteArray(900, 'g'),
                              QIODevice::Append));
            QVERIFY(
                QFile::rename(at + QStringLiteral("moves.txt"), at + QStringLiteral("moved.txt")));
            QVERIFY(QFile::remove(at + QStringLiteral("goes.txt")));
            const QString made = staging + QStringLiteral("/new.txt");
            QVERIFY(WriteFile(made, QByteArray(33, 'n'), QIODevice::WriteOnly));
            QVERIFY(QFile::rename(made, at + QStringLiteral("new.txt")));
        }

        const LogWindow& logWindow = program.logWindow();
        const QStringList seen = levels.mid(0, 3);
        QSet<QString> expectedLog;
        for (const QString& at : seen) {
            expectedLog
                << QStringList{QStringLiteral("grows.txt"), QStringLiteral("更新"), at}.join(u'\t')
                << QStringList{QStringLiteral("moved.txt"), QStringLiteral("変名"), at}.join(u'\t')
                << QStringList{QStringLiteral("goes.txt"), QStringLiteral("削除"), at}.join(u'\t')
                << QStringList{QStringLiteral("new.txt"), QStringLiteral("新規"), at}.join(u'\t');
        }
        QTRY_VERIFY_WITH_TIMEOUT(Keys(Rows(logWindow, "logTable"), {0, 1, 6}).contains(expectedLog),
                                 kCycleWaitMs);
        // Two more cycles: the level below the depth stays unreported, nothing comes twice.
        for (int cycle = 0; cycle < 2; ++cycle) {
            const std::string last = program.log().status().snapshotTime;
            QTRY_VERIFY_WITH_TIMEOUT(program.log().status().snapshotTime != last, kCycleWaitMs);
        }
        const QList<QStringList> log = Rows(logWindow, "logTable");
        QCOMPARE(log.size(), expectedLog.size());
        QCOMPARE(Keys(log, {0, 1, 6}), expectedLog);

        QSet<QString> updated, fresh, deleted, renamed;
        for (const QString& at : seen) {
            updated << QStringLiteral("grows.txt\t") + Size(1000) + u'\t' + at;
            fresh << QStringLiteral("new.txt\t") + Size(33) + u'\t' + at;
            deleted << QStringLiteral("goes.txt\t") + at;
            renamed << QStringLiteral("moved.txt\tmoves.txt\t") + at;
        }
        QCOMPARE(Keys(Rows(logWindow, "updatedTable"), {0, 1, 3}), updated);
        QCOMPARE(Keys(Rows(logWindow, "newTable"), {0, 1, 2}), fresh);
        QCOMPARE(Keys(Rows(logWindow, "deletedTable"), {0, 1}), deleted);
        QCOMPARE(Keys(Rows(logWindow, "renamedTable"), {0, 1, 2}), renamed);

        // "保存", answering the save dialog with a base name.
        const QString base = fixture.path(QStringLiteral("saved"));
        dialogs.saveAnswer = base;
        QAction* save =
            MenuAction(mainWindow.menuBar(), QStringLiteral("ログ"), QStringLiteral("保存"));
        QVERIFY(save != nullptr);
        save->trigger();
        QVERIFY(dialogs.errors.isEmpty());
        QCOMPARE(dialogs.saveInitialNames.size(), 1);
        QVERIFY(dialogs.saveInitialNames.first().startsWith(QStringLiteral("log-")));

        const QRegularExpression dateText(
            QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
        const QRegularExpression detectionTime(
            QStringLiteral("^\\d{4}/\\d\\d/\\d\\d \\d{1,2}:\\d\\d:\\d\\d$"));
        const QStringList ind = Lines(ReadFile(base + QStringLiteral("-ind.txt")));
        // Title, header and three rows for each of the four tables, in this order.
        const QStringList titles{QStringLiteral("[新規ファイル]"), QStringLiteral("[削除ファイル]"),
                                 QStringLiteral("[更新ファイル]"),
                                 QStringLiteral("[リネームファイル]")};
        const QStringList headers{QStringLiteral("ファイル名\tサイズ\tフォルダ"),
                                  QStringLiteral("ファイル名"),
                                  QStringLiteral("ファイル名\tサイズ\t更新日時\tフォルダ"),
                                  QStringLiteral("新ファイル名\t旧ファイル名\tフォルダ")};
        const QList<QSet<QString>> sections{fresh, deleted, updated, renamed};
        QCOMPARE(ind.size(), 4 * 5);
        for (int section = 0; section < 4; ++section) {
            QCOMPARE(ind[section * 5], titles[section]);
            QCOMPARE(ind[section * 5 + 1], headers[section]);
            QSet<QString> lines;
            for (int row = 0; row < 3; ++row) {
                QStringList fields = ind[section * 5 + 2 + row].split(u'\t');
                if (section == 2) { // the update time, between size and folder
                    QCOMPARE(fields.size(), 4);
                    QVERIFY2(dateText.match(fields[2]).hasMatch(), qPrintable(fields[2]));
                    fields.removeAt(2);
                }
                lines << fields.join(u'\t');
            }
            QCOMPARE(lines, sections[section]);
        }

        const QStringList logLines = Lines(ReadFile(base + QStringLiteral("-log.txt")));
        QCOMPARE(logLines.size(), 1 + expectedLog.size());
        QCOMPARE(logLines[0],
                 QStringLiteral("ファイル名\t内容\tサイズ\tサイズ増減or旧名\t更新日時\t"
                                "検出日時\tフォルダ"));
        QSet<QString> written;
        for (const QString& line : logLines.mid(1)) {
            const QStringList f = line.split(u'\t');
            QCOMPARE(f.size(), 7);
            const QString& kind = f[1];
            // A first finding of a growth has no size change yet.
            if (kind == QStringLiteral("更新")) {
                QCOMPARE(f[2], Size(1000));
                QVERIFY(f[3].isEmpty());
            } else if (kind == QStringLiteral("変名")) {
                QCOMPARE(f[2], Size(10));
                QCOMPARE(f[3], QStringLiteral("(旧)moves.txt"));
            } else if (kind == QStringLiteral("新規")) {
                QCOMPARE(f[2], Size(33));
                QVERIFY(f[3].isEmpty());
            } else {
                QCOMPARE(kind, QStringLiteral("削除"));
                QCOMPARE(f.mid(2, 3), (QStringList{QString(), QString(), QString()}));
            }
            if (kind != QStringLiteral("削除"))
                QVERIFY2(dateText.match(f[4]).hasMatch(), qPrintable(line));
            QVERIFY2(detectionTime.match(f[5]).hasMatch(), qPrintable(line));
            written << QStringList{f[0], f[1], f[6]}.join(u'\t');
        }
        QCOMPARE(written, expectedLog);

        // "終了" from the tray menu writes the settings back and ends the program.
        QVERIFY(QFile::remove(settingsPath));
        QAction* exit = nullptr;
        for (QAction* action : ui.trayMenu->actions()) {
            if (action->text() == QStringLiteral("終了"))
                exit = action;
        }
        QVERIFY(exit != nullptr);
        exit->trigger();
        QTRY_VERIFY(QFile::exists(settingsPath));
        QCOMPARE(ReadFile(settingsPath), "[foldersv040]\r\n1\r\n" + levels[0].toUtf8() +
                                             "\r\nする\r\n1\r\n[interval]\r\n1\r\n");
        QVERIFY(dialogs.errors.isEmpty());
        QVERIFY(dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(FolderWatchingTest)
#include "folder_watching_tests.moc"
