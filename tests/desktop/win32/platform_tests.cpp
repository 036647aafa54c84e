// The Win32 side of the platform folder against real windows: the titles that the folder
// collection reads, and the end of the session.
#include "desktop/platform/termination_requests.h"
#include "desktop/platform/window_titles.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// Marks this test's own windows among whatever else the desktop shows.
const std::string kMark = "trellisk-test ";

std::vector<std::string> OwnTitles() {
    std::vector<std::string> own;
    for (const std::string& title : trellisk::platform::VisibleWindowTitles()) {
        if (title.starts_with(kMark))
            own.push_back(title);
    }
    std::sort(own.begin(), own.end());
    return own;
}

HWND Handle(QWidget& window) {
    return reinterpret_cast<HWND>(window.winId());
}

} // namespace

class Win32PlatformTest : public QObject {
    Q_OBJECT

private slots:
    void visibleTitlesAreListed_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("listed");
        const QString mark = QString::fromStdString(kMark);
        const QString a = mark + QString(255 - 1 - kMark.size(), QLatin1Char('a'));
        QTest::newRow("path") << mark + QStringLiteral("C:\\Users\\me\\Documents")
                              << mark + QStringLiteral("C:\\Users\\me\\Documents");
        QTest::newRow("Japanese") << mark + QStringLiteral("C:\\データ\\報告書")
                                  << mark + QStringLiteral("C:\\データ\\報告書");
        QTest::newRow("255 bytes, whole") << a + QStringLiteral("y") << a + QStringLiteral("y");
        QTest::newRow("cut at 255 bytes") << a + QStringLiteral("yz") << a + QStringLiteral("y");
        // "あ" takes three bytes: it would end at byte 257 and is left out whole.
        QTest::newRow("cut before a character") << a + QStringLiteral("あい") << a;
        // A character outside the basic plane: a surrogate pair in UTF-16, four bytes in UTF-8.
        // Split by the end of the units read, it is cut off all the same.
        const QString emoji = QString::fromUtf8("\xF0\x9F\x93\x81");
        QTest::newRow("cut before a surrogate pair")
            << a.left(a.size() - 2) + emoji + emoji << a.left(a.size() - 2);
        QTest::newRow("split pair at the end of the units read")
            << mark + QString(241, QLatin1Char('b')) + emoji
            << mark + QString(241, QLatin1Char('b'));
        QTest::newRow("long Japanese")
            << mark + QString(100, QChar(0x3042)) << mark + QString(80, QChar(0x3042));
    }

    void visibleTitlesAreListed() {
        QFETCH(QString, title);
        QFETCH(QString, listed);
        QWidget window;
        window.setWindowTitle(title);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(OwnTitles(), std::vector<std::string>{listed.toStdString()});
    }

    void hiddenAndUntitledWindowsAreLeftOut() {
        QWidget hidden;
        hidden.setWindowTitle(QString::fromStdString(kMark + "hidden"));
        hidden.winId(); // a real window, never shown
        QWidget untitled;
        untitled.show();
        SetWindowTextW(Handle(untitled), L"");
        QWidget shown;
        shown.setWindowTitle(QString::fromStdString(kMark + "shown"));
        shown.show();
        QVERIFY(QTest::qWaitForWindowExposed(&shown));
        QCOMPARE(OwnTitles(), std::vector<std::string>{kMark + "shown"});
        const std::vector<std::string> all = trellisk::platform::VisibleWindowTitles();
        QVERIFY(std::none_of(all.begin(), all.end(), [](const auto& t) { return t.empty(); }));
        hidden.show();
        QVERIFY(QTest::qWaitForWindowExposed(&hidden));
        QCOMPARE(OwnTitles(), (std::vector<std::string>{kMark + "hidden", kMark + "shown"}));
    }

    // The question before the end and a cancelled end leave the program running.
    void noRequestUntilTheSessionEnds() {
        trellisk::platform::TerminationRequests requests;
        QSignalSpy spy(&requests, &trellisk::platform::TerminationRequests::requested);
        QWidget window;
        window.show();
        QCOMPARE(SendMessageW(Handle(window), WM_QUERYENDSESSION, 0, 0), LRESULT{TRUE});
        SendMessageW(Handle(window), WM_ENDSESSION, FALSE, 0);
        QCOMPARE(spy.count(), 0);
    }

    // Last: the program quits here, after which no event loop of this process runs again.
    void sessionEndRequestsOnceAndWaitsForTheEnd() {
        trellisk::platform::TerminationRequests requests;
        int requestCount = 0;
        bool unwound = false;
        // As the program does while a cycle unwinds: it quits later, through the event loop.
        connect(&requests, &trellisk::platform::TerminationRequests::requested, this, [&] {
            ++requestCount;
            QTimer::singleShot(0, this, [&] {
                unwound = true;
                QCoreApplication::exit(0);
            });
        });
        QWidget first;
        QWidget second;
        first.show();
        second.show();
        SendMessageW(Handle(first), WM_ENDSESSION, TRUE, 0);
        QCOMPARE(requestCount, 1);
        QVERIFY(unwound); // the answer came only after the program had quit
        SendMessageW(Handle(second), WM_ENDSESSION, TRUE, 0);
        QCOMPARE(requestCount, 1); // every window hears of it, the program ends once
    }
};

QTEST_MAIN(Win32PlatformTest)
#include "platform_tests.moc"
