#include "desktop/about/about_window.h"
#include "desktop/main_window/main_window.h"
#include "desktop/app/program.h"
#include "engine/platform/clock.h"
#include "engine/version.h"
#include "tests/desktop/windows/recording_dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

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
    QTemporaryDir dir_;
    test::RecordingDialogs dialogs_;
    SystemClock clock_;
    std::unique_ptr<Program> program_;
    const QUrl address_ = QUrl::fromLocalFile(QStringLiteral("/opt/trellisk/README.md"));

    TForm3& form3() { return program_->form3(); }
    QLabel* label(const char* name) { return form3().findChild<QLabel*>(QLatin1StringView(name)); }

    int aboutWindows() const {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            count += qobject_cast<TForm3*>(widget) && widget->isVisible() ? 1 : 0;
        return count;
    }

private slots:
    void init() {
        program_ = std::make_unique<Program>(
            ProgramOptions{dir_.filePath(QStringLiteral("trellisk.ini")).toStdString(), false,
                           address_},
            dialogs_, clock_);
        program_->form1().show();
    }
    void cleanup() { program_.reset(); }

    void frameAndLabels() {
        QCOMPARE(form3().windowTitle(), QStringLiteral("バージョン情報"));
        QCOMPARE(form3().size(), QSize(301, 112));
        QCOMPARE(form3().minimumSize(), form3().maximumSize());
        QVERIFY(form3().windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(form3().windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!form3().isVisible());

        QCOMPARE(label("Label1")->text(), QStringLiteral("Trellisk v") + QLatin1StringView(kVersion));
        QCOMPARE(label("Label1")->pos(), QPoint(16, 8));
        QCOMPARE(label("Label1")->font().pixelSize(), 16);
        QVERIFY(!label("Label3")->text().isEmpty());
        QCOMPARE(label("Label3")->pos(), QPoint(136, 48));
        QVERIFY(label("Label3")->geometry().right() < 301);

        QLabel* link = label("Label2");
        QCOMPARE(link->pos(), QPoint(64, 80));
        QCOMPARE(link->text(), address_.toString());
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(link->geometry().right() < 301);
    }

    void theVersionCommandShowsOneWindowThatItsCloseBoxHides() {
        program_->form1().controls().About1->trigger();
        QVERIFY(form3().isVisible());
        QVERIFY(!form3().isModal());
        program_->form1().controls().About1->trigger();
        QCOMPARE(aboutWindows(), 1);
        QVERIFY(form3().close());
        QVERIFY(!form3().isVisible());
        program_->form1().controls().About1->trigger();
        QVERIFY(form3().isVisible());
    }

    void firstShownCentredOverTheMainWindow() {
        program_->form1().move(100, 150);
        program_->form1().controls().About1->trigger();
        const QPoint offset =
            form3().frameGeometry().center() - program_->form1().frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QString::number(offset.manhattanLength())));
    }

    void clickingTheAddressOpensIt() {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        program_->form1().controls().About1->trigger();
        QTest::mouseClick(label("Label2"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.opened, QList<QUrl>{address_});
    }

    // A path too long for the window is shortened on screen; the click opens it whole.
    void aLongAddressIsElidedButOpenedWhole() {
        const QUrl longAddress = QUrl::fromLocalFile(
            QStringLiteral("/home/somebody/a/rather/deep/folder/of/programs/trellisk/README.md"));
        TForm3 about(&program_->form1(), longAddress);
        auto* link = about.findChild<QLabel*>(QStringLiteral("Label2"));
        QVERIFY(link->text() != longAddress.toString());
        QVERIFY(link->geometry().right() < 301);
        QCOMPARE(link->toolTip(), longAddress.toString());
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
        about.Label2Click();
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        QCOMPARE(catcher.opened, QList<QUrl>{longAddress});
    }
};

QTEST_MAIN(AboutWindowTest)
#include "about_window_tests.moc"
