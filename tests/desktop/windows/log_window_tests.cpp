#include "desktop/appearance/marker_images.h"
#include "desktop/appearance/tray_pictures.h"
#include "desktop/log_window/log_window.h"
#include "desktop/models/log_table_models.h"
#include "engine/log/log_export.h"
#include "engine/log/log_tables.h"
#include "engine/text/text_helpers.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace trellisk;

namespace {

// Builds the model of one table of `log` by the table's name.
std::unique_ptr<TableModel> ModelFor(LogData& log, const QString& table) {
    if (table == u"logTable")
        return std::make_unique<LogEntriesModel>(log.entries);
    if (table == u"updatedTable")
        return std::make_unique<UpdatedFilesModel>(log.updatedFiles);
    if (table == u"newTable")
        return std::make_unique<NewFilesModel>(log.newFiles);
    if (table == u"deletedTable")
        return std::make_unique<DeletedFilesModel>(log.deletedFiles);
    return std::make_unique<RenamedFilesModel>(log.renamedFiles);
}

constexpr std::int64_t kWritten = 1136419502; // a last-write time
constexpr std::time_t kDetected = 1136419503;

LogRow Logged(FindingKind kind, std::string file, std::string folder = "/w/") {
    LogRow row;
    row.kind = kind;
    row.file = std::move(file);
    row.folder = std::move(folder);
    row.size = 1234;
    row.dateKey = kWritten;
    row.detected = kDetected;
    return row;
}

// Appends one row to the table, and returns the texts its columns must show, in order.
QStringList AppendRow(LogData& log, const QString& table) {
    const QString date = QString::fromStdString(DateText(kWritten));
    if (table == u"logTable") {
        LogRow row = Logged(FindingKind::Updated, "name");
        row.sizeChange = -100;
        log.entries.append(row);
        return {u"name"_qs,        u"更新"_qs, u"       1234"_qs,
                u"       -100"_qs, date,       QString::fromStdString(DateTimeText(kDetected)),
                u"/w/"_qs};
    }
    if (table == u"updatedTable") {
        log.updatedFiles.insertSorted({"name", "/w/", 1234, kWritten, 2.5L});
        return {u"name"_qs, u"       1234"_qs, date, u"/w/"_qs, u"2.50"_qs};
    }
    if (table == u"newTable") {
        log.newFiles.append({"name", "/w/", 1234});
        return {u"name"_qs, u"       1234"_qs, u"/w/"_qs};
    }
    if (table == u"deletedTable") {
        log.deletedFiles.append({"name", "/w/"});
        return {u"name"_qs, u"/w/"_qs};
    }
    log.renamedFiles.append({"name", "old", "/w/"});
    return {u"name"_qs, u"old"_qs, u"/w/"_qs};
}

QStringList RowTexts(const QAbstractItemModel& model, int row) {
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts.append(model.index(row, column).data().toString());
    return texts;
}

// The 16-pixel picture of a cell's decoration at 1x.
QImage Image(const QVariant& decoration) {
    return decoration.value<QIcon>()
        .pixmap(QSize(16, 16), 1.0)
        .toImage()
        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool IsRed(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 80 && qAlpha(pixel) == 255;
}
bool IsWhite(QRgb pixel) {
    return pixel == qRgba(255, 255, 255, 255);
}

UpdateRow Updated(const char* file, const char* folder = "/d/") {
    UpdateRow row;
    row.file = file;
    row.folder = folder;
    return row;
}

// A menu that records where it was asked to open.
class RecordingMenu : public QMenu {
public:
    QList<QPoint> openedAt;

protected:
    void showEvent(QShowEvent* event) override {
        openedAt.append(pos());
        QMenu::showEvent(event);
    }
};

} // namespace

class LogWindowTests : public QObject {
    Q_OBJECT
private slots:
    void columns_data();
    void columns();
    void rowTexts_data();
    void rowTexts();
    void tableAndSavedLogShowTheSameTexts();
    void renamedLogRowShowsOldNameRightAligned();
    void invalidUtf8NameStillShows();
    void controlCharactersShowAsEscapes();
    void modelFollowsEveryTableChange();
    void sortedInsertOpensTheRowAtItsPlace();
    void markerImages();
    void rowAndCellImages();
    void picturesAreDrawnAtThePixelRatio_data();
    void picturesAreDrawnAtThePixelRatio();

