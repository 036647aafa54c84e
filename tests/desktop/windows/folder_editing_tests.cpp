// The folder commands and the log menu of the main window, with the file dialogs answered
// through the dialog seam.
#include "desktop/app/program.h"
#include "desktop/dialogs/folder_dialog.h"
#include "desktop/main_window/main_window.h"
#include "engine/log/log_export.h"
#include "engine/settings/settings_file.h"
#include "engine/text/text_helpers.h"
#include "tests/support/fake_clock.h"
#include "tests/support/program_fixture.h"
#include "tests/support/test_files.h"

#include <QAbstractItemModel>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableView>
#include <QTest>

#include <functional>
#include <map>
#include <memory>

using namespace trellisk;

namespace {

using test::ReadFile;
using test::WriteFile;

constexpr std::time_t kNow = 1136419503; // 2006-01-05, local time decides the rest

} // namespace

class FolderEditingTest : public QObject {
    Q_OBJECT

private:
    test::FakeClock clock_{kNow};
    test::ProgramFixture fixture_{&clock_};

    QString settingsPath() const { return fixture_.settingsPath(); }
    MainWindow& mainWindow() { return fixture_.mainWindow(); }
    const MainWindowControls& ui() { return fixture_.controls(); }
    ObservableTable<FolderEntry>& folders() { return fixture_.program().settings().folders; }

    // Starts the program over a settings file listing `entries` (path, flag, depth each).
    void start(const QList<QByteArray>& entries = {}) {
        QByteArray text = "[foldersv040]\r\n" + QByteArray::number(entries.size() / 3) + "\r\n";
        for (const QByteArray& line : entries)
            text += line + "\r\n";
        QVERIFY(WriteFile(settingsPath(), text + "[interval]\r\n3\r\n"));
        fixture_.start();
        mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow()));
        ui().clearBaseAtStartBox->setChecked(false);
    }

    QString folder(const char* name) { return fixture_.makeFolder(QString::fromUtf8(name)); }

    QList<QStringList> rows() {
        QList<QStringList> list;
        for (const FolderEntry& entry : folders())
            list << QStringList{QString::fromStdString(entry.path),
                                QString::fromUtf8(SubfoldersText(entry.subfolders)),
                                QString::number(entry.depthLimit)};
        return list;
    }

    void selectRow(int row) { ui().folderTable->selectRow(row); }

    // Double-clicks a row of the folder table as the user would.
    void doubleClickRow(int row) {
        QTableView* view = ui().folderTable;
        const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    }

    void click(QAbstractButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
    }

    bool detailsOpen() { return ui().folderDetails->isEnabled(); }

