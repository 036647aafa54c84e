#include "desktop/about/about_window.h"
#include "desktop/app/program.h"
#include "desktop/app/qt_front_end.h"
#include "desktop/appearance/tray_pictures.h"
#include "desktop/dialogs/dialogs.h"
#include "desktop/log_window/log_window.h"
#include "desktop/main_window/main_window.h"
#include "desktop/tray/tray_icon.h"
#include "engine/monitor/monitor.h"
#include "tests/support/fake_clock.h"
#include "tests/support/program_fixture.h"
#include "tests/support/test_files.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

using namespace trellisk;

namespace {

QString Caption(const QWidget* widget) {
    if (auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (auto* group = qobject_cast<const QGroupBox*>(widget))
        return group->title();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (auto* spin = qobject_cast<const QSpinBox*>(widget))
        return spin->text();
    return {};
}

QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions)
        texts << action->text();
    return texts;
}

using test::ReadFile;
using test::WriteFile;

QDialog* OpenBox() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* box = qobject_cast<QDialog*>(window); box != nullptr && box->isVisible())
            return box;
    }
    return nullptr;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    test::ProgramFixture fixture_;

    QString settingsPath() const { return fixture_.settingsPath(); }
    Program& program() { return fixture_.program(); }
    MainWindow& mainWindow() { return fixture_.mainWindow(); }
    const MainWindowControls& ui() { return fixture_.controls(); }

    void start(bool trayAvailable) {
        fixture_.start(trayAvailable);
        mainWindow().show();
    }

    // A folder to watch, with one file in it, listed in the settings file.
    void writeSettingsWatchingAFolder() {
        const QString watched = fixture_.makeFolder(QStringLiteral("watched"));
        QVERIFY(WriteFile(watched + QStringLiteral("/a.txt"), "a"));
        QVERIFY(WriteFile(settingsPath(), "[foldersv040]\r\n1\r\n" + watched.toUtf8() +
                                              "/\r\nする\r\n0\r\n[interval]\r\n1\r\n"));
    }

    // Starts monitoring from the tray menu and waits for the baseline.
    void startMonitoring() {
        ui().trayStartAction->trigger();
        QVERIFY(program().monitor().isMonitoring());
        QTRY_COMPARE(program().monitor().state(), Monitor::State::Waiting);
    }