    void windowFrame();
    void closeRequestIsIgnored();
    void tabsInOrderWithUpdatedCurrent();
    void controlsAtTheirPlaces_data();
    void controlsAtTheirPlaces();
    void numbersShowWhole_data();
    void numbersShowWhole();
    void longMountPointsKeepTheFreeSpaceWhole_data();
    void longMountPointsKeepTheFreeSpaceWhole();
    void datesAndNumbersFitTheirColumns();
    void tablesShowTheEngineTables();
    void statusFollowsTheLogData();
    void showPutsTheWindowAtTheTopLeft();
    void rightClickOpensThePopupMenu();
    void appendedRowsScrollIntoViewOncePerTurn();
    void rowsAppendedOnAHiddenTabAreInViewWhenItIsChosen();
    void pendingScrollFollowsRowsInsertedBeforeIt();
};

void LogWindowTests::columns_data() {
    QTest::addColumn<QString>("table");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QList<int>>("widths");
    QTest::addColumn<QList<int>>("rightAligned");
    QTest::newRow("log") << u"logTable"_qs
                         << QStringList{u"ファイル"_qs,         u"内容"_qs,     u"サイズ"_qs,
                                        u"size(+-)/OldName"_qs, u"更新日時"_qs, u"検出日時"_qs,
                                        u"フォルダ"_qs}
                         << QList<int>{200, 40, 80, 70, 80, 80, 100} << QList<int>{2, 3};
    QTest::newRow("updated") << u"updatedTable"_qs
                             << QStringList{u"更新ファイル"_qs, u"Size"_qs, u"Date"_qs,
                                            u"フォルダ"_qs, u"(MBit/S)"_qs}
                             << QList<int>{250, 90, 80, 100, 70} << QList<int>{1};
    QTest::newRow("new") << u"newTable"_qs
                         << QStringList{u"新規ファイル"_qs, u"サイズ"_qs, u"フォルダ"_qs}
                         << QList<int>{200, 50, 100} << QList<int>{1};
    QTest::newRow("deleted") << u"deletedTable"_qs
                             << QStringList{u"削除ファイル"_qs, u"フォルダ"_qs}
                             << QList<int>{200, 100} << QList<int>{};
    QTest::newRow("renamed") << u"renamedTable"_qs
                             << QStringList{u"新名"_qs, u"旧名"_qs, u"フォルダ"_qs}
                             << QList<int>{200, 200, 100} << QList<int>{};
}

void LogWindowTests::columns() {
    QFETCH(QString, table);
    QFETCH(QStringList, captions);
    QFETCH(QList<int>, widths);
    QFETCH(QList<int>, rightAligned);
    LogData log;
    const auto model = ModelFor(log, table);
    AppendRow(log, table);

    QCOMPARE(model->columnCount(), captions.size());
    for (int column = 0; column < captions.size(); ++column) {
        QCOMPARE(model->headerData(column, Qt::Horizontal).toString(), captions[column]);
        QCOMPARE(model->headerData(column, Qt::Horizontal, TableModel::ColumnWidthRole).toInt(),
                 widths[column]);
        const auto alignment =
            Qt::Alignment(model->index(0, column).data(Qt::TextAlignmentRole).toInt());
        const Qt::Alignment expected =
            rightAligned.contains(column) ? Qt::AlignRight : Qt::AlignLeft;
        QCOMPARE(alignment & Qt::AlignHorizontal_Mask, expected);
    }
}

void LogWindowTests::rowTexts_data() {
    QTest::addColumn<QString>("table");
    for (const char* table :
         {"logTable", "updatedTable", "newTable", "deletedTable", "renamedTable"})
        QTest::newRow(table) << QString::fromLatin1(table);
}

void LogWindowTests::rowTexts() {
    QFETCH(QString, table);
    LogData log;
    const auto model = ModelFor(log, table);
    const QStringList expected = AppendRow(log, table);

    QCOMPARE(model->rowCount(), 1);
    QCOMPARE(RowTexts(*model, 0), expected);
    QVERIFY(!model->index(1, 0).isValid());
    QVERIFY(!(model->flags(model->index(0, 0)) & Qt::ItemIsEditable));
}

// Every kind of finding, with names that need escaping: each line of the saved log holds
// exactly the texts the table shows for that row, field for field.
void LogWindowTests::tableAndSavedLogShowTheSameTexts() {
    LogData log;
    LogEntriesModel entries(log.entries);
    UpdatedFilesModel updated(log.updatedFiles);
    NewFilesModel added(log.newFiles);
    DeletedFilesModel deleted(log.deletedFiles);
    RenamedFilesModel renamed(log.renamedFiles);
    const std::string odd = "tab\there\\ 名前\x01.txt";
    for (const FindingKind kind :
         {FindingKind::Updated, FindingKind::New, FindingKind::Renamed, FindingKind::Deleted,
          FindingKind::FolderNew, FindingKind::FolderDeleted, FindingKind::Unreadable}) {
        const bool folder = IsDirectoryFinding(kind);
        LogRow row = Logged(kind, folder ? "/w/" + odd + "/" : odd, folder ? "" : "/w/new\nline/");
        row.oldName = kind == FindingKind::Renamed ? odd : "";
        log.entries.append(row);
        if (kind == FindingKind::Updated) {
            row.sizeChange = -7;
            log.entries.append(row);
        }
    }
    log.updatedFiles.insertSorted({odd, "/w/", 5, kWritten, 1.5L});
    log.updatedFiles.insertSorted({"plain", "/w/", 6, kWritten, std::nullopt});
    log.newFiles.append({odd, "/w/", 7});
    log.deletedFiles.append({odd, "/w/"});
    log.renamedFiles.append({odd, "old\rname", "/w/"});

    const QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string base = QFile::encodeName(dir.filePath(u"saved"_qs)).toStdString();
    QCOMPARE(SaveLog(log, base), std::nullopt);
    const auto lines = [](const std::string& path) {
        QFile file(QString::fromStdString(path));
        [&] { QVERIFY(file.open(QIODevice::ReadOnly)); }();
        QStringList all = QString::fromUtf8(file.readAll()).split(u"\r\n"_qs);
        all.removeLast();
        return all;
    };
    const auto shown = [](const QAbstractItemModel& model, int row, int columns) {
        return RowTexts(model, row).mid(0, columns).join(u'\t');
    };

    const QStringList logLines = lines(base + "-log.txt");
    QCOMPARE(logLines.size(), 1 + entries.rowCount());
    for (int row = 0; row < entries.rowCount(); ++row)
        QCOMPARE(logLines[1 + row], shown(entries, row, entries.columnCount()));

    // The four sections, each a title, a header and its rows; the rate is not saved.
    const QStringList ind = lines(base + "-ind.txt");
    QCOMPARE(ind.size(), 4 * 2 + 1 + 1 + 2 + 1);
    QCOMPARE(ind[2], shown(added, 0, added.columnCount()));
    QCOMPARE(ind[5], shown(deleted, 0, deleted.columnCount()));
    QCOMPARE(ind[8], shown(updated, 0, updated.columnCount() - 1));
    QCOMPARE(ind[9], shown(updated, 1, updated.columnCount() - 1));
    QCOMPARE(ind[12], shown(renamed, 0, renamed.columnCount()));
    QVERIFY(!ind.join(u'\n').contains(QChar(1)));
}

void LogWindowTests::renamedLogRowShowsOldNameRightAligned() {
    LogData log;
    LogEntriesModel model(log.entries);
    LogRow renamed = Logged(FindingKind::Renamed, "b.txt");
    renamed.oldName = "a.txt";
    log.entries.append(renamed);
    log.entries.append(Logged(FindingKind::FolderDeleted, "/w/sub/", ""));

    const QModelIndex oldName = model.index(0, ModelColumn(LogColumn::SizeChange));
    QCOMPARE(oldName.data().toString(), u"(旧)a.txt"_qs);
    QVERIFY(Qt::Alignment(oldName.data(Qt::TextAlignmentRole).toInt()) & Qt::AlignRight);
    QCOMPARE(RowTexts(model, 1), (QStringList{u"/w/sub/"_qs,
                                              u"削除"_qs,
                                              {},
                                              {},
                                              {},
                                              QString::fromStdString(DateTimeText(kDetected)),
                                              {}}));
}

void LogWindowTests::invalidUtf8NameStillShows() {
    LogData log;
    DeletedFilesModel model(log.deletedFiles);
    log.deletedFiles.append({"bad\xff\xfename.txt", "/w/"});

    const QString shown = model.index(0, ModelColumn(DeletedColumn::File)).data().toString();
    QVERIFY(shown.startsWith(u"bad"_qs));
    QVERIFY(shown.endsWith(u"name.txt"_qs));
    QVERIFY(shown.contains(QChar::ReplacementCharacter));
    QCOMPARE(log.deletedFiles[0].file, std::string("bad\xff\xfename.txt"));
}

void LogWindowTests::controlCharactersShowAsEscapes() {
    LogData log;
    RenamedFilesModel model(log.renamedFiles);
    log.renamedFiles.append({"new\nname\r.txt", "old\\\tname\x1B.txt", "/w/"});

    QCOMPARE(RowTexts(model, 0),
             (QStringList{u"new\\nname\\r.txt"_qs, u"old\\\\\\tname\\x1B.txt"_qs, u"/w/"_qs}));
    QCOMPARE(log.renamedFiles[0].newName, std::string("new\nname\r.txt"));
}

void LogWindowTests::modelFollowsEveryTableChange() {
    LogData log;
    NewFilesModel model(log.newFiles);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

    for (const char* name : {"a", "b", "c", "d", "e"})
        log.newFiles.append({name, "/w/", 1});
    QCOMPARE(inserted.size(), 5);
    QCOMPARE(inserted.last().at(1).toInt(), 4);

    log.newFiles.change(2, [](NewRow& row) { row.rowMarker = Marker::Complete; });
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed[0][0].value<QModelIndex>(), model.index(2, 0));
    QCOMPARE(changed[0][1].value<QModelIndex>(), model.index(2, ModelColumn(NewColumn::Count) - 1));

