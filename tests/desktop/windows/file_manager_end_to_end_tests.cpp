// Folders of real Nautilus windows: two windows on folders of a temporary tree, one of them
// with a Japanese name and a space, are listed by the collect command and one is picked.
#include "desktop/main_window/main_window.h"
#include "desktop/platform/file_manager_bus.h"
#include "tests/support/private_session_bus.h"
#include "tests/support/program_fixture.h"
#include "tests/support/test_files.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

#include <functional>

using namespace trellisk;

namespace {

const QString kFileManager = QStringLiteral("org.freedesktop.FileManager1");

QStringList Entries(const QListWidget* list) {
    QStringList entries;
    for (int row = 0; row < list->count(); ++row)
        entries << list->item(row)->text();
    return entries;
}

// The locations of all windows that the file manager reports.
std::size_t OpenLocations() {
    std::size_t count = 0;
    for (const FileManagerWindow& window : platform::FileManagerBusWindows())
        count += window.locations.size();
    return count;
}

// Each read once per try: a file manager busy opening a window can miss the lookup's short
// timeout and give nothing for that one read.
bool WaitFor(const std::function<bool()>& condition) {
    const QDeadlineTimer deadline(60000);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(100);
    }
    return true;
}

} // namespace

class FileManagerEndToEndTest : public QObject {
    Q_OBJECT

private:
    // Before the program connects to the session bus. Nothing else is started on it on
    // demand, so Nautilus runs without the desktop's helpers (settings, search, volumes).
    test::PrivateSessionBus bus_{kFileManager};
    test::ProgramFixture fixture_;
    QString nautilus_;
    QProcess service_;

    // A home of its own, so that no user's settings or bookmarks are read or changed.
    QProcessEnvironment nautilusEnvironment() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        const QString home = fixture_.makeFolder(QStringLiteral("home"));
        environment.insert(QStringLiteral("HOME"), home);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/.local/share"));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/.cache"));
        environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
        environment.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("x11"));
        environment.insert(QStringLiteral("GTK_A11Y"), QStringLiteral("none"));
        // With its OpenGL renderer on Xvfb a new window now and then took over a minute.
        environment.insert(QStringLiteral("GSK_RENDERER"), QStringLiteral("cairo"));
        return environment;
    }

    // Opens a window on the folder as other programs ask a file manager to, and waits until
    // Nautilus reports it.
    void openWindow(const QString& folder) {
        const std::size_t before = OpenLocations();
        QDBusMessage show = QDBusMessage::createMethodCall(
            kFileManager, QStringLiteral("/org/freedesktop/FileManager1"), kFileManager,
            QStringLiteral("ShowFolders"));
        show << QStringList{QUrl::fromLocalFile(folder).toString()} << QString();
        const QDBusMessage reply = QDBusConnection::sessionBus().call(show, QDBus::Block, 60000);
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QVERIFY2(WaitFor([&] { return OpenLocations() == before + 1; }), qPrintable(folder));
    }

private slots:
    void initTestCase() {
        nautilus_ = QStandardPaths::findExecutable(QStringLiteral("nautilus"));
        if (nautilus_.isEmpty())
            QSKIP("nautilus is not installed (tools/setup.sh installs it)");
        QVERIFY2(bus_.isValid(), "dbus-daemon did not start");
        QVERIFY(fixture_.isValid());
        service_.setProcessEnvironment(nautilusEnvironment());
        service_.setProcessChannelMode(QProcess::ForwardedChannels);
        service_.start(nautilus_, {QStringLiteral("--gapplication-service")});
        QVERIFY(service_.waitForStarted());
        QVERIFY(WaitFor([] {
            return QDBusConnection::sessionBus().interface()->isServiceRegistered(kFileManager);
        }));
    }
    void cleanupTestCase() {
        fixture_.stop();
        if (service_.state() == QProcess::NotRunning)
            return;
        QProcess::execute(nautilus_, {QStringLiteral("--quit")});
        if (!service_.waitForFinished(10000)) {
            service_.kill();
            service_.waitForFinished();
        }
    }

    void listsTheFoldersOfTwoNautilusWindows() {
        const QString plain = fixture_.makeFolder(QStringLiteral("some/folder"));
        const QString japanese = fixture_.makeFolder(QStringLiteral("日本語 フォルダ"));
        openWindow(plain);
        openWindow(japanese);

        QVERIFY(test::WriteFile(fixture_.settingsPath(), "[foldersv040]\r\n0\r\n"));
        fixture_.start();
        fixture_.mainWindow().show();
        QVERIFY(QTest::qWaitForWindowExposed(&fixture_.mainWindow()));
        const MainWindowControls& ui = fixture_.controls();
        QListWidget* list = ui.fileManagerFolders;
        // As a user would, collect again if Nautilus was too busy to answer in time.
        QVERIFY(WaitFor([&] {
            ui.collectFoldersAction->trigger();
            return list->count() == 2;
        }));
        QCOMPARE(Entries(list), (QStringList{plain, japanese}));

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(1)).center());
        const auto& folders = fixture_.program().settings().folders;
        QCOMPARE(folders.count(), std::size_t{1});
        QCOMPARE(QString::fromStdString(folders[0].path), japanese + QLatin1Char('/'));
    }
};

QTEST_MAIN(FileManagerEndToEndTest)
#include "file_manager_end_to_end_tests.moc"