private slots:
    void init() {
        QVERIFY(fixture_.isValid());
        QFile::remove(settingsPath());
        fixture_.dialogs = {};
    }
    void cleanup() { fixture_.stop(); }

    // The baseline's question, open while its job waits for the answer, does not keep a
    // signal from ending the program: it ends at once, the box closed unanswered. First of
    // all tests: ending the program ends the event loops of this process for good.
    void anEndBySignalDoesNotWaitForTheBaselineQuestion() {
        fixture_.makeFolder(QStringLiteral("watched/sub"));
        QVERIFY(WriteFile(settingsPath(),
                          "[foldersv040]\r\n1\r\n" +
                              QFile::encodeName(fixture_.path(QStringLiteral("watched/"))) +
                              "\r\nする\r\n0\r\n[interval]\r\n3\r\n"));
        QtDialogs boxes;
        test::FakeClock slowClock; // every reading 20 s later: the baseline asks at once
        slowClock.setStepPerReading(std::chrono::seconds(20));
        // Real boxes and a clock of its own: not the fixture's program.
        const auto program = std::make_unique<Program>(
            ProgramOptions{settingsPath().toStdString(), false, QUrl()}, boxes, slowClock);
        MainWindow& window = program->mainWindow();
        window.show();
        QSignalSpy closed(&window, &MainWindow::closed);
        window.controls().startAction->trigger();
        QTRY_VERIFY(OpenBox() != nullptr);
        QCOMPARE(program->monitor().state(), Monitor::State::Starting);

        window.endBySignal();
        QCOMPARE(closed.size(), 1);
        QTRY_VERIFY(OpenBox() == nullptr);
        QVERIFY(!program->monitor().isMonitoring());
        QVERIFY(program->monitor().waitForJobEnd(std::chrono::seconds(1)));
        QVERIFY(ReadFile(settingsPath()).startsWith("[foldersv040]\r\n1\r\n"));
    }

    void controlsSitAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("caption");
        auto row = [](const char* name, QRect place, const char* caption) {
            QTest::newRow(name) << QString::fromLatin1(name) << place << QString::fromUtf8(caption);
        };
        row("statusLabel", {8, 8, 0, 16}, "状態：停止中");
        row("foldersGroup", {8, 32, 377, 129}, "監視フォルダ");
        row("folderTable", {8, 32, 361, 89}, "");
        row("folderDetails", {8, 168, 169, 137}, "フォルダ詳細");
        row("detailsFolderLabel", {8, 16, 0, 0}, "");
        row("subfolderGroup", {8, 40, 81, 57}, "サブ監視");
        row("depthGroup", {96, 40, 65, 57}, "階層数");
        row("depthField", {8, 16, 48, 20}, "1");
        row("detailsOkButton", {16, 104, 49, 25}, "OK");
        row("detailsCancelButton", {80, 104, 65, 25}, "キャンセル");
        row("settingsGroup", {184, 168, 185, 81}, "設定");
        row("intervalLabel", {8, 18, 0, 0}, "監視間隔（秒）");
        row("intervalField", {88, 16, 48, 20}, "3");
        row("clearBaseAtStartBox", {8, 37, 0, 17}, "開始時に比較元をクリアする");
        row("baseTimeLabel", {8, 56, 0, 0}, "");
        row("fileManagerLabel", {184, 256, 0, 0}, "エクスプローラから取得");
        row("fileManagerFolders", {184, 272, 169, 41}, "");
    }
    // A width or height of 0 in the table is where the text decides the size.
    void controlsSitAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, caption);
        start(false);
        auto* widget = mainWindow().findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(widget->pos(), place.topLeft());
        if (place.width() > 0)
            QCOMPARE(widget->width(), place.width());
        if (place.height() > 0)
            QCOMPARE(widget->height(), place.height());
        QCOMPARE(Caption(widget), caption);
        // Inside the frame of the group it belongs to.
        if (auto* group = qobject_cast<QGroupBox*>(widget->parentWidget()))
            QVERIFY2(widget->geometry().right() < group->width() - 1, "past the group's frame");
        if (auto* button = qobject_cast<QPushButton*>(widget))
            QVERIFY2(button->fontMetrics().horizontalAdvance(caption) <= button->width() - 4,
                     "the caption is cut off");
        else if (qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget))
            QVERIFY2(widget->width() >= widget->sizeHint().width(), "the caption is cut off");
    }

    void windowFrameAndInitialState() {
        start(false);
        QCOMPARE(mainWindow().windowTitle(), QStringLiteral("Trellisk"));
        QCOMPARE(ui().client->size(), QSize(388, 320));
        QCOMPARE(mainWindow().minimumSize(), mainWindow().maximumSize());
        QVERIFY(!(mainWindow().windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(mainWindow().windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!ui().folderDetails->isEnabled());
        QVERIFY(ui().subfolderNo->isChecked());
        QVERIFY(!ui().clearBaseAtStartBox->isChecked());
        QCOMPARE(ui().statusLabel->font().pixelSize(), 16);
        QVERIFY(ui().baseTimeLabel->fontMetrics().horizontalAdvance(QStringLiteral(
                    "比較元日時2026/12/28 23:58:58")) <= ui().baseTimeLabel->width());
        QVERIFY(ui().baseTimeLabel->geometry().right() < ui().settingsGroup->width());
        QCOMPARE(ui().depthField->minimum(), 0);
        QCOMPARE(ui().depthField->maximum(), 100);
        QCOMPARE(ui().intervalField->minimum(), 1);
        QCOMPARE(ui().intervalField->maximum(), 3600);
        QVERIFY(!ui().intervalField->wrapping());
#ifdef Q_OS_WIN
        QCOMPARE(ui().fileManagerFolders->toolTip(),
                 QStringLiteral("ツール-フォルダオプション-表示-タイトルバーにファイルのフルパス名"
                                "を表示するをオンにしてください。"));
#else
        QCOMPARE(
            ui().fileManagerFolders->toolTip(),
            QStringLiteral("Nautilus (ファイル) の窓はそのまま取得できます。\n"
                           "Nemo と Dolphin は設定でタイトルバーにフルパスを表示するをオンに、\n"
                           "Thunar は隠し設定 misc-full-path-in-title をオンにしてください。"));
#endif
        QAbstractItemModel* model = ui().folderTable->model();
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(model->columnCount(), 3);
        const QStringList headers{QStringLiteral("フォルダ名"), QStringLiteral("サブ監視"),
                                  QStringLiteral("階層数")};
        for (int column = 0; column < 3; ++column)
            QCOMPARE(model->headerData(column, Qt::Horizontal), headers[column]);
        QCOMPARE(ui().folderTable->columnWidth(0), 200);
        QCOMPARE(ui().folderTable->columnWidth(1), 70);
        QCOMPARE(mainWindow().cycleTimer().interval(), 3000);
        QVERIFY(!mainWindow().cycleTimer().isActive());
        QVERIFY(!program().logWindow().isVisible());
        QVERIFY(!program().aboutWindow().isVisible());
        QVERIFY(fixture_.dialogs.errors.isEmpty());
    }

    void fieldsAreReachableByTheirCaptions() {
        start(false);
        QCOMPARE(ui().intervalField->accessibleName(), QStringLiteral("監視間隔（秒）"));
        QCOMPARE(ui().depthField->accessibleName(), QStringLiteral("階層数"));
        QCOMPARE(ui().folderTable->accessibleName(), QStringLiteral("監視フォルダ"));
        QCOMPARE(ui().fileManagerFolders->accessibleName(),
                 QStringLiteral("エクスプローラから取得"));
    }

    // The interval is typed over its text and kept to 1..3600: a key that would leave the range
    // is refused. It reaches the settings as it changes.
    void theIntervalIsTypedWithinItsRange_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::newRow("largest") << QStringLiteral("3600") << 3600;
        QTest::newRow("smallest") << QStringLiteral("1") << 1;
        QTest::newRow("beyond the largest") << QStringLiteral("5000") << 500;
        QTest::newRow("zero") << QStringLiteral("0") << 3;
        QTest::newRow("letters") << QStringLiteral("12a") << 12;
    }
    void theIntervalIsTypedWithinItsRange() {
        QFETCH(QString, typed);
        QFETCH(int, value);
        start(false);
        QSpinBox* interval = ui().intervalField;
        interval->setFocus();
        interval->selectAll();
        QTest::keyClicks(interval, typed);
        QTest::keyClick(interval, Qt::Key_Return);
        QCOMPARE(interval->value(), value);
        QCOMPARE(program().settings().interval, value);
    }

    // Both number fields step by their arrows; the depth takes no typed text.
    void numberFieldsStepAndTheDepthTakesNoTyping() {
        start(false);
        QSpinBox* interval = ui().intervalField;
        interval->setFocus();
        QTest::keyClick(interval, Qt::Key_Up);
        QCOMPARE(interval->value(), 4);
        QCOMPARE(program().settings().interval, 4);
        interval->setValue(1);
        QTest::keyClick(interval, Qt::Key_Down);
        QCOMPARE(interval->value(), 1);
        ui().folderDetails->setEnabled(true);
        ui().depthField->setFocus();
        QTest::keyClicks(ui().depthField, QStringLiteral("9"));
        QCOMPARE(ui().depthField->value(), 1);
        QTest::keyClick(ui().depthField, Qt::Key_Up);
        QCOMPARE(ui().depthField->value(), 2);
    }

    void mainMenuItemsInOrder() {
        start(false);
        QCOMPARE(Texts(ui().mainMenu->actions()),
                 (QStringList{QStringLiteral("モニター"), QStringLiteral("フォルダ"),
                              QStringLiteral("ログ"), QStringLiteral("バージョン情報")}));
        QCOMPARE(Texts(ui().monitorMenu->actions()),
                 (QStringList{QStringLiteral("開始"), QStringLiteral("停止")}));
        QCOMPARE(Texts(ui().folderMenu->actions()),
                 (QStringList{QStringLiteral("追加"), QStringLiteral("削除"),
                              QStringLiteral("エクスプローラから取得")}));
        QCOMPARE(Texts(ui().logMenu->actions()),
                 (QStringList{QStringLiteral("保存"), QStringLiteral("消去")}));
        QVERIFY(!ui().aboutAction->menu());
        QCOMPARE(Texts(ui().trayMenu->actions()),
                 (QStringList{QStringLiteral("メインフォーム表示切替"),
                              QStringLiteral("ログフォーム表示切替"), QStringLiteral("開始"),
                              QStringLiteral("停止"), QStringLiteral("終了")}));
    }

    void settingsAreLoadedWhenTheWindowIsCreated() {
        QVERIFY(WriteFile(settingsPath(),
                          "[foldersv040]\r\n2\r\n/a/\r\nする\r\n2\r\n/b/\r\nしない\r\n0\r\n"
                          "[interval]\r\n60\r\n"));
        start(false);
        QAbstractItemModel* model = ui().folderTable->model();
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("/a/"));
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("する"));
        QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("2"));
        QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("しない"));
        QCOMPARE(ui().intervalField->value(), 60);
        QCOMPARE(mainWindow().cycleTimer().interval(), 60000);
        QVERIFY(ui().clearBaseAtStartBox->isChecked());
        QVERIFY(!ui().baseTimeLabel->isEnabled());

        // The table view follows the settings' table without copying it.
        program().settings().folders.remove(0);
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("/b/"));

        // The timer keeps its loaded interval when the field changes.
        ui().intervalField->setValue(5);
        QCOMPARE(mainWindow().cycleTimer().interval(), 60000);
    }

    void aBrokenSettingsFileIsReportedAndTheWindowStillOpens() {
        QVERIFY(WriteFile(settingsPath(), "[foldersv040]\r\nmany\r\n"));
        start(false);
        QCOMPARE(fixture_.dialogs.errors.size(), 1);
        QVERIFY2(fixture_.dialogs.errors.first().contains(QStringLiteral("many")),
                 qPrintable(fixture_.dialogs.errors.first()));
        QVERIFY(mainWindow().isVisible());
    }

    void closingSavesTheSettingsAndEndsTheProgram() {
        start(true);
        QSignalSpy closed(&mainWindow(), &MainWindow::closed);
        ui().intervalField->setValue(7);
        program().settings().folders.append({"/x/", true, 3});
        QVERIFY(mainWindow().close());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(ReadFile(settingsPath()),
                 QByteArray("[foldersv040]\r\n1\r\n/x/\r\nする\r\n3\r\n[interval]\r\n7\r\n"));
        QVERIFY(!mainWindow().trayIcon()->isVisible());
        QVERIFY(fixture_.dialogs.errors.isEmpty());
    }

    void aMissingSettingsFolderIsMadeAtTheFirstSave() {
        const QString fresh = fixture_.path(QStringLiteral("config/trellisk/trellisk.ini"));
        fixture_.start(false, QUrl(), fresh);
        mainWindow().show();
        QVERIFY(mainWindow().close());
        QCOMPARE(ReadFile(fresh), QByteArray("[foldersv040]\r\n0\r\n[interval]\r\n3\r\n"));
        QVERIFY(fixture_.dialogs.errors.isEmpty());
    }

    void aFailedSaveIsReportedKeepsTheOldFileAndTheProgramStillEnds() {
        // The temporary file beside a name this long would be longer than any name may be.
        const QString longName = fixture_.path(QString(246, u'x') + QStringLiteral(".ini"));
        const QByteArray old("[foldersv040]\r\n0\r\n[interval]\r\n5\r\n");
        QVERIFY(WriteFile(longName, old));
        fixture_.start(false, QUrl(), longName);
        mainWindow().show();
        ui().intervalField->setValue(9);
        QSignalSpy closed(&mainWindow(), &MainWindow::closed);
        QVERIFY(mainWindow().close());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(fixture_.dialogs.errors.size(), 1);
        QVERIFY2(fixture_.dialogs.errors.first().startsWith(longName + QStringLiteral(": ")),
                 qPrintable(fixture_.dialogs.errors.first()));
        QCOMPARE(ReadFile(longName), old);
    }

    // At logout nobody clicks OK: the error goes to standard error and the program ends.
    void aFailedSaveAtAnEndBySignalWaitsForNobody() {
        // The temporary file beside a name this long would be longer than any name may be.
        const QString longName = fixture_.path(QString(246, u'y') + QStringLiteral(".ini"));
        fixture_.start(true, QUrl(), longName);
        mainWindow().show();
        ui().intervalField->setValue(9);
        QSignalSpy closed(&mainWindow(), &MainWindow::closed);

        const QString errorFile = fixture_.path(QStringLiteral("stderr.txt"));
        std::fflush(stderr);
        const int savedError = ::dup(STDERR_FILENO);
        const int capture = ::open(QFile::encodeName(errorFile).constData(),
                                   O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(capture, STDERR_FILENO);
        ::close(capture);
        mainWindow().endBySignal();
        std::fflush(stderr);
        ::dup2(savedError, STDERR_FILENO);
        ::close(savedError);

        QCOMPARE(closed.size(), 1);
        QVERIFY(fixture_.dialogs.errors.isEmpty());
        const QByteArray reported = ReadFile(errorFile);
        QVERIFY2(reported.startsWith("trellisk: " + QFile::encodeName(longName) + ": "),
                 reported.constData());
        QVERIFY(!mainWindow().trayIcon()->isVisible());
    }

    void activationCopiesTheBaseTimeOfTheLogWindow() {
        start(false);
        ui().baseTimeLabel->setText(QStringLiteral("stale"));
        program().log().changeStatus(
            [](LogStatus& status) { status.comparedBaseTime = "2024/05/06 7:08:09"; });
        QCOMPARE(program().logWindow().baseTimeText(), QStringLiteral("2024/05/06 7:08:09"));
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&mainWindow(), &activate);
        QCOMPARE(ui().baseTimeLabel->text(), QStringLiteral("2024/05/06 7:08:09"));
    }

    void restartOptionDisablesTheBaseTimeAndReachesTheSettings() {
        start(false);
        QTest::mouseClick(ui().clearBaseAtStartBox, Qt::LeftButton, {},
                          QPoint(4, ui().clearBaseAtStartBox->height() / 2));
        QVERIFY(ui().clearBaseAtStartBox->isChecked());
        QVERIFY(program().settings().clearBaseAtStart);
        QVERIFY(!ui().baseTimeLabel->isEnabled());

        program().frontEnd().setClearBaseAtStart(false);
        QVERIFY(!ui().clearBaseAtStartBox->isChecked());
        QVERIFY(!program().settings().clearBaseAtStart);
        QVERIFY(ui().baseTimeLabel->isEnabled());
    }

    void trayShowsTheProgramIconThenThePictureOfTheState() {
        start(true);
        TrayIcon* tray = mainWindow().trayIcon();
        QVERIFY(tray);
        QVERIFY(!tray->picture().has_value());
        QCOMPARE(tray->icon().pixmap(16).toImage(), ProgramIcon().pixmap(16).toImage());
        for (TrayPicture picture :
             {TrayPicture::Busy, TrayPicture::Monitoring, TrayPicture::Stopped}) {
            program().frontEnd().setTrayPicture(picture);
            QCOMPARE(tray->picture(), std::optional<TrayPicture>(picture));
            QCOMPARE(tray->icon().pixmap(16).toImage(),
                     TrayPictureIcon(picture).pixmap(16).toImage());
        }
    }

    // Folder body and arrow shaft of the 16 x 16 pictures: yellow or red, cyan or red.
    void trayPicturesShowTheStateByColour() {
        auto isYellow = [](QColor c) { return c.red() > 200 && c.green() > 150 && c.blue() < 120; };
        auto isRed = [](QColor c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; };
        auto isCyan = [](QColor c) { return c.red() < 100 && c.green() > 150 && c.blue() > 150; };
        const QPoint folder(12, 11);
        const QPoint arrow(2, 10);
        const QImage stopped =
            TrayPictureIcon(TrayPicture::Stopped).pixmap(QSize(16, 16), 1.0).toImage();
        const QImage waiting =
            TrayPictureIcon(TrayPicture::Monitoring).pixmap(QSize(16, 16), 1.0).toImage();
        const QImage busy = TrayPictureIcon(TrayPicture::Busy).pixmap(QSize(16, 16), 1.0).toImage();
        QCOMPARE(stopped.size(), QSize(16, 16));
        QVERIFY(isYellow(stopped.pixelColor(folder)));
        QVERIFY(isCyan(stopped.pixelColor(arrow)));
        QVERIFY(isYellow(waiting.pixelColor(folder)));
        QVERIFY(isRed(waiting.pixelColor(arrow)));
        QVERIFY(isRed(busy.pixelColor(folder)));
        QVERIFY(isRed(busy.pixelColor(arrow)));
        // Larger tray sizes get a picture drawn at that size.
        QCOMPARE(TrayPictureIcon(TrayPicture::Stopped).pixmap(QSize(32, 32), 1.0).size(),
                 QSize(32, 32));
    }

    // The two toggles of the tray menu, from the main window shown and the log window hidden.
    // Without a tray the program never hides the last visible window: nothing could show a
    // window again. "m" toggles the main window, "l" the log window; the result is which
    // windows are visible after each step.
    void trayMenuTogglesTheWindows_data() {
        QTest::addColumn<bool>("trayAvailable");
        QTest::addColumn<QString>("toggles");
        QTest::addColumn<QStringList>("visible");
        const auto steps = [](std::initializer_list<const char*> list) {
            QStringList texts;
            for (const char* text : list)
                texts << QString::fromLatin1(text);
            return texts;
        };
        QTest::newRow("tray") << true << QStringLiteral("mmll") << steps({"", "m", "ml", "m"});
        QTest::newRow("tray, both hidden") << true << QStringLiteral("mll") << steps({"", "l", ""});
        QTest::newRow("no tray, main window alone") << false << QStringLiteral("m") << steps({"m"});
        QTest::newRow("no tray, log window shown")
            << false << QStringLiteral("lmlm") << steps({"ml", "l", "l", "ml"});
    }
    void trayMenuTogglesTheWindows() {
        QFETCH(bool, trayAvailable);
        QFETCH(QString, toggles);
        QFETCH(QStringList, visible);
        start(trayAvailable);
        const LogWindow& log = program().logWindow();
        for (qsizetype step = 0; step < toggles.size(); ++step) {
            (toggles[step] == u'm' ? ui().toggleMainWindowAction : ui().toggleLogWindowAction)
                ->trigger();
            const QString shown =
                QString(mainWindow().isVisible() ? QStringLiteral("m") : QString()) +
                (log.isVisible() ? QStringLiteral("l") : QString());
            QCOMPARE(shown, visible[step]);
        }
    }

    // A tray that goes away with both windows hidden leaves the main window shown; a tray that
    // comes later brings its icon, and from then on the start hides the main window.
    void theTrayMayComeAndGo() {
        start(false);
        QVERIFY(!mainWindow().trayIcon());
        mainWindow().setTrayAvailable(true);
        QVERIFY(mainWindow().trayIcon());
        ui().startAction->trigger(); // refused: no folder, but the window is hidden first
        QVERIFY(!mainWindow().isVisible());
        mainWindow().setTrayAvailable(false);
        QVERIFY(!mainWindow().trayIcon());
        QVERIFY(mainWindow().isVisible());
        ui().startAction->trigger();
        QVERIFY(mainWindow().isVisible());
    }

    // A left click on the tray icon shows the main window, restored, raised and active.
    void leftClickOnTheTrayBringsTheMainWindowToTheFront_data() {
        QTest::addColumn<QString>("before");
        QTest::newRow("hidden") << QStringLiteral("hidden");
        QTest::newRow("minimised") << QStringLiteral("minimised");
        QTest::newRow("behind the log window") << QStringLiteral("behind");
    }
    void leftClickOnTheTrayBringsTheMainWindowToTheFront() {
        QFETCH(QString, before);
        start(true);
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow()));
        if (before == u"hidden") {
            mainWindow().hide();
        } else if (before == u"minimised") {
            mainWindow().showMinimized();
            QTRY_VERIFY(mainWindow().isMinimized());
        } else {
            program().logWindow().show();
            program().logWindow().activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &program().logWindow());
        }
        emit mainWindow().trayIcon()->leftClicked();
        QVERIFY(mainWindow().isVisible());
        QVERIFY(!mainWindow().isMinimized());
        if (before != u"hidden") // a window shown afresh is activated by the window manager
            QTRY_COMPARE(QApplication::activeWindow(), &mainWindow());
    }

    // Starting from the main menu hides the main window only where a tray icon can bring it
    // back; with no folder the start is refused either way.
    void startFromTheMainMenu_data() {
        QTest::addColumn<bool>("trayAvailable");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray") << false;
    }
    void startFromTheMainMenu() {
        QFETCH(bool, trayAvailable);
        start(trayAvailable);
        ui().startAction->trigger();
        QCOMPARE(mainWindow().isVisible(), !trayAvailable);
        QCOMPARE(fixture_.dialogs.messages,
                 QStringList{QStringLiteral("監視フォルダが指定されていません")});
        QVERIFY(!program().monitor().isMonitoring());
    }

    void startFromTheTrayMenuKeepsTheMainWindow() {
        writeSettingsWatchingAFolder();
        start(true);
        startMonitoring();
        QVERIFY(mainWindow().isVisible());
        QVERIFY(program().logWindow().isVisible());
        QCOMPARE(ui().statusLabel->text(), QStringLiteral("状態：監視中"));
        QCOMPARE(mainWindow().trayIcon()->picture(),
                 std::optional<TrayPicture>(TrayPicture::Monitoring));
        QVERIFY(mainWindow().cycleTimer().isActive());
        QCOMPARE(mainWindow().cycleTimer().interval(), 1000);
        QVERIFY(!ui().clearBaseAtStartBox->isChecked());

        ui().trayStopAction->trigger();
        QVERIFY(!program().monitor().isMonitoring());
        QCOMPARE(ui().statusLabel->text(), QStringLiteral("状態：停止中"));
        QCOMPARE(mainWindow().trayIcon()->picture(),
                 std::optional<TrayPicture>(TrayPicture::Stopped));
        QVERIFY(!mainWindow().cycleTimer().isActive());
    }

    // The cycle runs as a job: the monitor menu is off and the busy picture shows until its
    // end has come back to the window thread.
    void theMonitorMenuIsDisabledWhileACycleRuns() {
        writeSettingsWatchingAFolder();
        start(true);
        startMonitoring();
        QVERIFY(ui().monitorMenu->menuAction()->isEnabled());
        mainWindow().runCycle();
        QCOMPARE(program().monitor().state(), Monitor::State::Cycle);
        QVERIFY(!ui().monitorMenu->menuAction()->isEnabled());
        QVERIFY(!mainWindow().cycleTimer().isActive());
        QCOMPARE(mainWindow().trayIcon()->picture(), std::optional<TrayPicture>(TrayPicture::Busy));
        QTRY_COMPARE(program().monitor().state(), Monitor::State::Waiting);
        QVERIFY(ui().monitorMenu->menuAction()->isEnabled());
        QCOMPARE(mainWindow().trayIcon()->picture(),
                 std::optional<TrayPicture>(TrayPicture::Monitoring));
        QVERIFY(mainWindow().cycleTimer().isActive());
    }

    // An exit chosen while a cycle runs ends the program at once, with the settings saved;
    // the stopped job ends on its own.
    void exitDuringACycleEndsAtOnce_data() {
        QTest::addColumn<bool>("fromTrayMenu");
        QTest::newRow("tray menu") << true;
        QTest::newRow("close box") << false;
    }
    void exitDuringACycleEndsAtOnce() {
        QFETCH(bool, fromTrayMenu);
        writeSettingsWatchingAFolder();
        start(true);
        startMonitoring();
        QFile::remove(settingsPath());
        QSignalSpy closed(&mainWindow(), &MainWindow::closed);
        mainWindow().runCycle();
        QVERIFY(program().monitor().jobRunning());
        if (fromTrayMenu)
            ui().exitAction->trigger();
        else
            QVERIFY(mainWindow().close());
        QCOMPARE(closed.size(), 1);
        QVERIFY(!mainWindow().isVisible());
        QVERIFY(!program().logWindow().isVisible());
        QVERIFY(!mainWindow().trayIcon()->isVisible());
        QVERIFY(!program().monitor().isMonitoring());
        QVERIFY(ReadFile(settingsPath()).startsWith("[foldersv040]\r\n1\r\n"));
        QVERIFY(program().monitor().waitForJobEnd(std::chrono::seconds(1)));
    }

    void exitFromTheTrayMenuWithTheMainWindowHidden() {
        start(true);
        mainWindow().hide();
        QSignalSpy closed(&mainWindow(), &MainWindow::closed);
        ui().exitAction->trigger();
        QCOMPARE(closed.size(), 1);
        QVERIFY(QFile::exists(settingsPath()));
    }

    // The log window refuses to close, which must not keep the program running.
    void theEventLoopEndsWhenTheMainWindowCloses() {
        start(true);
        program().logWindow().show();
        QTimer::singleShot(0, ui().exitAction, &QAction::trigger);
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(QFile::exists(settingsPath()));
    }

    // A right-click on any control of either window opens the tray menu, as a user clicks:
    // through the window. Only a text being edited keeps its own edit menu.
    void rightClickOnAnyControlOpensTheTrayMenu_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("editing");
        for (const char* control :
             {"intervalField", "depthField", "folderTable", "fileManagerFolders", "statusLabel",
              "updatedTable", "freeSpaceList", "tabs"})
            QTest::newRow(control) << QString::fromLatin1(control) << false;
        QTest::newRow("interval being typed") << QStringLiteral("intervalField") << true;
    }
    void rightClickOnAnyControlOpensTheTrayMenu() {
        QFETCH(QString, control);
        QFETCH(bool, editing);
        start(true);
        program().logWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&program().logWindow()));
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow()));
        ui().folderDetails->setEnabled(true);
        QWidget* target = mainWindow().findChild<QWidget*>(control);
        if (target == nullptr)
            target = program().logWindow().findChild<QWidget*>(control);
        QVERIFY(target);
        if (auto* view = qobject_cast<QAbstractScrollArea*>(target))
            target = view->viewport();
        if (auto* spin = qobject_cast<QSpinBox*>(target))
            target = spin->findChild<QLineEdit*>();
        QWidget* window = target->window();
        if (editing) {
            window->activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), window);
            target->setFocus();
            QTRY_VERIFY(target->hasFocus());
        }
        // The menu that opened, closed again from inside its own loop where it runs one (an edit
        // menu deletes itself on closing).
        bool opened = false;
        bool trayMenuOpened = false;
        QTimer::singleShot(50, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            opened = menu != nullptr;
            trayMenuOpened = menu == ui().trayMenu;
            if (menu)
                menu->close();
        });
        const QPoint at(4, 4);
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, {}, target->mapTo(window, at));
        QTRY_VERIFY(opened);
        QCOMPARE(trayMenuOpened, !editing);
    }

    // The program's own boxes are modal to the main window only and do not wait: while a
    // message or the question is open, the tray menu opens from the log window and its
    // commands run; the question is answered through its callback.
    void theTrayMenuStaysUsableWhileABoxIsOpen_data() {
        QTest::addColumn<bool>("question");
        QTest::newRow("message") << false;
        QTest::newRow("question") << true;
    }
    void theTrayMenuStaysUsableWhileABoxIsOpen() {
        QFETCH(bool, question);
        QtDialogs dialogs;
        SystemClock clock;
        Program boxed({settingsPath().toStdString(), true, QUrl()}, dialogs, clock);
        LogWindow& log = boxed.logWindow();
        boxed.mainWindow().show();
        log.show();
        QVERIFY(QTest::qWaitForWindowExposed(&log));
        const MainWindowControls& controls = boxed.mainWindow().controls();
        std::optional<bool> answer;
        if (question)
            boxed.frontEnd().askYesNo("question", [&](bool yes) { answer = yes; });
        else
            boxed.frontEnd().showMessage("message");
        QTRY_VERIFY(QApplication::activeModalWidget() != nullptr);
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box);
        QCOMPARE(box->windowModality(), Qt::WindowModal);

        QTest::mouseClick(log.windowHandle(), Qt::RightButton, {}, QPoint(300, 200));
        QTRY_VERIFY(controls.trayMenu->isVisible());
        controls.trayMenu->close();
        controls.toggleLogWindowAction->trigger();
        QVERIFY(!log.isVisible());

        box->button(question ? QMessageBox::Yes : QMessageBox::Ok)->click();
        QTRY_VERIFY(OpenBox() == nullptr);
        QCOMPARE(answer, question ? std::optional<bool>(true) : std::nullopt);
    }

    void theTrayMenuIsTheContextMenuOfBothWindows() {
        start(true);
        const QList<QWidget*> windows{&mainWindow(), &program().logWindow()};
        for (QWidget* window : windows) {
            window->show();
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                    window->mapToGlobal(QPoint(5, 5)));
            QCoreApplication::sendEvent(window, &event);
            QVERIFY2(ui().trayMenu->isVisible(), qPrintable(window->objectName()));
            ui().trayMenu->close();
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_tests.moc"