    log.newFiles.removeIf([](const NewRow& row) { return row.file != "c"; });
    QCOMPARE(removed.size(), 2); // runs "d e" and "a b"
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.index(0, 0).data().toString(), u"c"_qs);

    log.newFiles.clear();
    QCOMPARE(reset.size(), 1);
    QCOMPARE(model.rowCount(), 0);
}

void LogWindowTests::sortedInsertOpensTheRowAtItsPlace() {
    LogData log;
    UpdatedFilesModel model(log.updatedFiles);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    log.updatedFiles.insertSorted(Updated("b"));
    log.updatedFiles.insertSorted(Updated("d"));
    const QPersistentModelIndex d = model.index(1, 0);
    QSignalSpy inserting(&model, &QAbstractItemModel::rowsAboutToBeInserted);

    log.updatedFiles.insertSorted(Updated("c"));

    QCOMPARE(inserting.size(), 1);
    QCOMPARE(inserting[0][1].toInt(), 1);
    QCOMPARE(d.row(), 2);
    QCOMPARE(d.data().toString(), u"d"_qs);
    QCOMPARE(model.index(1, 0).data().toString(), u"c"_qs);
}

void LogWindowTests::markerImages() {
    const QImage& blank = MarkerImage(Marker::None);
    const QImage& changed = MarkerImage(Marker::Changed);
    const QImage& complete = MarkerImage(Marker::Complete);
    for (const QImage* image : {&blank, &changed, &complete})
        QCOMPARE(image->size(), QSize(16, 16));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            QCOMPARE(qAlpha(blank.pixel(x, y)), 0);
    QVERIFY(IsWhite(changed.pixel(0, 0)));
    QVERIFY(IsRed(changed.pixel(7, 7)));
    QVERIFY(IsWhite(complete.pixel(0, 0)));
    QVERIFY(IsWhite(complete.pixel(7, 7)));
    QVERIFY(IsRed(complete.pixel(7, 2)));
    QVERIFY(MarkerImage(3).isNull());
    QVERIFY(MarkerImage(-1).isNull());
}

