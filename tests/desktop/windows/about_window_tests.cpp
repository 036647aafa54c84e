#include "desktop/about/about_window.h"
#include "desktop/app/program.h"
#include "desktop/main_window/main_window.h"
#include "engine/version.h"
#include "tests/support/program_fixture.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTest>

using namespace trellisk;

// Receives the addresses that the program asks the desktop to open.
class UrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void open(const QUrl& url) { opened << url; }

public:
    QList<QUrl> opened;
};

class AboutWindowTest : public QObject {
    Q_OBJECT

private:
    test::ProgramFixture fixture_;
    const QUrl address_ = QUrl::fromLocalFile(QStringLiteral("/opt/trellisk/README.md"));

    AboutWindow& aboutWindow() { return fixture_.program().aboutWindow(); }
    QLabel* label(const char* name) {
        return aboutWindow().findChild<QLabel*>(QLatin1StringView(name));
    }

    int aboutWindows() const {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            count += qobject_cast<AboutWindow*>(widget) && widget->isVisible() ? 1 : 0;
        return count;
    }

private slots:
    void init() {
        fixture_.start(false, address_);
        fixture_.mainWindow().show();
    }
    void cleanup() { fixture_.stop(); }

    void frameAndLabels() {
        QCOMPARE(aboutWindow().windowTitle(), QStringLiteral("バージョン情報"));
        QCOMPARE(aboutWindow().size(), QSize(301, 112));
        QCOMPARE(aboutWindow().minimumSize(), aboutWindow().maximumSize());
        QVERIFY(aboutWindow().windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(aboutWindow().windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!aboutWindow().isVisible());

        QCOMPARE(label("nameLabel")->text(),
                 QStringLiteral("Trellisk v") + QLatin1StringView(kVersion));
        QCOMPARE(label("nameLabel")->pos(), QPoint(16, 8));
        QCOMPARE(label("nameLabel")->font().pixelSize(), 16);
        QVERIFY(!label("noticeLabel")->text().isEmpty());
        QCOMPARE(label("noticeLabel")->pos(), QPoint(136, 48));
        QVERIFY(label("noticeLabel")->geometry().right() < 301);

        QLabel* link = label("documentationLink");
        QCOMPARE(link->pos(), QPoint(64, 80));
        QCOMPARE(link->text(), address_.toString());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(link->geometry().right() < 301);
    }

    void theVersionCommandShowsOneWindowThatItsCloseBoxHides() {
        fixture_.program().mainWindow().controls().aboutAction->trigger();
        QVERIFY(aboutWindow().isVisible());
        QVERIFY(!aboutWindow().isModal());
        fixture_.program().mainWindow().controls().aboutAction->trigger();
        QCOMPARE(aboutWindows(), 1);
        QVERIFY(aboutWindow().close());
        QVERIFY(!aboutWindow().isVisible());
        fixture_.program().mainWindow().controls().aboutAction->trigger();
        QVERIFY(aboutWindow().isVisible());
    }

    void firstShownCentredOverTheMainWindow() {
        fixture_.program().mainWindow().move(100, 150);
        fixture_.program().mainWindow().controls().aboutAction->trigger();
        const QPoint offset = aboutWindow().frameGeometry().center() -
                              fixture_.program().mainWindow().frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QString::number(offset.manhattanLength())));
    }

    void clickingTheAddressOpensIt() {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        fixture_.program().mainWindow().controls().aboutAction->trigger();
        QTest::mouseClick(label("documentationLink"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.opened, QList<QUrl>{address_});
    }

    void theDocumentationIsACopyThatExists_data() {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("expected");
        const QString installed = QStringLiteral("usr/share/doc/trellisk/README.md");
        QTest::newRow("portable copy") << QStringList{QStringLiteral("usr/bin/README.md")}
                                       << QStringLiteral("usr/bin/README.md");
        QTest::newRow("installed copy") << QStringList{installed} << installed;
        QTest::newRow("both") << QStringList{QStringLiteral("usr/bin/README.md"), installed}
                              << QStringLiteral("usr/bin/README.md");
        QTest::newRow("neither") << QStringList{} << QString();
    }
    void theDocumentationIsACopyThatExists() {
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QTemporaryDir root;
        const QDir tree(root.path());
        QVERIFY(tree.mkpath(QStringLiteral("usr/bin")));
        for (const QString& file : files) {
            QVERIFY(tree.mkpath(QFileInfo(tree.filePath(file)).path()));
            QFile readme(tree.filePath(file));
            QVERIFY(readme.open(QIODevice::WriteOnly));
        }
        const QUrl address = DocumentationAddress(QDir(tree.filePath(QStringLiteral("usr/bin"))));
        if (expected.isEmpty()) {
            QVERIFY(address.isEmpty());
            return;
        }
        QCOMPARE(address,
                 QUrl::fromLocalFile(QFileInfo(tree.filePath(expected)).canonicalFilePath()));
    }

    void withoutDocumentationThereIsNoLink() {
        AboutWindow about(&fixture_.program().mainWindow(), QUrl());
        about.show();
        QVERIFY(!about.findChild<QLabel*>(QStringLiteral("documentationLink"))->isVisible());
    }

    // A path too long for the window is shortened on screen; the click opens it whole.
    void aLongAddressIsElidedButOpenedWhole() {
        const QUrl longAddress = QUrl::fromLocalFile(
            QStringLiteral("/home/somebody/a/rather/deep/folder/of/programs/trellisk/README.md"));
        AboutWindow about(&fixture_.program().mainWindow(), longAddress);
        auto* link = about.findChild<QLabel*>(QStringLiteral("documentationLink"));
        QVERIFY(link->text() != longAddress.toString());
        QVERIFY(link->geometry().right() < 301);
        QCOMPARE(link->toolTip(), longAddress.toString());
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        about.openDocumentation();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.opened, QList<QUrl>{longAddress});
    }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_tests.moc"
