// A request from outside to end the program arrives as a Qt signal instead of killing it.
#include "desktop/platform/termination_requests.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

class TerminationTest : public QObject {
    Q_OBJECT

private slots:
    void signalsBecomeRequests_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }
    void signalsBecomeRequests() {
        QFETCH(int, signal);
        trellisk::platform::TerminationRequests requests;
        QSignalSpy spy(&requests, &trellisk::platform::TerminationRequests::requested);
        QCOMPARE(::raise(signal), 0); // would end the test process without the handler
        QTRY_COMPARE(spy.count(), 1);
        QTest::qWait(50);
        QCOMPARE(spy.count(), 1); // one signal, one request
    }
};

QTEST_MAIN(TerminationTest)
#include "termination_tests.moc"