void LogWindowTests::rowAndCellImages() {
    LogData log;
    UpdatedFilesModel updated(log.updatedFiles);
    NewFilesModel added(log.newFiles);
    DeletedFilesModel deleted(log.deletedFiles);
    UpdateRow row = Updated("a");
    row.rowMarker = Marker::Changed;
    row.sizeMarker = Marker::Changed;
    log.updatedFiles.insertSorted(row);
    log.newFiles.append({"n", "/w/", 1, Marker::Complete});
    log.deletedFiles.append({"x", "/w/"});
    const auto picture = [](const QAbstractItemModel& model, int column) {
        return model.index(0, column).data(Qt::DecorationRole);
    };

    QCOMPARE(Image(picture(updated, ModelColumn(UpdatedColumn::File))),
             MarkerImage(Marker::Changed));
    QCOMPARE(Image(picture(updated, ModelColumn(UpdatedColumn::Size))),
             MarkerImage(Marker::Changed));
    QCOMPARE(Image(picture(updated, ModelColumn(UpdatedColumn::Date))), MarkerImage(Marker::None));
    QVERIFY(!picture(updated, ModelColumn(UpdatedColumn::Folder)).isValid());
    QVERIFY(!picture(updated, ModelColumn(UpdatedColumn::Rate)).isValid());
    QCOMPARE(Image(picture(added, ModelColumn(NewColumn::File))), MarkerImage(Marker::Complete));
    QVERIFY(!picture(added, ModelColumn(NewColumn::Size)).isValid());
    QVERIFY(!picture(deleted, ModelColumn(DeletedColumn::File)).isValid());

    QSignalSpy changed(&updated, &QAbstractItemModel::dataChanged);
    log.updatedFiles.change(0, [](UpdateRow& r) { r.dateMarker = Marker::Changed; });
    QCOMPARE(changed.size(), 1);
    QVERIFY(changed[0][2].value<QList<int>>().contains(Qt::DecorationRole));
    QCOMPARE(Image(picture(updated, ModelColumn(UpdatedColumn::Date))),
             MarkerImage(Marker::Changed));
}

