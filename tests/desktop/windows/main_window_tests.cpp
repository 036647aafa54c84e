#include "desktop/about/about_window.h"
#include "desktop/main_window/main_window.h"
#include "desktop/app/program.h"
#include "desktop/app/qt_window_interface.h"
#include "desktop/tray/tray_icon.h"
#include "desktop/appearance/tray_pictures.h"
#include "desktop/log_window/log_window.h"
#include "engine/platform/clock.h"
#include "tests/desktop/windows/recording_dialogs.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

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

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    test::RecordingDialogs dialogs_;
    SystemClock clock_;
    std::unique_ptr<Program> program_;

    QString settingsPath() const { return dir_.filePath(QStringLiteral("trellisk.ini")); }
    TForm1& form1() { return program_->form1(); }
    const TForm1Controls& ui() { return form1().controls(); }

    void start(bool trayAvailable) {
        program_ = std::make_unique<Program>(
            ProgramOptions{settingsPath().toStdString(), trayAvailable, QUrl()}, dialogs_, clock_);
        form1().show();
    }

    // A folder to watch, with one file in it, listed in the settings file.
    void writeSettingsWatchingAFolder() {
        const QString watched = dir_.filePath(QStringLiteral("watched"));
        QVERIFY(QDir().mkpath(watched));
        WriteFile(watched + QStringLiteral("/a.txt"), "a");
        WriteFile(settingsPath(), "[foldersv040]\r\n1\r\n" + watched.toUtf8() +
                                      "/\r\nする\r\n0\r\n[interval]\r\n1\r\n");
    }

    // Runs one monitoring cycle and calls `during` from the first event pump inside it.
    void runCycleWith(const std::function<void()>& during, bool* ranInsideCycle) {
        // Events are pumped at most every few milliseconds: let the last pump age first.
        QTest::qWait(QtWindowInterface::kPumpSpacingMs * 2);
        QTimer::singleShot(0, this, [this, during, ranInsideCycle] {
            *ranInsideCycle = program_->monitor().busy();
            during();
        });
        form1().Timer1Timer();
    }

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        QFile::remove(settingsPath());
        dialogs_ = {};
    }
    void cleanup() { program_.reset(); }

    void controlsSitAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QString>("caption");
        auto row = [](const char* name, QRect place, const char* caption) {
            QTest::newRow(name) << QString::fromLatin1(name) << place << QString::fromUtf8(caption);
        };
        row("Label3", {8, 8, 0, 16}, "状態：停止中");
        row("GroupBox1", {8, 32, 377, 129}, "監視フォルダ");
        row("ListView1", {8, 32, 361, 89}, "");
        row("GroupBox4", {8, 168, 169, 137}, "フォルダ詳細");
        row("Label7", {8, 16, 0, 0}, "");
        row("RadioGroup1", {8, 40, 81, 57}, "サブ監視");
        row("GroupBox3", {96, 40, 65, 57}, "階層数");
        row("Edit2", {8, 16, 48, 20}, "1");
        row("Button1", {16, 104, 49, 25}, "OK");
        row("Button2", {80, 104, 65, 25}, "キャンセル");
        row("GroupBox2", {184, 168, 185, 81}, "設定");
        row("Label2", {8, 18, 0, 0}, "監視間隔（秒）");
        row("Edit1", {88, 16, 48, 20}, "3");
        row("restartclearcbox", {8, 37, 0, 17}, "開始時に比較元をクリアする");
        row("Label4", {8, 56, 0, 0}, "");
        row("Label1", {184, 256, 0, 0}, "エクスプローラから取得");
        row("ListBox2", {184, 272, 169, 41}, "");
    }
    // A width or height of 0 in the table is where the text decides the size.
    void controlsSitAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(QString, caption);
        start(false);
        auto* widget = form1().findChild<QWidget*>(name);
        QVERIFY2(widget, qPrintable(name));
        QCOMPARE(widget->pos(), place.topLeft());
        if (place.width() > 0)
            QCOMPARE(widget->width(), place.width());
        if (place.height() > 0)
            QCOMPARE(widget->height(), place.height());
        QCOMPARE(Caption(widget), caption);
        if (auto* button = qobject_cast<QPushButton*>(widget))
            QVERIFY2(button->fontMetrics().horizontalAdvance(caption) <= button->width() - 4,
                     "the caption is cut off");
        else if (qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget))
            QVERIFY2(widget->width() >= widget->sizeHint().width(), "the caption is cut off");
    }

    void windowFrameAndInitialState() {
        start(false);
        QCOMPARE(form1().windowTitle(), QStringLiteral("Trellisk"));
        QCOMPARE(ui().client->size(), QSize(388, 320));
        QCOMPARE(form1().minimumSize(), form1().maximumSize());
        QVERIFY(!(form1().windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(form1().windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!ui().GroupBox4->isEnabled());
        QVERIFY(ui().RadioGroup1No->isChecked());
        QVERIFY(!ui().restartclearcbox->isChecked());
        QCOMPARE(ui().Label3->font().pixelSize(), 16);
        QVERIFY(ui().Label4->fontMetrics().horizontalAdvance(
                    QStringLiteral("比較元日時2026/12/28 23:58:58")) <= ui().Label4->width());
        QVERIFY(ui().Label4->geometry().right() < ui().GroupBox2->width());
        QCOMPARE(ui().Edit2->minimum(), 0);
        QCOMPARE(ui().Edit2->maximum(), 100);
        QCOMPARE(ui().Edit1->minimum(), 1);
        QCOMPARE(ui().Edit1->maximum(), 3600);
        QVERIFY(!ui().Edit1->wrapping());
        QCOMPARE(ui().ListBox2->toolTip(),
                 QStringLiteral("ツール-フォルダオプション-表示-タイトルバーにファイルのフルパス名"
                                "を表示するをオンにしてください。"));
        QAbstractItemModel* model = ui().ListView1->model();
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(model->columnCount(), 3);
        const QStringList headers{QStringLiteral("フォルダ名"), QStringLiteral("サブ監視"),
                                  QStringLiteral("階層数")};
        for (int column = 0; column < 3; ++column)
            QCOMPARE(model->headerData(column, Qt::Horizontal), headers[column]);
        QCOMPARE(ui().ListView1->columnWidth(0), 200);
        QCOMPARE(ui().ListView1->columnWidth(1), 70);
        QCOMPARE(form1().Timer1().interval(), 3000);
        QVERIFY(!form1().Timer1().isActive());
        QVERIFY(!program_->form2().isVisible());
        QVERIFY(!program_->form3().isVisible());
        QVERIFY(dialogs_.errors.isEmpty());
    }

    void fieldsAreReachableByTheirCaptions() {
        start(false);
        QCOMPARE(ui().Edit1->accessibleName(), QStringLiteral("監視間隔（秒）"));
        QCOMPARE(ui().Edit2->accessibleName(), QStringLiteral("階層数"));
        QCOMPARE(ui().ListView1->accessibleName(), QStringLiteral("監視フォルダ"));
        QCOMPARE(ui().ListBox2->accessibleName(), QStringLiteral("エクスプローラから取得"));
    }

    // The number fields step by their arrows but take no typed text; the interval reaches
    // the settings as it changes.
    void numberFieldsStepButTakeNoTyping() {
        start(false);
        QSpinBox* interval = ui().Edit1;
        interval->setFocus();
        QTest::keyClicks(interval, QStringLiteral("9"));
        QCOMPARE(interval->value(), 3);
        QTest::keyClick(interval, Qt::Key_Up);
        QCOMPARE(interval->value(), 4);
        QCOMPARE(program_->settings().interval, 4);
        interval->setValue(1);
        QTest::keyClick(interval, Qt::Key_Down);
        QCOMPARE(interval->value(), 1);
        ui().GroupBox4->setEnabled(true);
        QTest::keyClick(ui().Edit2, Qt::Key_Up);
        QCOMPARE(ui().Edit2->value(), 2);
    }

    void mainMenuItemsInOrder() {
        start(false);
        QCOMPARE(Texts(ui().MainMenu1->actions()),
                 (QStringList{QStringLiteral("モニター"), QStringLiteral("フォルダ"),
                              QStringLiteral("ログ"), QStringLiteral("バージョン情報")}));
        QCOMPARE(Texts(ui().N1->actions()),
                 (QStringList{QStringLiteral("開始"), QStringLiteral("停止")}));
        QCOMPARE(Texts(ui().FolderMenu->actions()),
                 (QStringList{QStringLiteral("追加"), QStringLiteral("削除"),
                              QStringLiteral("エクスプローラから取得")}));
        QCOMPARE(Texts(ui().LogMenu->actions()),
                 (QStringList{QStringLiteral("保存"), QStringLiteral("消去")}));
        QVERIFY(!ui().About1->menu());
        QCOMPARE(Texts(ui().PopupMenu1->actions()),
                 (QStringList{QStringLiteral("メインフォーム表示切替"),
                              QStringLiteral("ログフォーム表示切替"), QStringLiteral("開始"),
                              QStringLiteral("停止"), QStringLiteral("終了")}));
    }

    void settingsAreLoadedWhenTheWindowIsCreated() {
        WriteFile(settingsPath(), "[foldersv040]\r\n2\r\n/a/\r\nする\r\n2\r\n/b/\r\nしない\r\n0\r\n"
                                  "[interval]\r\n60\r\n");
        start(false);
        QAbstractItemModel* model = ui().ListView1->model();
        QCOMPARE(model->rowCount(), 2);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("/a/"));
        QCOMPARE(model->index(0, 1).data().toString(), QStringLiteral("する"));
        QCOMPARE(model->index(0, 2).data().toString(), QStringLiteral("2"));
        QCOMPARE(model->index(1, 1).data().toString(), QStringLiteral("しない"));
        QCOMPARE(ui().Edit1->value(), 60);
        QCOMPARE(form1().Timer1().interval(), 60000);
        QVERIFY(ui().restartclearcbox->isChecked());
        QVERIFY(!ui().Label4->isEnabled());

        // The table view follows the settings' table without copying it.
        program_->settings().ListView1.remove(0);
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("/b/"));

        // The timer keeps its loaded interval when the field changes.
        ui().Edit1->setValue(5);
        QCOMPARE(form1().Timer1().interval(), 60000);
    }

    void aBrokenSettingsFileIsReportedAndTheWindowStillOpens() {
        WriteFile(settingsPath(), "[foldersv040]\r\nmany\r\n");
        start(false);
        QCOMPARE(dialogs_.errors.size(), 1);
        QVERIFY2(dialogs_.errors.first().contains(QStringLiteral("many")),
                 qPrintable(dialogs_.errors.first()));
        QVERIFY(form1().isVisible());
    }

    void closingSavesTheSettingsAndEndsTheProgram() {
        start(true);
        QSignalSpy closed(&form1(), &TForm1::closed);
        ui().Edit1->setValue(7);
        program_->settings().ListView1.append({"/x/", "する", "3"});
        QVERIFY(form1().close());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(ReadFile(settingsPath()),
                 QByteArray("[foldersv040]\r\n1\r\n/x/\r\nする\r\n3\r\n[interval]\r\n7\r\n"));
        QVERIFY(!form1().trayIcon()->isVisible());
        QVERIFY(dialogs_.errors.isEmpty());
    }

    void aFailedSaveIsReportedAndTheProgramStillEnds() {
        const QString missingFolder = dir_.filePath(QStringLiteral("missing/trellisk.ini"));
        program_ = std::make_unique<Program>(
            ProgramOptions{missingFolder.toStdString(), false, QUrl()}, dialogs_, clock_);
        form1().show();
        QSignalSpy closed(&form1(), &TForm1::closed);
        QVERIFY(form1().close());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(dialogs_.errors.size(), 1);
    }

    void activationCopiesTheBaseTimeOfTheLogWindow() {
        start(false);
        ui().Label4->setText(QStringLiteral("stale"));
        program_->log().changeStatus(
            [](LogStatus& status) { status.Label3 = "2024/05/06 7:08:09"; });
        QCOMPARE(program_->form2().baseTimeText(), QStringLiteral("2024/05/06 7:08:09"));
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&form1(), &activate);
        QCOMPARE(ui().Label4->text(), QStringLiteral("2024/05/06 7:08:09"));
    }

    void restartOptionDisablesTheBaseTimeAndReachesTheSettings() {
        start(false);
        QTest::mouseClick(ui().restartclearcbox, Qt::LeftButton, {},
                          QPoint(4, ui().restartclearcbox->height() / 2));
        QVERIFY(ui().restartclearcbox->isChecked());
        QVERIFY(program_->settings().restartclearcbox);
        QVERIFY(!ui().Label4->isEnabled());

        program_->windowInterface().setRestartClear(false);
        QVERIFY(!ui().restartclearcbox->isChecked());
        QVERIFY(!program_->settings().restartclearcbox);
        QVERIFY(ui().Label4->isEnabled());
    }

    void trayShowsTheProgramIconThenThePictureOfTheState() {
        start(true);
        TrayIcon* tray = form1().trayIcon();
        QVERIFY(tray);
        QCOMPARE(tray->picture(), TrayIcon::kProgramPicture);
        QCOMPARE(tray->icon().pixmap(16).toImage(), ProgramIcon().pixmap(16).toImage());
        for (TrayPicture picture : {kTrayBusy, kTrayMonitoring, kTrayStopped}) {
            program_->windowInterface().setTrayPicture(picture);
            QCOMPARE(tray->picture(), int(picture));
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
        const QImage stopped = TrayPictureIcon(kTrayStopped).pixmap(16).toImage();
        const QImage waiting = TrayPictureIcon(kTrayMonitoring).pixmap(16).toImage();
        const QImage busy = TrayPictureIcon(kTrayBusy).pixmap(16).toImage();
        QCOMPARE(stopped.size(), QSize(16, 16));
        QVERIFY(isYellow(stopped.pixelColor(folder)));
        QVERIFY(isCyan(stopped.pixelColor(arrow)));
        QVERIFY(isYellow(waiting.pixelColor(folder)));
        QVERIFY(isRed(waiting.pixelColor(arrow)));
        QVERIFY(isRed(busy.pixelColor(folder)));
        QVERIFY(isRed(busy.pixelColor(arrow)));
        // Larger tray sizes get a picture drawn at that size.
        QCOMPARE(TrayPictureIcon(kTrayStopped).pixmap(32).size(), QSize(32, 32));
    }

    void trayMenuTogglesTheWindows() {
        start(true);
        TForm2& log = program_->form2();
        ui().N9->trigger();
        QVERIFY(!form1().isVisible());
        ui().N9->trigger();
        QVERIFY(form1().isVisible());
        ui().N10->trigger();
        QVERIFY(log.isVisible());
        ui().N10->trigger();
        QVERIFY(!log.isVisible());
    }

    void leftClickOnTheTrayShowsTheMainWindow() {
        start(true);
        form1().hide();
        emit form1().trayIcon()->leftClicked();
        QVERIFY(form1().isVisible());
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
        ui().N2->trigger();
        QCOMPARE(form1().isVisible(), !trayAvailable);
        QCOMPARE(dialogs_.messages,
                 QStringList{QStringLiteral("監視フォルダが指定されていません")});
        QVERIFY(!program_->monitor().Monitoring());
    }

    void startFromTheTrayMenuKeepsTheMainWindow() {
        writeSettingsWatchingAFolder();
        start(true);
        ui().N11->trigger();
        QVERIFY(program_->monitor().Monitoring());
        QVERIFY(form1().isVisible());
        QVERIFY(program_->form2().isVisible());
        QCOMPARE(ui().Label3->text(), QStringLiteral("状態：監視中"));
        QCOMPARE(form1().trayIcon()->picture(), int(kTrayMonitoring));
        QVERIFY(form1().Timer1().isActive());
        QCOMPARE(form1().Timer1().interval(), 1000);
        QVERIFY(!ui().restartclearcbox->isChecked());

        ui().Exit1->trigger();
        QVERIFY(!program_->monitor().Monitoring());
        QCOMPARE(ui().Label3->text(), QStringLiteral("状態：停止中"));
        QCOMPARE(form1().trayIcon()->picture(), int(kTrayStopped));
        QVERIFY(!form1().Timer1().isActive());
    }

    void theMonitorMenuIsDisabledWhileACycleRuns() {
        writeSettingsWatchingAFolder();
        start(true);
        ui().N11->trigger();
        QVERIFY(ui().N1->menuAction()->isEnabled());
        bool inside = false;
        bool menuEnabled = true;
        int picture = -1;
        runCycleWith(
            [&] {
                menuEnabled = ui().N1->menuAction()->isEnabled();
                picture = form1().trayIcon()->picture();
            },
            &inside);
        QVERIFY(inside);
        QVERIFY(!menuEnabled);
        QCOMPARE(picture, int(kTrayBusy));
        QVERIFY(ui().N1->menuAction()->isEnabled());
        QCOMPARE(form1().trayIcon()->picture(), int(kTrayMonitoring));
        QVERIFY(form1().Timer1().isActive());
    }

    // An exit chosen while a cycle pumps events waits until the cycle has unwound, then
    // ends the program with the settings saved.
    void exitDuringACycleWaitsForTheCycle_data() {
        QTest::addColumn<bool>("fromTrayMenu");
        QTest::newRow("tray menu") << true;
        QTest::newRow("close box") << false;
    }
    void exitDuringACycleWaitsForTheCycle() {
        QFETCH(bool, fromTrayMenu);
        writeSettingsWatchingAFolder();
        start(true);
        ui().N11->trigger();
        QFile::remove(settingsPath());
        QSignalSpy closed(&form1(), &TForm1::closed);
        bool inside = false;
        bool endedInside = true;
        runCycleWith(
            [&] {
                if (fromTrayMenu)
                    ui().Exit2->trigger();
                else
                    form1().close();
                endedInside =
                    !closed.isEmpty() || QFile::exists(settingsPath()) || !form1().isVisible();
            },
            &inside);
        QVERIFY(inside);
        QVERIFY(!endedInside);
        QCOMPARE(closed.size(), 1);
        QVERIFY(!form1().isVisible());
        QVERIFY(ReadFile(settingsPath()).startsWith("[foldersv040]\r\n1\r\n"));
        QVERIFY(!form1().trayIcon()->isVisible());
    }

    void exitFromTheTrayMenuWithTheMainWindowHidden() {
        start(true);
        form1().hide();
        QSignalSpy closed(&form1(), &TForm1::closed);
        ui().Exit2->trigger();
        QCOMPARE(closed.size(), 1);
        QVERIFY(QFile::exists(settingsPath()));
    }

    // The log window refuses to close, which must not keep the program running.
    void theEventLoopEndsWhenTheMainWindowCloses() {
        start(true);
        program_->form2().show();
        QTimer::singleShot(0, ui().Exit2, &QAction::trigger);
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(QFile::exists(settingsPath()));
    }

    void theTrayMenuIsTheContextMenuOfBothWindows() {
        start(true);
        const QList<QWidget*> windows{&form1(), &program_->form2()};
        for (QWidget* window : windows) {
            window->show();
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                                    window->mapToGlobal(QPoint(5, 5)));
            QCoreApplication::sendEvent(window, &event);
            QVERIFY2(ui().PopupMenu1->isVisible(), qPrintable(window->objectName()));
            ui().PopupMenu1->close();
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_tests.moc"