private slots:
    void init() {
        QVERIFY(fixture_.isValid());
        fixture_.dialogs = {};
    }
    void cleanup() {
        fixture_.stop();
        fixture_.clearDirectory();
    }

    void addingAFolder_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("row");
        const QString plain = fixture_.path(QStringLiteral("my docs"));
        QTest::newRow("plain path") << plain << plain + QLatin1Char('/');
        QTest::newRow("ends with a separator")
            << plain + QLatin1Char('/') << plain + QLatin1Char('/');
        QTest::newRow("file system root") << QStringLiteral("/") << QStringLiteral("/");
    }
    void addingAFolder() {
        QFETCH(QString, chosen);
        QFETCH(QString, row);
        start({"/kept/", "する", "2"});
        fixture_.dialogs.folderAnswer = chosen;
        ui().addFolderAction->trigger();
        ui().addFolderAction->trigger(); // no check against the rows there: the same folder twice
        QCOMPARE(fixture_.dialogs.folderRequests, 2);
        const QStringList added{row, QStringLiteral("しない"), QStringLiteral("0")};
        QCOMPARE(rows(), (QList<QStringList>{{QStringLiteral("/kept/"), QStringLiteral("する"),
                                              QStringLiteral("2")},
                                             added,
                                             added}));
        QVERIFY(ui().clearBaseAtStartBox->isChecked());
        QVERIFY(!ui().baseTimeLabel->isEnabled());
        QCOMPARE(ui().folderTable->model()->index(2, 0).data().toString(), row);
        QVERIFY(fixture_.dialogs.messages.isEmpty());
    }

    // The settings file is line based: such a path would shift every later line on reload.
    void aFolderWithALineBreakIsRefused_data() {
        QTest::addColumn<bool>("fromDialog");
        QTest::addColumn<QString>("path");
        for (const bool fromDialog : {true, false}) {
            const char* source = fromDialog ? "dialog" : "file-manager list";
            QTest::addRow("%s, LF", source) << fromDialog << QStringLiteral("/data/two\nlines");
            QTest::addRow("%s, CR", source) << fromDialog << QStringLiteral("/data/carriage\r");
        }
    }
    void aFolderWithALineBreakIsRefused() {
        QFETCH(bool, fromDialog);
        QFETCH(QString, path);
        start({"/kept/", "する", "2"});
        if (fromDialog) {
            fixture_.dialogs.folderAnswer = path;
            ui().addFolderAction->trigger();
        } else {
            auto* item = new QListWidgetItem(path, ui().fileManagerFolders);
            item->setData(Qt::UserRole, path.toUtf8());
            ui().fileManagerFolders->setCurrentItem(item);
            emit ui().fileManagerFolders->picked();
        }
        QString shown = path;
        shown.replace(QLatin1Char('\n'), QStringLiteral("\\n"))
            .replace(QLatin1Char('\r'), QStringLiteral("\\r"));
        QCOMPARE(fixture_.dialogs.messages,
                 QStringList{QStringLiteral("改行を含むフォルダ名は登録できません: ") + shown});
        QCOMPARE(rows(), (QList<QStringList>{{QStringLiteral("/kept/"), QStringLiteral("する"),
                                              QStringLiteral("2")}}));
        QVERIFY(!ui().clearBaseAtStartBox->isChecked());
    }

    void cancellingTheFolderDialogAddsNothing() {
        start();
        ui().addFolderAction->trigger();
        QCOMPARE(fixture_.dialogs.folderRequests, 1);
        QVERIFY(folders().empty());
        QVERIFY(!ui().clearBaseAtStartBox->isChecked());
        QVERIFY(fixture_.dialogs.messages.isEmpty());
    }

    void deletingTheSelectedFolder() {
        start({"/a/", "しない", "0", "/b/", "する", "1", "/c/", "しない", "0"});
        selectRow(1);
        ui().removeFolderAction->trigger();
        QCOMPARE(rows(),
                 (QList<QStringList>{
                     {QStringLiteral("/a/"), QStringLiteral("しない"), QStringLiteral("0")},
                     {QStringLiteral("/c/"), QStringLiteral("しない"), QStringLiteral("0")}}));
        QVERIFY(ui().clearBaseAtStartBox->isChecked());
        QVERIFY(fixture_.dialogs.messages.isEmpty());
    }

    void deletingWithoutASelectionStillChecksTheOption() {
        start({"/a/", "しない", "0"});
        ui().folderTable->clearSelection();
        ui().removeFolderAction->trigger();
        QCOMPARE(fixture_.dialogs.messages,
                 QStringList{QStringLiteral("削除するフォルダを選択してください")});
        QCOMPARE(folders().count(), 1u);
        QVERIFY(ui().clearBaseAtStartBox->isChecked());
    }

    // The details show the choice and depth last used, not the row's, and "OK" writes what
    // they show.
    void detailsShowTheLastValuesAndOkWritesThem() {
        start({"/a/", "する", "5", "/b/", "しない", "0"});
        QVERIFY(ui().subfolderNo->isChecked());
        QVERIFY(ui().depthGroup->isEnabledTo(ui().folderDetails)); // only a click disables it

        doubleClickRow(0);
        QVERIFY(detailsOpen());
        QCOMPARE(ui().detailsFolderLabel->text(), QStringLiteral("/a/"));
        QVERIFY(ui().subfolderNo->isChecked());
        QCOMPARE(ui().depthField->value(), 1);
        click(ui().detailsOkButton);
        QCOMPARE(rows().value(0), (QStringList{QStringLiteral("/a/"), QStringLiteral("しない"),
                                               QStringLiteral("1")}));
        QVERIFY(!detailsOpen());
        QVERIFY(ui().detailsFolderLabel->text().isEmpty());
        QVERIFY(ui().clearBaseAtStartBox->isChecked());

        ui().clearBaseAtStartBox->setChecked(false);
        doubleClickRow(1);
        QCOMPARE(ui().detailsFolderLabel->text(), QStringLiteral("/b/"));
        click(ui().subfolderYes);
        QVERIFY(ui().depthGroup->isEnabled());
        ui().depthField->setFocus();
        QTest::keyClick(ui().depthField, Qt::Key_Up);
        QTest::keyClick(ui().depthField, Qt::Key_Up);
        click(ui().detailsOkButton);
        QCOMPARE(rows().value(1),
                 (QStringList{QStringLiteral("/b/"), QStringLiteral("する"), QStringLiteral("3")}));
        QVERIFY(ui().clearBaseAtStartBox->isChecked());

        // Opening again keeps "する" and 3 from the last edit.
        doubleClickRow(0);
        QVERIFY(ui().subfolderYes->isChecked());
        QCOMPARE(ui().depthField->value(), 3);
        click(ui().subfolderNo);
        QVERIFY(!ui().depthGroup->isEnabled());
        click(ui().detailsOkButton);
        // "しない" still takes the depth shown.
        QCOMPARE(rows().value(0), (QStringList{QStringLiteral("/a/"), QStringLiteral("しない"),
                                               QStringLiteral("3")}));
    }

    void cancelClosesTheDetailsWithoutChange() {
        start({"/a/", "しない", "0"});
        doubleClickRow(0);
        click(ui().subfolderYes);
        click(ui().detailsCancelButton);
        QVERIFY(!detailsOpen());
        QVERIFY(ui().detailsFolderLabel->text().isEmpty());
        QCOMPARE(rows().value(0), (QStringList{QStringLiteral("/a/"), QStringLiteral("しない"),
                                               QStringLiteral("0")}));
        QVERIFY(!ui().clearBaseAtStartBox->isChecked());
    }

    void doubleClickWithoutASelectionOpensNothing() {
        start({"/a/", "しない", "0"});
        ui().folderTable->clearSelection();
        mainWindow().openFolderDetails();
        QVERIFY(!detailsOpen());
        QVERIFY(ui().detailsFolderLabel->text().isEmpty());
    }

    // Rows deleted while the details are open: "OK" writes into the folder that was opened,
    // or, when that folder is gone, changes nothing and closes the details; either way it
    // checks the option to clear the comparison base, as every "OK" does.
    void theEditedRowFollowsDeletions() {
        start({"/a/", "しない", "0", "/b/", "しない", "0", "/c/", "しない", "0"});
        doubleClickRow(2);
        selectRow(0);
        ui().removeFolderAction->trigger();
        ui().clearBaseAtStartBox->setChecked(false);
        click(ui().subfolderYes);
        click(ui().detailsOkButton);
        QCOMPARE(rows(),
                 (QList<QStringList>{
                     {QStringLiteral("/b/"), QStringLiteral("しない"), QStringLiteral("0")},
                     {QStringLiteral("/c/"), QStringLiteral("する"), QStringLiteral("1")}}));
        QVERIFY(ui().clearBaseAtStartBox->isChecked());

        doubleClickRow(1);
        selectRow(1);
        ui().removeFolderAction->trigger();
        ui().clearBaseAtStartBox->setChecked(false);
        click(ui().subfolderNo);
        click(ui().detailsOkButton);
        QCOMPARE(rows(), (QList<QStringList>{{QStringLiteral("/b/"), QStringLiteral("しない"),
                                              QStringLiteral("0")}}));
        QVERIFY(!detailsOpen());
        QVERIFY(ui().detailsFolderLabel->text().isEmpty());
        QVERIFY(ui().clearBaseAtStartBox->isChecked());
    }

    // Enter on a folder row opens its details as a double-click does, also where the row is
    // only current (as after tabbing into the table) and not yet selected.
    void enterOnAFolderRowOpensItsDetails_data() {
        QTest::addColumn<bool>("selected");
        QTest::newRow("selected") << true;
        QTest::newRow("current only") << false;
    }
    void enterOnAFolderRowOpensItsDetails() {
        QFETCH(bool, selected);
        start({"/a/", "しない", "0", "/b/", "しない", "0"});
        QTableView* table = ui().folderTable;
        table->setFocus();
        if (selected)
            selectRow(1);
        else
            table->selectionModel()->setCurrentIndex(table->model()->index(1, 0),
                                                     QItemSelectionModel::NoUpdate);
        QTest::keyClick(table, Qt::Key_Return);
        QVERIFY(detailsOpen());
        QCOMPARE(ui().detailsFolderLabel->text(), QStringLiteral("/b/"));
    }

    // A file-manager list of one entry is picked by keyboard: Enter or Space on the current
    // entry, which the list has made current without selecting it.
    void theOnlyFileManagerEntryIsPickedByKeyboard_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Space") << int(Qt::Key_Space);
    }
    void theOnlyFileManagerEntryIsPickedByKeyboard() {
        QFETCH(int, key);
        start();
        const QString only = folder("only");
        auto* item = new QListWidgetItem(only, ui().fileManagerFolders);
        item->setData(Qt::UserRole, QFile::encodeName(only));
        ui().fileManagerFolders->setFocus();
        QTRY_VERIFY(ui().fileManagerFolders->hasFocus());
        ui().fileManagerFolders->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        QVERIFY(rows().isEmpty());
        QTest::keyClick(ui().fileManagerFolders, Qt::Key(key));
        QCOMPARE(rows(), (QList<QStringList>{{only + QLatin1Char('/'), QStringLiteral("しない"),
                                              QStringLiteral("0")}}));
    }

    // While monitoring, the commands that change the folder table say so and do nothing.
    void refusedWhileMonitoring_data() {
        QTest::addColumn<QString>("command");
        for (const char* command : {"追加", "削除", "エクスプローラから取得", "double-click", "OK"})
            QTest::newRow(command) << QString::fromUtf8(command);
    }
    void refusedWhileMonitoring() {
        QFETCH(QString, command);
        const QByteArray watched = folder("watched").toUtf8() + '/';
        start({watched, "しない", "0", "/gone/", "しない", "0"});
        doubleClickRow(1); // open before the start, so that "OK" has a row
        ui().fileManagerFolders->addItem(QStringLiteral("/earlier/"));
        ui().trayStartAction->trigger();
        QVERIFY(fixture_.program().monitor().isMonitoring());
        const QList<QStringList> before = rows();
        fixture_.dialogs.folderAnswer = fixture_.directory();
        selectRow(0);
        click(ui().subfolderYes);
        fixture_.dialogs.messages.clear();

        const std::map<QString, std::function<void()>> commands{
            {QStringLiteral("追加"), [&] { ui().addFolderAction->trigger(); }},
            {QStringLiteral("削除"), [&] { ui().removeFolderAction->trigger(); }},
            {QStringLiteral("エクスプローラから取得"),
             [&] { ui().collectFoldersAction->trigger(); }},
            {QStringLiteral("double-click"), [&] { doubleClickRow(0); }},
            {QStringLiteral("OK"), [&] { click(ui().detailsOkButton); }},
        };
        commands.at(command)();
        QCOMPARE(fixture_.dialogs.messages, QStringList{QStringLiteral("モニター中です")});
        QCOMPARE(rows(), before);
        QCOMPARE(fixture_.dialogs.folderRequests, 0);
        QVERIFY(!ui().clearBaseAtStartBox->isChecked());
        QCOMPARE(ui().fileManagerFolders->count(), 1);
        QCOMPARE(ui().detailsFolderLabel->text(), QStringLiteral("/gone/"));
        QVERIFY(detailsOpen());

        // Cancel and the radio group stay available.
        click(ui().detailsCancelButton);
        QVERIFY(!detailsOpen());
        QCOMPARE(fixture_.dialogs.messages.size(), 1);
    }

    // Without an X11 display no window titles can be read: the list is emptied, nothing fails.
    void collectingWithoutADisplay() {
        const QByteArray display = qgetenv("DISPLAY");
        qunsetenv("DISPLAY");
        start();
        ui().fileManagerFolders->addItem(QStringLiteral("/earlier/"));
        ui().collectFoldersAction->trigger();
        if (!display.isEmpty())
            qputenv("DISPLAY", display);
        QCOMPARE(ui().fileManagerFolders->count(), 0);
        QVERIFY(ui().clearBaseAtStartBox->isChecked());
        QVERIFY(fixture_.dialogs.messages.isEmpty());
        QVERIFY(fixture_.dialogs.errors.isEmpty());
    }

    void missingFolderMessage_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("message");
        folder("there");
        QVERIFY(WriteFile(fixture_.path(QStringLiteral("file.txt")), "x"));
        const QString there = fixture_.path(QStringLiteral("there"));
        const QString missing = fixture_.path(QStringLiteral("missing"));
        const QString suffix = QStringLiteral(" ディレクトリは存在しません");
        QTest::newRow("folder") << QStringLiteral("there") << there << QString();
        QTest::newRow("missing") << QStringLiteral("missing") << missing
                                 << QStringLiteral("missing") + suffix;
        QTest::newRow("file") << QStringLiteral("file.txt")
                              << fixture_.path(QStringLiteral("file.txt"))
                              << QStringLiteral("file.txt") + suffix;
        QTest::newRow("nothing typed") << QString() << missing << missing + suffix;
        QTest::newRow("no path at all")
            << QStringLiteral("x") << QString() << QStringLiteral("x") + suffix;
    }
    void missingFolderMessage() {
        QFETCH(QString, typed);
        QFETCH(QString, path);
        QFETCH(QString, message);
        const std::optional<QString> refusal = MissingFolderMessage(typed, path);
        QCOMPARE(refusal.value_or(QString()), message);
    }

    // The real dialog: a typed name that is no folder keeps it open with the message.
    void folderDialogRefusesATypedNameThatIsNoFolder() {
        const QString there = folder("there");
        QStringList refusals;
        FolderDialog dialog(nullptr, [&](QWidget*, const QString& text) { refusals << text; });
        QCOMPARE(dialog.windowTitle(), QStringLiteral("フォルダを選択して下さい。"));
        QCOMPARE(dialog.fileMode(), QFileDialog::Directory);
        dialog.setDirectory(fixture_.directory());
        dialog.show();
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(edit);

        edit->setText(QStringLiteral("missing"));
        dialog.accept();
        QCOMPARE(refusals, QStringList{QStringLiteral("missing ディレクトリは存在しません")});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        edit->setText(QStringLiteral("there"));
        dialog.accept();
        QCOMPARE(refusals.size(), 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.selectedFiles(), QStringList{there});
    }

    void savingTheLog() {
        start();
        LogRow added;
        added.kind = FindingKind::New;
        added.file = "a.txt";
        added.folder = "/w/";
        added.size = 1;
        added.dateKey = kNow - 2;
        added.detected = kNow;
        fixture_.program().log().entries.append(added);
        const QString base = fixture_.path(QStringLiteral("saved"));
        fixture_.dialogs.saveAnswer = base;
        ui().saveLogAction->trigger();
        QCOMPARE(fixture_.dialogs.saveInitialNames,
                 QStringList{QString::fromStdString(LogFileInitialName(kNow))});
        QVERIFY(QRegularExpression(QStringLiteral("^log-2006-01-0[45] \\d{1,2}-\\d\\d-\\d\\d$"))
                    .match(fixture_.dialogs.saveInitialNames.first())
                    .hasMatch());
        QVERIFY(ReadFile(base + QStringLiteral("-ind.txt")).startsWith("[新規ファイル]\r\n"));
        QCOMPARE(ReadFile(base + QStringLiteral("-log.txt")),
                 "ファイル名\t内容\tサイズ\tサイズ増減or旧名\t更新日時\t検出日時\tフォルダ\r\n"
                 "a.txt\t新規\t          1\t\t" +
                     QByteArray::fromStdString(DateText(kNow - 2)) + '\t' +
                     QByteArray::fromStdString(DateTimeText(kNow)) + "\t/w/\r\n");
        QVERIFY(fixture_.dialogs.errors.isEmpty());
    }

    void cancellingTheSaveDialogWritesNothing() {
        start();
        const QStringList before = QDir(fixture_.directory()).entryList(QDir::Files);
        ui().saveLogAction->trigger();
        QCOMPARE(fixture_.dialogs.saveInitialNames.size(), 1);
        QCOMPARE(QDir(fixture_.directory()).entryList(QDir::Files), before);
        QVERIFY(fixture_.dialogs.errors.isEmpty());
    }

    void savingIntoAMissingFolderShowsTheError() {
        start();
        const QString base = fixture_.path(QStringLiteral("missing/saved"));
        fixture_.dialogs.saveAnswer = base;
        ui().saveLogAction->trigger();
        QCOMPARE(fixture_.dialogs.errors.size(), 1);
        QVERIFY2(fixture_.dialogs.errors.first().startsWith(base + QStringLiteral("-ind.txt: ")),
                 qPrintable(fixture_.dialogs.errors.first()));
        QVERIFY(!QFile::exists(base + QStringLiteral("-log.txt")));
    }

    void clearingTheLogKeepsTheRenamedFiles() {
        start();
        LogData& log = fixture_.program().log();
        LogRow added;
        added.file = "a";
        added.folder = "/w/";
        log.entries.append(added);
        log.newFiles.append({"a", "/w/", 1});
        log.deletedFiles.append({"b", "/w/"});
        log.updatedFiles.insertSorted({"c", "/w/", 2, 0, std::nullopt});
        log.renamedFiles.append({"e", "f", "/w/"});
        log.changeStatus([](LogStatus& status) { status.newCount = 1; });
        ui().clearLogAction->trigger();
        QVERIFY(log.entries.empty());
        QVERIFY(log.newFiles.empty());
        QVERIFY(log.deletedFiles.empty());
        QVERIFY(log.updatedFiles.empty());
        QCOMPARE(log.renamedFiles.count(), 1u);
        QCOMPARE(log.status().newCount, 1);
    }
};

QTEST_MAIN(FolderEditingTest)
#include "folder_editing_tests.moc"