// The markers and the tray pictures are drawn at the size and pixel ratio they are shown at,
// not stretched from a smaller picture: the same drawing as one made at that many pixels.
void LogWindowTests::picturesAreDrawnAtThePixelRatio_data() {
    QTest::addColumn<int>("logical");
    QTest::addColumn<qreal>("ratio");
    QTest::newRow("16 at 1x") << 16 << 1.0;
    QTest::newRow("16 at 1.5x") << 16 << 1.5;
    QTest::newRow("16 at 2x") << 16 << 2.0;
    QTest::newRow("22 at 1.5x") << 22 << 1.5;
}
void LogWindowTests::picturesAreDrawnAtThePixelRatio() {
    QFETCH(int, logical);
    QFETCH(qreal, ratio);
    const int pixels = qRound(logical * ratio);
    LogData log;
    UpdatedFilesModel updated(log.updatedFiles);
    UpdateRow row = Updated("a");
    row.rowMarker = Marker::Changed;
    row.sizeMarker = Marker::Complete;
    log.updatedFiles.insertSorted(row);
    const auto shown = [&](const QIcon& icon) {
        const QPixmap pixmap = icon.pixmap(QSize(logical, logical), ratio);
        [&] { QCOMPARE(pixmap.devicePixelRatio(), ratio); }();
        QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(1.0);
        return image;
    };
    const auto marker = [&](int column) {
        return updated.index(0, column).data(Qt::DecorationRole).value<QIcon>();
    };
    QCOMPARE(shown(marker(ModelColumn(UpdatedColumn::File))), MarkerImage(Marker::Changed, pixels));
    QCOMPARE(shown(marker(ModelColumn(UpdatedColumn::Size))),
             MarkerImage(Marker::Complete, pixels));
    for (TrayPicture picture : {TrayPicture::Stopped, TrayPicture::Monitoring, TrayPicture::Busy})
        QCOMPARE(shown(TrayPictureIcon(picture)), TrayPictureImage(picture, pixels));
}

void LogWindowTests::windowFrame() {
    LogData log;
    LogWindow window(log);
    QCOMPARE(window.windowTitle(), u"Trellisk(ログ)"_qs);
    QCOMPARE(window.size(), QSize(743, 377));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    const Qt::WindowFlags flags = window.windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!(flags & Qt::WindowCloseButtonHint));
    QVERIFY(window.isWindow());
}

void LogWindowTests::closeRequestIsIgnored() {
    LogData log;
    LogWindow window(log);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!window.close());
    QVERIFY(window.isVisible());
}

void LogWindowTests::tabsInOrderWithUpdatedCurrent() {
    LogData log;
    LogWindow window(log);
    auto* tabs = window.findChild<QTabWidget*>(u"tabs"_qs);
    QVERIFY(tabs);
    const QStringList captions{u"ログ"_qs, u"更新"_qs, u"新規"_qs, u"削除"_qs,
                               u"リネーム(変名)"_qs};
    const QStringList tables{u"logTable"_qs, u"updatedTable"_qs, u"newTable"_qs, u"deletedTable"_qs,
                             u"renamedTable"_qs};
    QCOMPARE(tabs->count(), captions.size());
    for (int tab = 0; tab < tabs->count(); ++tab) {
        QCOMPARE(tabs->tabText(tab), captions[tab]);
        auto* view = tabs->widget(tab)->findChild<QTableView*>(tables[tab]);
        QVERIFY2(view, qPrintable(tables[tab]));
        QCOMPARE(view->accessibleName(), captions[tab]);
    }
    QCOMPARE(tabs->currentIndex(), 1);
}

