// The folders of file-manager windows read from the session bus, against a stand-in file
// manager on a bus of the test's own.
#include "desktop/platform/file_manager_bus.h"
#include "engine/settings/folder_import.h"
#include "tests/support/private_session_bus.h"
#include "tests/support/stand_in_file_manager.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

using namespace trellisk;
using Answer = test::StandInFileManager::Answer;

namespace {

const QString kFileManagerName = QStringLiteral("org.freedesktop.FileManager1");

// Window name -> locations; the bus hands the windows over in no particular order.
std::map<std::string, std::vector<std::string>>
ByName(const std::vector<FileManagerWindow>& windows) {
    std::map<std::string, std::vector<std::string>> byName;
    for (const FileManagerWindow& window : windows)
        byName[window.name] = window.locations;
    return byName;
}

} // namespace

Q_DECLARE_METATYPE(Answer)

class FileManagerBusTest : public QObject {
    Q_OBJECT

private:
    // Before anything in the process connects to the session bus.
    test::PrivateSessionBus bus_{kFileManagerName};
    test::StandInFileManager fileManager_;
    QTemporaryDir dir_;

    std::string folder(const std::string& name) {
        const std::string path = dir_.path().toStdString() + '/' + name;
        std::filesystem::create_directory(path);
        return path;
    }
    std::string uri(const std::string& encodedName) {
        return "file://" + dir_.path().toStdString() + '/' + encodedName;
    }

private slots:
    void initTestCase() {
        QVERIFY2(bus_.isValid(), "dbus-daemon did not start");
        QVERIFY(dir_.isValid());
    }
    void init() {
        fileManager_.setAnswer(Answer::Windows);
        QVERIFY(fileManager_.start());
    }
    void cleanup() { fileManager_.stop(); }

    // Windows of one and of several locations arrive as sent, and give their folders once
    // each: Japanese and non-UTF-8 names decoded to their bytes, other schemes left out.
    void windowsGiveTheirFoldersOnceEach() {
        const std::string watched = folder("watched");
        const std::string japanese = folder("日本語 フォルダ");
        const std::string raw = folder("\xFF\xFE");
        const std::map<std::string, std::vector<std::string>> sent = {
            {"/org/gnome/Nautilus/window/1", {uri("watched")}},
            {"/org/gnome/Nautilus/window/2",
             {uri("%E6%97%A5%E6%9C%AC%E8%AA%9E%20%E3%83%95%E3%82%A9%E3%83%AB%E3%83%80"),
              "sftp://host/home/me", uri("%FF%FE"), uri("watched/")}},
            {"/org/gnome/Nautilus/window/10", {"trash:///", uri("missing")}},
        };
        QMap<QString, QStringList> windows;
        for (const auto& [name, locations] : sent) {
            QStringList uris;
            for (const std::string& location : locations)
                uris << QString::fromStdString(location);
            windows.insert(QString::fromStdString(name), uris);
        }
        fileManager_.setWindows(windows);

        const std::vector<FileManagerWindow> received = platform::FileManagerBusWindows();
        QVERIFY(ByName(received) == sent);
        QCOMPARE(FolderCandidates(received, {}),
                 (std::vector<std::string>{watched, japanese, raw}));

        fileManager_.setWindows({});
        QVERIFY(platform::FileManagerBusWindows().empty());
    }

    void answersWithoutWindowsGiveNothing_data() {
        QTest::addColumn<Answer>("answer");
        QTest::newRow("no such property") << Answer::NoProperty;
        QTest::newRow("another type") << Answer::WrongType;
        QTest::newRow("no answer") << Answer::Silence;
    }
    void answersWithoutWindowsGiveNothing() {
        QFETCH(Answer, answer);
        fileManager_.setWindows({{QStringLiteral("/w/1"), {QString::fromStdString(uri("x"))}}});
        fileManager_.setAnswer(answer);
        const int asked = fileManager_.requests();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(platform::FileManagerBusWindows().empty());
        QCOMPARE(fileManager_.requests(), asked + 1);
        // Bounded by the lookup's own timeout, not the bus's default of 25 seconds.
        QVERIFY2(clock.elapsed() < 5000, qPrintable(QString::number(clock.elapsed())));
    }

    // Without a file manager running nothing is found, and none is started to ask it.
    void withoutFileManagerNothingIsStarted() {
        fileManager_.stop();
        QVERIFY(platform::FileManagerBusWindows().empty());
        QVERIFY(!bus_.startedActivatable());
    }
};

QTEST_GUILESS_MAIN(FileManagerBusTest)
#include "file_manager_bus_tests.moc"
