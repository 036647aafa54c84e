#include "desktop/about/about_window.h"
#include "desktop/app/program.h"
#include "desktop/app/qt_window_interface.h"
#include "desktop/appearance/tray_pictures.h"
#include "desktop/dialogs/dialogs.h"
#include "desktop/log_window/log_window.h"
#include "desktop/main_window/main_window.h"
#include "desktop/tray/tray_icon.h"
#include "engine/platform/clock.h"
#include "tests/desktop/windows/recording_dialogs.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
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

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class SlowClock final : public Clock {
public:
    [[nodiscard]] std::time_t now() const override { return std::time(nullptr); }
    [[nodiscard]] std::chrono::steady_clock::time_point monotonic() const override {
        elapsed_ += std::chrono::seconds(20);
        return std::chrono::steady_clock::time_point(elapsed_);
    }

private:
    mutable std::chrono::seconds elapsed_{0};
};

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
    QTemporaryDir dir_;
    test::RecordingDialogs dialogs_;
    SystemClock clock_;
    std::unique_ptr<Program> program_;

    QString settingsPath() const { return dir_.filePath(QStringLiteral("trellisk.ini")); }
    MainWindow& mainWindow() { return program_->mainWindow(); }
    const MainWindowControls& ui() { return mainWindow().controls(); }

    void start(bool trayAvailable) {
        program_ = std::make_unique<Program>(
            ProgramOptions{settingsPath().toStdString(), trayAvailable, QUrl()}, dialogs_, clock_);
        mainWindow().show();
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
        mainWindow().runCycle();
    }

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        QFile::remove(settingsPath());
        dialogs_ = {};
    }
    void cleanup() { program_.reset(); }

    // The baseline's question, open while the engine runs, does not keep a signal from ending
    // the program. First of all tests: once a test has ended the program, no event loop in
    // this process runs again, a box's included.
    void anEndBySignalAnswersTheBaselineQuestion() {
        QDir(dir_.path()).mkpath(QStringLiteral("watched/sub"));
        WriteFile(settingsPath(), "[foldersv040]\r\n1\r\n" +
                                      QFile::encodeName(dir_.filePath(QStringLiteral("watched/"))) +
                                      "\r\nする\r\n0\r\n[interval]\r\n3\r\n");
        QtDialogs boxes;
        SlowClock slowClock; // every reading 20 s later: the baseline asks at once
        program_ = std::make_unique<Program>(
            ProgramOptions{settingsPath().toStdString(), false, QUrl()}, boxes, slowClock);
        mainWindow().show();
        QSignalSpy closed(&mainWindow(), &MainWindow::closed);
        bool boxWasOpen = false;
        bool boxGone = false;
        QTimer::singleShot(100, &mainWindow(), [&] {
            boxWasOpen = OpenBox() != nullptr;
            mainWindow().endBySignal();
            boxGone = OpenBox() == nullptr;
        });
        // Boxes that stay are answered here, so that the test ends and fails.
        QTimer answerer;
        QObject::connect(&answerer, &QTimer::timeout, [] {
            if (QDialog* box = OpenBox())
                box->reject();
        });
        answerer.start(2000);
        ui().startAction->trigger();
        QVERIFY(boxWasOpen);
        QVERIFY(boxGone);
        QCOMPARE(closed.size(), 1);
        QVERIFY(!program_->monitor().isMonitoring());
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
        QCOMPARE(ui().fileManagerFolders->toolTip(),
                 QStringLiteral("ツール-フォルダオプション-表示-タイトルバーにファイルのフルパス名"
                                "を表示するをオンにしてください。"));
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
        QVERIFY(!program_->logWindow().isVisible());
        QVERIFY(!program_->aboutWindow().isVisible());
        QVERIFY(dialogs_.errors.isEmpty());
    }

    void fieldsAreReachableByTheirCaptions() {
        start(false);
        QCOMPARE(ui().intervalField->accessibleName(), QStringLiteral("監視間隔（秒）"));
        QCOMPARE(ui().depthField->accessibleName(), QStringLiteral("階層数"));
        QCOMPARE(ui().folderTable->accessibleName(), QStringLiteral("監視フォルダ"));
        QCOMPARE(ui().fileManagerFolders->accessibleName(),
                 QStringLiteral("エクスプローラから取得"));
    }

    // The number fields step by their arrows but take no typed text; the interval reaches
    // the settings as it changes.
    void numberFieldsStepButTakeNoTyping() {
        start(false);
        QSpinBox* interval = ui().intervalField;
        interval->setFocus();
        QTest::keyClicks(interval, QStringLiteral("9"));
        QCOMPARE(interval->value(), 3);
        QTest::keyClick(interval, Qt::Key_Up);
        QCOMPARE(interval->value(), 4);
        QCOMPARE(program_->settings().interval, 4);
        interval->setValue(1);
        QTest::keyClick(interval, Qt::Key_Down);
        QCOMPARE(interval->value(), 1);
        ui().folderDetails->setEnabled(true);
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
        WriteFile(settingsPath(), "[foldersv040]\r\n2\r\n/a/\r\nする\r\n2\r\n/b/\r\nしない\r\n0\r\n"
                                  "[interval]\r\n60\r\n");
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
        program_->settings().folders.remove(0);
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("/b/"));

        // The timer keeps its loaded interval when the field changes.
        ui().intervalField->setValue(5);
        QCOMPARE(mainWindow().cycleTimer().interval(), 60000);
    }

    void aBrokenSettingsFileIsReportedAndTheWindowStillOpens() {
        WriteFile(settingsPath(), "[foldersv040]\r\nmany\r\n");
        start(false);
        QCOMPARE(dialogs_.errors.size(), 1);
        QVERIFY2(dialogs_.errors.first().contains(QStringLiteral("many")),
                 qPrintable(dialogs_.errors.first()));
        QVERIFY(mainWindow().isVisible());
    }

    void closingSavesTheSettingsAndEndsTheProgram() {
        start(true);
        QSignalSpy closed(&mainWindow(), &MainWindow::closed);
        ui().intervalField->setValue(7);
        program_->settings().folders.append({"/x/", "する", "3"});
        QVERIFY(mainWindow().close());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(ReadFile(settingsPath()),
                 QByteArray("[foldersv040]\r\n1\r\n/x/\r\nする\r\n3\r\n[interval]\r\n7\r\n"));
        QVERIFY(!mainWindow().trayIcon()->isVisible());
        QVERIFY(dialogs_.errors.isEmpty());
    }

    void aFailedSaveIsReportedAndTheProgramStillEnds() {
        const QString missingFolder = dir_.filePath(QStringLiteral("missing/trellisk.ini"));
        program_ = std::make_unique<Program>(
            ProgramOptions{missingFolder.toStdString(), false, QUrl()}, dialogs_, clock_);
        mainWindow().show();
        QSignalSpy closed(&mainWindow(), &MainWindow::closed);
        QVERIFY(mainWindow().close());
        QCOMPARE(closed.size(), 1);
        QCOMPARE(dialogs_.errors.size(), 1);
        QVERIFY2(dialogs_.errors.first().startsWith(missingFolder + QStringLiteral(": ")),
                 qPrintable(dialogs_.errors.first()));
    }

    // At logout nobody clicks OK: the error goes to standard error and the program ends.
    void aFailedSaveAtAnEndBySignalWaitsForNobody() {
        const QString missingFolder = dir_.filePath(QStringLiteral("missing/trellisk.ini"));
        program_ = std::make_unique<Program>(
            ProgramOptions{missingFolder.toStdString(), true, QUrl()}, dialogs_, clock_);
        mainWindow().show();
        QSignalSpy closed(&mainWindow(), &MainWindow::closed);

        const QString errorFile = dir_.filePath(QStringLiteral("stderr.txt"));
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
        QVERIFY(dialogs_.errors.isEmpty());
        const QByteArray reported = ReadFile(errorFile);
        QVERIFY2(reported.startsWith("trellisk: " + QFile::encodeName(missingFolder) + ": "),
                 reported.constData());
        QVERIFY(!mainWindow().trayIcon()->isVisible());
    }

    void activationCopiesTheBaseTimeOfTheLogWindow() {
        start(false);
        ui().baseTimeLabel->setText(QStringLiteral("stale"));
        program_->log().changeStatus(
            [](LogStatus& status) { status.comparedBaseTime = "2024/05/06 7:08:09"; });
        QCOMPARE(program_->logWindow().baseTimeText(), QStringLiteral("2024/05/06 7:08:09"));
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&mainWindow(), &activate);
        QCOMPARE(ui().baseTimeLabel->text(), QStringLiteral("2024/05/06 7:08:09"));
    }

    void restartOptionDisablesTheBaseTimeAndReachesTheSettings() {
        start(false);
        QTest::mouseClick(ui().clearBaseAtStartBox, Qt::LeftButton, {},
                          QPoint(4, ui().clearBaseAtStartBox->height() / 2));
        QVERIFY(ui().clearBaseAtStartBox->isChecked());
        QVERIFY(program_->settings().clearBaseAtStart);
        QVERIFY(!ui().baseTimeLabel->isEnabled());

        program_->windowInterface().setClearBaseAtStart(false);
        QVERIFY(!ui().clearBaseAtStartBox->isChecked());
        QVERIFY(!program_->settings().clearBaseAtStart);
        QVERIFY(ui().baseTimeLabel->isEnabled());
    }

    void trayShowsTheProgramIconThenThePictureOfTheState() {
        start(true);
        TrayIcon* tray = mainWindow().trayIcon();
        QVERIFY(tray);
        QCOMPARE(tray->picture(), std::optional<TrayPicture>());
        QCOMPARE(tray->icon().pixmap(16).toImage(), ProgramIcon().pixmap(16).toImage());
        for (TrayPicture picture :
             {TrayPicture::Busy, TrayPicture::Monitoring, TrayPicture::Stopped}) {
            program_->windowInterface().setTrayPicture(picture);
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
        const QImage stopped = TrayPictureIcon(TrayPicture::Stopped).pixmap(16).toImage();
        const QImage waiting = TrayPictureIcon(TrayPicture::Monitoring).pixmap(16).toImage();
        const QImage busy = TrayPictureIcon(TrayPicture::Busy).pixmap(16).toImage();
        QCOMPARE(stopped.size(), QSize(16, 16));
        QVERIFY(isYellow(stopped.pixelColor(folder)));
        QVERIFY(isCyan(stopped.pixelColor(arrow)));
        QVERIFY(isYellow(waiting.pixelColor(folder)));
        QVERIFY(isRed(waiting.pixelColor(arrow)));
        QVERIFY(isRed(busy.pixelColor(folder)));
        QVERIFY(isRed(busy.pixelColor(arrow)));
        // Larger tray sizes get a picture drawn at that size.
        QCOMPARE(TrayPictureIcon(TrayPicture::Stopped).pixmap(32).size(), QSize(32, 32));
    }

    void trayMenuTogglesTheWindows() {
        start(true);
        LogWindow& log = program_->logWindow();
        ui().toggleMainWindowAction->trigger();
        QVERIFY(!mainWindow().isVisible());
        ui().toggleMainWindowAction->trigger();
        QVERIFY(mainWindow().isVisible());
        ui().toggleLogWindowAction->trigger();
        QVERIFY(log.isVisible());
        ui().toggleLogWindowAction->trigger();
        QVERIFY(!log.isVisible());
    }

    void leftClickOnTheTrayShowsTheMainWindow() {
        start(true);
        mainWindow().hide();
        emit mainWindow().trayIcon()->leftClicked();
        QVERIFY(mainWindow().isVisible());
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
        QCOMPARE(dialogs_.messages,
                 QStringList{QStringLiteral("監視フォルダが指定されていません")});
        QVERIFY(!program_->monitor().isMonitoring());
    }

    void startFromTheTrayMenuKeepsTheMainWindow() {
        writeSettingsWatchingAFolder();
        start(true);
        ui().trayStartAction->trigger();
        QVERIFY(program_->monitor().isMonitoring());
        QVERIFY(mainWindow().isVisible());
        QVERIFY(program_->logWindow().isVisible());
        QCOMPARE(ui().statusLabel->text(), QStringLiteral("状態：監視中"));
        QCOMPARE(mainWindow().trayIcon()->picture(),
                 std::optional<TrayPicture>(TrayPicture::Monitoring));
        QVERIFY(mainWindow().cycleTimer().isActive());
        QCOMPARE(mainWindow().cycleTimer().interval(), 1000);
        QVERIFY(!ui().clearBaseAtStartBox->isChecked());

        ui().trayStopAction->trigger();
        QVERIFY(!program_->monitor().isMonitoring());
        QCOMPARE(ui().statusLabel->text(), QStringLiteral("状態：停止中"));
        QCOMPARE(mainWindow().trayIcon()->picture(),
                 std::optional<TrayPicture>(TrayPicture::Stopped));
        QVERIFY(!mainWindow().cycleTimer().isActive());
    }

    void theMonitorMenuIsDisabledWhileACycleRuns() {
        writeSettingsWatchingAFolder();
        start(true);
        ui().trayStartAction->trigger();
        QVERIFY(ui().monitorMenu->menuAction()->isEnabled());
        bool inside = false;
        bool menuEnabled = true;
        std::optional<TrayPicture> picture;
        runCycleWith(
            [&] {
                menuEnabled = ui().monitorMenu->menuAction()->isEnabled();
                picture = mainWindow().trayIcon()->picture();
            },
            &inside);
        QVERIFY(inside);
        QVERIFY(!menuEnabled);
        QCOMPARE(picture, std::optional<TrayPicture>(TrayPicture::Busy));
        QVERIFY(ui().monitorMenu->menuAction()->isEnabled());
        QCOMPARE(mainWindow().trayIcon()->picture(),
                 std::optional<TrayPicture>(TrayPicture::Monitoring));
        QVERIFY(mainWindow().cycleTimer().isActive());
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
        ui().trayStartAction->trigger();
        QFile::remove(settingsPath());
        QSignalSpy closed(&mainWindow(), &MainWindow::closed);
        bool inside = false;
        bool endedInside = true;
        runCycleWith(
            [&] {
                if (fromTrayMenu)
                    ui().exitAction->trigger();
                else
                    mainWindow().close();
                endedInside =
                    !closed.isEmpty() || QFile::exists(settingsPath()) || !mainWindow().isVisible();
            },
            &inside);
        QVERIFY(inside);
        QVERIFY(!endedInside);
        QCOMPARE(closed.size(), 1);
        QVERIFY(!mainWindow().isVisible());
        QVERIFY(ReadFile(settingsPath()).startsWith("[foldersv040]\r\n1\r\n"));
        QVERIFY(!mainWindow().trayIcon()->isVisible());
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
        program_->logWindow().show();
        QTimer::singleShot(0, ui().exitAction, &QAction::trigger);
        QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(QFile::exists(settingsPath()));
    }

    void theTrayMenuIsTheContextMenuOfBothWindows() {
        start(true);
        const QList<QWidget*> windows{&mainWindow(), &program_->logWindow()};
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