void LogWindowTests::controlsAtTheirPlaces_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("place");
    QTest::addColumn<QString>("text");
    const struct {
        const char* name;
        QRect place;
        const char* text;
    } controls[] = {
        {"snapshotTimeCaption", {8, 8, 126, 12}, "比較先スナップ取得日時"},
        {"snapshotTimeLabel", {144, 8, 113, 12}, ""},
        {"comparedBaseTimeCaption", {8, 24, 126, 12}, "比較元スナップ取得日時"},
        {"comparedBaseTimeLabel", {144, 24, 113, 12}, ""},
        {"updatedCountCaption", {8, 40, 65, 12}, "更新ファイル"},
        {"newCountCaption", {8, 56, 65, 12}, "新規ファイル"},
        {"freeSpaceCaption", {304, 8, 46, 12}, "空き容量"},
        {"freeSpaceList", {304, 24, 161, 49}, nullptr},
        {"durationsCaption", {472, 8, 72, 12}, "所要時間（秒）"},
        {"durationsLabel", {544, 8, 129, 12}, ""},
        {"phaseLabel", {472, 28, 97, 12}, ""},
        {"progressBar", {576, 24, 153, 17}, nullptr},
        {"tabs", {7, 89, 722, 273}, nullptr},
    };
    for (const auto& control : controls)
        QTest::newRow(control.name) << QString::fromLatin1(control.name) << control.place
                                    << (control.text ? QString::fromUtf8(control.text) : QString());
}

void LogWindowTests::controlsAtTheirPlaces() {
    QFETCH(QString, name);
    QFETCH(QRect, place);
    QFETCH(QString, text);
    LogData log;
    LogWindow window(log);
    auto* control = window.findChild<QWidget*>(name);
    QVERIFY(control);
    QCOMPARE(control->parentWidget(), &window);
    QCOMPARE(control->geometry(), place);
    if (auto* label = qobject_cast<QLabel*>(control)) {
        QCOMPARE(label->text(), text);
        QVERIFY(label->fontMetrics().horizontalAdvance(text) <= place.width());
    }
}

// The counts and the log's line count show every digit, each clear of the control to its
// right, in the layout's order.
void LogWindowTests::numbersShowWhole_data() {
    QTest::addColumn<int>("count");
    for (int count : {0, 9, 99999, 1234567})
        QTest::newRow(QByteArray::number(count).constData()) << count;
}
void LogWindowTests::numbersShowWhole() {
    QFETCH(int, count);
    LogData log;
    LogWindow window(log);
    log.changeStatus([count](LogStatus& status) {
        status.updatedCount = status.newCount = status.deletedCount = status.renamedCount = count;
        status.lineCount = "ログ行数 " + std::to_string(std::max(count, 123456));
    });
    const auto place = [&](const char* name) {
        return window.findChild<QWidget*>(QString::fromLatin1(name))->geometry();
    };
    for (const char* name : {"updatedCountLabel", "newCountLabel", "deletedCountLabel",
                             "renamedCountLabel", "lineCountLabel"}) {
        const auto* label = window.findChild<QLabel*>(QString::fromLatin1(name));
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(), name);
    }
    const char* lines[][4] = {
        {"updatedCountCaption", "updatedCountLabel", "deletedCountCaption", "deletedCountLabel"},
        {"newCountCaption", "newCountLabel", "renamedCountCaption", "renamedCountLabel"}};
    for (const auto& line : lines) {
        int right = -1;
        for (const char* name : line) {
            QVERIFY2(place(name).left() > right, name);
            right = place(name).right();
        }
        QVERIFY(right < place("freeSpaceCaption").left());
    }
    QCOMPARE(place("lineCountLabel").top(), 72);
    QVERIFY(place("lineCountLabel").left() > place("freeSpaceList").right());
    QVERIFY(place("lineCountLabel").right() <= place("tabs").right());
}

// A long mount point gives way at its start: no scroll bar, and the free space stays whole.
void LogWindowTests::longMountPointsKeepTheFreeSpaceWhole_data() {
    QTest::addColumn<int>("length");
    for (int length : {1, 20, 40, 60})
        QTest::newRow(QByteArray::number(length).constData()) << length;
}
void LogWindowTests::longMountPointsKeepTheFreeSpaceWhole() {
    QFETCH(int, length);
    LogData log;
    LogWindow window(log);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const std::string mount = "/" + std::string(static_cast<std::size_t>(length - 1), 'm');
    const std::string space = "ドライブ 123,456,789,012";
    log.changeStatus([&](LogStatus& status) {
        status.freeSpaceLines = {mount + space, "/ドライブ 1"};
    });
    auto* list = window.findChild<QListWidget*>(u"freeSpaceList"_qs);
    list->doItemsLayout();
    QCoreApplication::processEvents();
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    QCOMPARE(list->textElideMode(), Qt::ElideLeft);
    QVERIFY(list->fontMetrics().horizontalAdvance(QString::fromStdString(space)) <
            list->viewport()->width());
    QCOMPARE(list->item(0)->toolTip(), QString::fromStdString(mount + space));
}

