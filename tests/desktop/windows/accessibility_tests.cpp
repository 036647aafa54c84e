// What assistive technology and automated clients see: controls by their captions, menus by
// their items, and the cells of the five log tables.
#include "desktop/app/program.h"
#include "desktop/log_window/log_window.h"
#include "desktop/main_window/main_window.h"
#include "tests/support/program_fixture.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QMenuBar>
#include <QTableView>
#include <QTest>

using namespace trellisk;

namespace {

QAccessibleInterface* Accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

QString Name(QAccessibleInterface* item) {
    return item == nullptr ? QString() : item->text(QAccessible::Name);
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(fixture_.isValid());
        fixture_.start();
        fixture_.mainWindow().show();
        fixture_.program().logWindow().show();
    }
    void cleanupTestCase() { fixture_.stop(); }

    void buttonsAndCheckBoxesAreNamedByTheirCaptions() {
        const auto buttons = fixture_.program().mainWindow().findChildren<QAbstractButton*>();
        QVERIFY(buttons.size() >= 5); // OK, キャンセル, する, しない, the check box
        for (QAbstractButton* button : buttons) {
            if (button->text().isEmpty())
                continue; // spin arrows and the like carry no caption
            QCOMPARE(Name(Accessible(button)), button->text().remove(QLatin1Char('&')));
        }
    }

    void menuItemsAreReachableByTheirCaptions() {
        QAccessibleInterface* bar = Accessible(fixture_.program().mainWindow().menuBar());
        QVERIFY(bar != nullptr);
        QStringList names;
        for (int i = 0; i < bar->childCount(); ++i)
            names << Name(bar->child(i));
        QCOMPARE(names, (QStringList{QStringLiteral("モニター"), QStringLiteral("フォルダ"),
                                     QStringLiteral("ログ"), QStringLiteral("バージョン情報")}));
    }

    void theLogTablesExposeTheirCells_data() {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("firstCell");
        for (const char* table :
             {"logTable", "updatedTable", "newTable", "deletedTable", "renamedTable"})
            QTest::newRow(table) << QString::fromLatin1(table) << QStringLiteral("a.txt");
    }
    void theLogTablesExposeTheirCells() {
        QFETCH(QString, table);
        QFETCH(QString, firstCell);
        LogData& log = fixture_.program().log();
        if (log.entries.empty()) {
            LogRow logged;
            logged.kind = FindingKind::Updated;
            logged.file = "a.txt";
            logged.folder = "/w/";
            logged.size = 1;
            log.entries.append(logged);
            log.updatedFiles.insertSorted({"a.txt", "/w/", 1, 0, std::nullopt});
            log.newFiles.append({"a.txt", "/w/", 1});
            log.deletedFiles.append({"a.txt", "/w/"});
            log.renamedFiles.append({"a.txt", "b.txt", "/w/"});
        }
        auto* view = fixture_.program().logWindow().findChild<QTableView*>(table);
        QVERIFY(view != nullptr);
        QAccessibleInterface* item = Accessible(view);
        QVERIFY(item != nullptr);
        QVERIFY(!Name(item).isEmpty());
        QAccessibleTableInterface* cells = item->tableInterface();
        QVERIFY(cells != nullptr);
        QCOMPARE(cells->rowCount(), 1);
        QCOMPARE(cells->columnCount(), view->model()->columnCount());
        QCOMPARE(Name(cells->cellAt(0, 0)), firstCell);
        QCOMPARE(cells->columnDescription(0),
                 view->model()->headerData(0, Qt::Horizontal).toString());
    }

private:
    test::ProgramFixture fixture_;
};

QTEST_MAIN(AccessibilityTest)
#include "accessibility_tests.moc"
