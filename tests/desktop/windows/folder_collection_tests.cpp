// Folders taken from the windows of file managers, under a real X server: the test opens
// top-level windows of its own with xcb, as a file manager's windows would look, and answers
// on a session bus of its own as a file manager that reports its windows does.
#include "desktop/app/program.h"
#include "desktop/main_window/main_window.h"
#include "engine/settings/settings_file.h"
#include "tests/support/private_session_bus.h"
#include "tests/support/program_fixture.h"
#include "tests/support/stand_in_file_manager.h"
#include "tests/support/test_files.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTest>
#include <QUrl>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

using namespace trellisk;

namespace {

QStringList Entries(const QListWidget* list) {
    QStringList entries;
    for (int row = 0; row < list->count(); ++row)
        entries << list->item(row)->text();
    return entries;
}

} // namespace

class FolderCollectionTest : public QObject {
    Q_OBJECT

private:
    // Before the program connects to the session bus.
    test::PrivateSessionBus bus_{QStringLiteral("org.freedesktop.FileManager1")};
    test::StandInFileManager fileManager_;
    xcb_connection_t* c_ = nullptr;
    std::vector<xcb_window_t> windows_;
    test::ProgramFixture fixture_;

    MainWindow& mainWindow() { return fixture_.mainWindow(); }
    const MainWindowControls& ui() { return fixture_.controls(); }

    // A round trip: everything sent before it has been carried out by the server.
    void sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

    void openWindow(const QString& title, bool mapped) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
        const xcb_window_t w = xcb_generate_id(c_);
        xcb_create_window(c_, XCB_COPY_FROM_PARENT, w, root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        const QByteArray text = title.toUtf8();
        xcb_change_property(c_, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            text.size(), text.constData());
        if (mapped)
            xcb_map_window(c_, w);
        sync();
        windows_.push_back(w);
    }

    QString folder(const char* name) { return fixture_.makeFolder(QString::fromUtf8(name)); }

    void start(const QByteArray& settings) {
        QVERIFY(test::WriteFile(fixture_.settingsPath(), settings));
        fixture_.start();
        mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow()));
    }

    QList<QStringList> rows() {
        QList<QStringList> list;
        for (const FolderEntry& entry : fixture_.program().settings().folders)
            list << QStringList{QString::fromStdString(entry.path),
                                QString::fromUtf8(SubfoldersText(entry.subfolders)),
                                QString::number(entry.depthLimit)};
        return list;
    }

    void clickEntry(int row) {
        QListWidget* list = ui().fileManagerFolders;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }

private slots:
    void initTestCase() {
        c_ = xcb_connect(nullptr, nullptr);
        QVERIFY2(xcb_connection_has_error(c_) == 0, "these tests need an X11 display");
        QVERIFY(fixture_.isValid());
        QVERIFY2(bus_.isValid(), "dbus-daemon did not start");
    }
    void cleanupTestCase() { xcb_disconnect(c_); }
    void cleanup() {
        fixture_.stop();
        for (xcb_window_t w : windows_)
            xcb_destroy_window(c_, w);
        sync();
        windows_.clear();
        fixture_.dialogs = {};
        fileManager_.stop();
    }

    // Visible windows whose title is a folder's path are listed in the windows' order,
    // exactly as titled; hidden ones and other titles are not.
    void collectsVisibleFolderWindowsAndPicksThem() {
        const QString shown = folder("shown");
        const QString second = folder("second") + QLatin1Char('/');
        openWindow(shown, true);
        openWindow(folder("hidden"), false);
        openWindow(QStringLiteral("Documents - Files"), true);
        openWindow(fixture_.path(QStringLiteral("missing")), true);
        openWindow(second, true);
        start("[foldersv040]\r\n0\r\n[interval]\r\n3\r\n");
        ui().fileManagerFolders->addItem(QStringLiteral("/earlier/"));

        ui().collectFoldersAction->trigger();
        QCOMPARE(Entries(ui().fileManagerFolders), (QStringList{shown, second}));
        QVERIFY(ui().clearBaseAtStartBox->isChecked());

        // A click picks the entry, again each time; the list keeps it.
        ui().clearBaseAtStartBox->setChecked(false);
        clickEntry(0);
        clickEntry(0);
        const QStringList row{shown + QLatin1Char('/'), QStringLiteral("しない"),
                              QStringLiteral("0")};
        QCOMPARE(rows(), (QList<QStringList>{row, row}));
        QCOMPARE(ui().fileManagerFolders->count(), 2);
        QVERIFY(!ui().clearBaseAtStartBox->isChecked());

        // A key that moves the selection picks too; the program moving it does not.
        ui().fileManagerFolders->setCurrentRow(0);
        QCOMPARE(rows().size(), 2);
        ui().fileManagerFolders->setFocus();
        QTest::keyClick(ui().fileManagerFolders, Qt::Key_Down);
        QCOMPARE(rows().value(2),
                 (QStringList{second, QStringLiteral("しない"), QStringLiteral("0")}));
        QVERIFY(fixture_.dialogs.messages.isEmpty());
    }

    // While monitoring the list cannot be collected again, but its entries can be picked.
    void whileMonitoringTheLastListCanStillBePicked() {
        const QString watched = folder("watched");
        openWindow(watched, true);
        start("[foldersv040]\r\n1\r\n" + watched.toUtf8() + "/\r\nしない\r\n0\r\n" +
              "[interval]\r\n3\r\n");
        ui().collectFoldersAction->trigger();
        QCOMPARE(Entries(ui().fileManagerFolders), QStringList{watched});
        ui().trayStartAction->trigger();
        QVERIFY(fixture_.program().monitor().isMonitoring());

        openWindow(folder("later"), true);
        ui().collectFoldersAction->trigger();
        QCOMPARE(fixture_.dialogs.messages, QStringList{QStringLiteral("モニター中です")});
        QCOMPARE(Entries(ui().fileManagerFolders), QStringList{watched});

        clickEntry(0);
        QCOMPARE(rows().size(), 2);
        QCOMPARE(rows().value(1).value(0), watched + QLatin1Char('/'));
        QCOMPARE(fixture_.dialogs.messages.size(), 1);
    }

    // The folders a file manager reports and the ones window titles name are listed once
    // each; a title that names a folder relative to the program's directory is not.
    void listsBusAndTitleFoldersOnceEach() {
        const QString japanese = folder("日本語 フォルダ");
        const QString shown = folder("shown");
        const QString second = folder("second");
        const QString encodedJapanese =
            QString::fromLatin1(QUrl::fromLocalFile(japanese).toEncoded());
        QVERIFY(encodedJapanese.contains(QStringLiteral("%20")));
        QVERIFY(fileManager_.start());
        fileManager_.setWindows(
            {{QStringLiteral("/org/gnome/Nautilus/window/1"), {encodedJapanese}},
             {QStringLiteral("/org/gnome/Nautilus/window/2"),
              {QUrl::fromLocalFile(shown).toString(), QStringLiteral("sftp://host/")}}});
        openWindow(QStringLiteral("日本語 フォルダ"), true);
        openWindow(shown + QLatin1Char('/'), true);
        openWindow(second + QStringLiteral(" - Thunar"), true);
        openWindow(QStringLiteral("second"), true);
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(fixture_.directory()));
        start("[foldersv040]\r\n0\r\n[interval]\r\n3\r\n");

        ui().collectFoldersAction->trigger();
        QVERIFY(QDir::setCurrent(previous));
        QCOMPARE(Entries(ui().fileManagerFolders), (QStringList{japanese, shown, second}));
        QCOMPARE(fileManager_.requests(), 1);

        clickEntry(0);
        QCOMPARE(rows(), (QList<QStringList>{{japanese + QLatin1Char('/'), QStringLiteral("しない"),
                                              QStringLiteral("0")}}));
    }
};

QTEST_MAIN(FolderCollectionTest)
#include "folder_collection_tests.moc"