// Every caption, and the dates and sizes of the cells, fit their columns in the window's font.
void LogWindowTests::datesAndNumbersFitTheirColumns() {
    LogData log;
    const std::uint64_t size = 99999999999;
    const std::int64_t date = 1798469938; // 2026/12/28 14:58:58 UTC: two-digit fields
    LogRow logged = Logged(FindingKind::Updated, "f");
    logged.size = size;
    logged.sizeChange = static_cast<std::int64_t>(size);
    logged.dateKey = date;
    logged.detected = date;
    log.entries.append(logged);
    UpdateRow row = Updated("f");
    row.size = size;
    row.dateKey = date;
    row.rowMarker = row.sizeMarker = row.dateMarker = Marker::Changed;
    log.updatedFiles.insertSorted(row);
    log.newFiles.append({"n", "/w/", size, Marker::Complete});
    LogWindow window(log);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* tabs = window.findChild<QTabWidget*>(u"tabs"_qs);
    for (const char* name :
         {"logTable", "updatedTable", "newTable", "deletedTable", "renamedTable"}) {
        auto* view = window.findChild<QTableView*>(QString::fromLatin1(name));
        tabs->setCurrentWidget(view->parentWidget());
        QTRY_VERIFY(view->isVisible());
        const QAbstractItemModel* model = view->model();
        // Public as an item view's measure of the widest cell (QTableView hides it).
        const QAbstractItemView* asItemView = view;
        for (int column = 0; column < model->columnCount(); ++column) {
            const QByteArray where = name + QByteArray(" column ") + QByteArray::number(column);
            QVERIFY2(view->columnWidth(column) >= view->horizontalHeader()->sectionSizeHint(column),
                     where.constData());
            if (!model->headerData(column, Qt::Horizontal, TableModel::WidestValueRole)
                     .toString()
                     .isEmpty())
                QVERIFY2(view->columnWidth(column) >= asItemView->sizeHintForColumn(column),
                         where.constData());
        }
    }
}

void LogWindowTests::tablesShowTheEngineTables() {
    LogData log;
    log.deletedFiles.append({"early", "/w/"});
    LogWindow window(log);
    auto* view = window.findChild<QTableView*>(u"deletedTable"_qs);
    QVERIFY(view);
    QCOMPARE(view->model()->rowCount(), 1);
    log.deletedFiles.append({"late", "/w/"});
    QCOMPARE(view->model()->index(1, ModelColumn(DeletedColumn::File)).data().toString(),
             u"late"_qs);
    QCOMPARE(view->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(view->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(view->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(view->showGrid());
    QCOMPARE(view->columnWidth(ModelColumn(DeletedColumn::File)), 200);
    QCOMPARE(view->columnWidth(ModelColumn(DeletedColumn::Folder)), 100);
    QCOMPARE(view->rowHeight(0), 16);
}

void LogWindowTests::statusFollowsTheLogData() {
    LogData log;
    LogWindow window(log);
    const auto text = [&](const char* name) {
        return window.findChild<QLabel*>(QString::fromLatin1(name))->text();
    };
    auto* gauge = window.findChild<QProgressBar*>(u"progressBar"_qs);
    auto* freeSpace = window.findChild<QListWidget*>(u"freeSpaceList"_qs);
    QCOMPARE(gauge->text(), u"0%"_qs);

    log.changeStatus([](LogStatus& status) {
        status.snapshotTime = "2024/05/01 9:00:03";
        status.comparedBaseTime = "2024/05/01 8:59:58";
        status.updatedCount = 3;
        status.newCount = 12;
        status.deletedCount = 1;
        status.renamedCount = 7;
        status.freeSpaceLines = {"/ドライブ 12,345", "/home/ドライブ -1"};
        status.phase = "比較中";
        status.progress = 40;
        status.recentDurations = " 1 5";
        status.lineCount = "ログ行数 25";
    });

    QCOMPARE(text("snapshotTimeLabel"), u"2024/05/01 9:00:03"_qs);
    QCOMPARE(text("comparedBaseTimeLabel"), u"2024/05/01 8:59:58"_qs);
    QCOMPARE(window.baseTimeText(), u"2024/05/01 8:59:58"_qs);
    QCOMPARE(text("updatedCountLabel"), u"3"_qs);
    QCOMPARE(text("newCountLabel"), u"12"_qs);
    QCOMPARE(text("deletedCountLabel"), u"1"_qs);
    QCOMPARE(text("renamedCountLabel"), u"7"_qs);
    QVERIFY(window.findChild<QLabel*>(u"renamedCountLabel"_qs)->alignment() & Qt::AlignRight);
    QCOMPARE(text("phaseLabel"), u"比較中"_qs);
    QCOMPARE(text("durationsLabel"), u" 1 5"_qs);
    QCOMPARE(text("lineCountLabel"), u"ログ行数 25"_qs);
    QCOMPARE(gauge->text(), u"40%"_qs);
    QCOMPARE(freeSpace->count(), 2);
    QCOMPARE(freeSpace->item(0)->text(), u"/ドライブ 12,345"_qs);
    QCOMPARE(freeSpace->item(1)->text(), u"/home/ドライブ -1"_qs);

    log.changeStatus([](LogStatus& status) {
        status.freeSpaceLines.clear();
        status.progress = 250; // out of range: shown as full, never rejected
    });
    QCOMPARE(freeSpace->count(), 0);
    QCOMPARE(gauge->text(), u"100%"_qs);
}

void LogWindowTests::showPutsTheWindowAtTheTopLeft() {
    LogData log;
    LogWindow window(log);
    window.move(200, 150);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.pos(), QPoint(0, 0));
    window.hide();
    window.move(300, 120);
    QCOMPARE(window.pos(), QPoint(300, 120));
    window.show();
    QCOMPARE(window.pos(), QPoint(0, 0));
}

void LogWindowTests::rightClickOpensThePopupMenu() {
    LogData log;
    LogWindow window(log);
    RecordingMenu menu;
    menu.addAction(u"開始"_qs);
    window.setPopupMenu(&menu);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    auto* table = window.findChild<QTableView*>(u"updatedTable"_qs);
    auto* label = window.findChild<QLabel*>(u"snapshotTimeCaption"_qs);
    for (QWidget* target : {table->viewport(), static_cast<QWidget*>(label)}) {
        menu.openedAt.clear();
        const QPoint at(10, 5);
        // Through the window, as the window system delivers it.
        QTest::mouseClick(window.windowHandle(), Qt::RightButton, {}, target->mapTo(&window, at));
        QTRY_COMPARE(menu.openedAt.size(), 1);
        QCOMPARE(menu.openedAt[0], target->mapToGlobal(at));
        menu.close();
    }
}

void LogWindowTests::appendedRowsScrollIntoViewOncePerTurn() {
    LogData log;
    LogWindow window(log);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* view = window.findChild<QTableView*>(u"updatedTable"_qs);
    QSignalSpy scrolled(view->verticalScrollBar(), &QScrollBar::valueChanged);
    const auto appendAndScroll = [&](int row) {
        log.updatedFiles.scrollTo(
            log.updatedFiles.insertSorted(Updated(("f" + std::to_string(10000 + row)).c_str())));
    };

    appendAndScroll(0);
    QCoreApplication::processEvents();
    QCOMPARE(scrolled.size(), 0); // already in view

    for (int row = 1; row < 2000; ++row)
        appendAndScroll(row);
    QCoreApplication::processEvents();
    QCOMPARE(scrolled.size(), 1);
    const QModelIndex last = view->model()->index(1999, 0);
    QVERIFY(view->viewport()->rect().contains(view->visualRect(last)));
}

void LogWindowTests::rowsAppendedOnAHiddenTabAreInViewWhenItIsChosen() {
    LogData log;
    LogWindow window(log);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* view = window.findChild<QTableView*>(u"logTable"_qs);
    QVERIFY(!view->isVisible());

    for (int row = 0; row < 300; ++row) {
        log.entries.append(Logged(FindingKind::New, "f" + std::to_string(row)));
        log.entries.scrollTo(static_cast<std::size_t>(row));
    }
    QCoreApplication::processEvents();
    window.findChild<QTabWidget*>(u"tabs"_qs)->setCurrentIndex(0);

    const QModelIndex last = view->model()->index(299, 0);
    QTRY_VERIFY(view->viewport()->rect().contains(view->visualRect(last)));
}

void LogWindowTests::pendingScrollFollowsRowsInsertedBeforeIt() {
    LogData log;
    for (int row = 0; row < 500; ++row)
        log.updatedFiles.insertSorted(Updated(("m" + std::to_string(1000 + row)).c_str()));
    LogWindow window(log);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* view = window.findChild<QTableView*>(u"updatedTable"_qs);

    log.updatedFiles.scrollTo(log.updatedFiles.insertSorted(Updated("z")));
    for (int row = 0; row < 100; ++row)
        log.updatedFiles.insertSorted(Updated(("a" + std::to_string(row)).c_str()));
    QCoreApplication::processEvents();

    const QModelIndex z = view->model()->index(view->model()->rowCount() - 1, 0);
    QCOMPARE(z.data().toString(), u"z"_qs);
    QVERIFY(view->viewport()->rect().contains(view->visualRect(z)));
}

QTEST_MAIN(LogWindowTests)
#include "log_window_tests.moc"
