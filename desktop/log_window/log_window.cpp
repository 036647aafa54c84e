#include "desktop/log_window/log_window.h"

#include "desktop/appearance/appearance.h"
#include "desktop/log_window/scroll_follower.h"
#include "desktop/models/log_table_models.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kFontPixels = 12;
constexpr int kRowHeight = 16;
constexpr int kCountGap = 15; // between a count and the caption to its right

QString WidestCount() {
    return QStringLiteral("9999999");
}

// Sets the text, widening the label where a larger number than it was made for would be cut.
void ShowWhole(QLabel* label, const QString& text) {
    label->setText(text);
    const int needed = label->fontMetrics().horizontalAdvance(text) + 2;
    if (needed > label->width())
        label->resize(needed, label->height());
}

// The fixed-pitch face where installed, else the desktop's Japanese monospace.
QFont FixedPitchFont() {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("Noto Sans Mono CJK JP")});
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(kFontPixels);
    return font;
}

// Without the proportional face, the fallback's full-width characters run wider than the
// boxes laid out for the captions; narrowing the glyphs keeps every caption whole and
// readable, where tighter letter spacing would make them overlap.
void FitCaption(QLabel* label) {
    trellisk::NarrowTextToFit(*label, label->text(), label->width());
}

// The column's own width, widened where its caption or its widest value (a number, a date)
// would be cut in the font at hand.
int ColumnWidth(const QTableView& view, const trellisk::TableModel& model, int column) {
    using trellisk::TableModel;
    const auto header = [&](int role) { return model.headerData(column, Qt::Horizontal, role); };
    int width = std::max(header(TableModel::ColumnWidthRole).toInt(),
                         view.horizontalHeader()->sectionSizeHint(column));
    const QString widest = header(TableModel::WidestValueRole).toString();
    if (widest.isEmpty())
        return width;
    // A cell as the item delegate measures it, with the picture before the text where the
    // column has one, and the grid line.
    QStyleOptionViewItem cell;
    cell.initFrom(&view);
    cell.font = view.font();
    cell.fontMetrics = view.fontMetrics();
    cell.text = widest;
    cell.features = QStyleOptionViewItem::HasDisplay;
    if (header(TableModel::MarkedRole).toBool()) {
        cell.features |= QStyleOptionViewItem::HasDecoration;
        cell.decorationSize = view.iconSize();
    }
    const QSize needed =
        view.style()->sizeFromContents(QStyle::CT_ItemViewItem, &cell, QSize(), &view);
    return std::max(width, needed.width() + (view.showGrid() ? 1 : 0));
}

// A framed bar drawn black on white with its percentage written in it.
void PaintBlackOnWhite(QProgressBar* bar) {
    QPalette palette = bar->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Window, Qt::white);
    palette.setColor(QPalette::Highlight, Qt::black);
    palette.setColor(QPalette::Text, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    bar->setPalette(palette);
}

} // namespace

LogWindow::LogWindow(trellisk::LogData& log, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint),
      log_(log) {
    setObjectName(QStringLiteral("logWindow"));
    setWindowTitle(QStringLiteral("Trellisk(ログ)"));
    // Closing the main window ends the program whether this window is shown or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(trellisk::UiFont(kFontPixels));
    setFixedSize(743, 377);

    snapshotTimeLabel =
        addValue("snapshotTimeLabel", {144, 8, 113, 12},
                 addLabel("snapshotTimeCaption", {8, 8, 126, 12}, "比較先スナップ取得日時"));
    comparedBaseTimeLabel =
        addValue("comparedBaseTimeLabel", {144, 24, 113, 12},
                 addLabel("comparedBaseTimeCaption", {8, 24, 126, 12}, "比較元スナップ取得日時"));
    // The counts hold seven digits whole; the second pair of counts moves right as far as the
    // first pair needs.
    const int countWidth = std::max(25, fontMetrics().horizontalAdvance(WidestCount()) + 2);
    const int shift = std::max(0, 80 + countWidth + kCountGap - 120);
    updatedCountLabel = addValue("updatedCountLabel", {80, 40, countWidth, 12},
                                 addLabel("updatedCountCaption", {8, 40, 65, 12}, "更新ファイル"));
    newCountLabel = addValue("newCountLabel", {80, 56, countWidth, 12},
                             addLabel("newCountCaption", {8, 56, 65, 12}, "新規ファイル"));
    deletedCountLabel =
        addValue("deletedCountLabel", {216 + shift, 40, countWidth, 12},
                 addLabel("deletedCountCaption", {120 + shift, 40, 65, 12}, "削除ファイル"));
    renamedCountLabel =
        addValue("renamedCountLabel", {216 + shift, 56, countWidth, 12},
                 addLabel("renamedCountCaption", {120 + shift, 56, 85, 12}, "リネームファイル"));
    for (QLabel* count : {updatedCountLabel, newCountLabel, deletedCountLabel, renamedCountLabel})
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const QLabel* freeSpace = addLabel("freeSpaceCaption", {304, 8, 46, 12}, "空き容量");
    freeSpaceList = new QListWidget(this);
    freeSpaceList->setObjectName(QStringLiteral("freeSpaceList"));
    freeSpaceList->setGeometry(304, 24, 161, 49);
    freeSpaceList->setAccessibleName(freeSpace->text());
    freeSpaceList->setUniformItemSizes(true);
    freeSpaceList->setSelectionMode(QAbstractItemView::NoSelection);
    freeSpaceList->setFocusPolicy(Qt::NoFocus); // a display, not a place to type
    // A long mount point gives way at its start, so the free space at the end stays whole.
    freeSpaceList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    freeSpaceList->setTextElideMode(Qt::ElideLeft);
    QPalette face = freeSpaceList->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Window));
    freeSpaceList->setPalette(face);

    durationsLabel = addValue("durationsLabel", {544, 8, 129, 12},
                              addLabel("durationsCaption", {472, 8, 72, 12}, "所要時間（秒）"));
    trellisk::SetCaptionTextBackground(*durationsLabel);
    phaseLabel = addLabel("phaseLabel", {472, 28, 97, 12});
    phaseLabel->setFont(FixedPitchFont());
    trellisk::SetCaptionTextBackground(*phaseLabel);

    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setGeometry(576, 24, 153, 17);
    progressBar->setRange(0, 100);
    progressBar->setFormat(QStringLiteral("%p%"));
    progressBar->setTextVisible(true);
    progressBar->setAlignment(Qt::AlignCenter);
    progressBar->setAccessibleName(QStringLiteral("進捗"));
    PaintBlackOnWhite(progressBar);

    // Wide enough for seven digits; moved left rather than past the tables' right edge.
    const int lineCountWidth = std::max(
        89, fontMetrics().horizontalAdvance(QStringLiteral("ログ行数 ") + WidestCount()) + 2);
    lineCountLabel =
        addLabel("lineCountLabel", {std::min(632, 729 - lineCountWidth), 72, lineCountWidth, 12});

    tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    tabs->setGeometry(7, 89, 722, 273);
    addTable("logTable", "ログ", new trellisk::LogEntriesModel(log.entries, this));
    addTable("updatedTable", "更新", new trellisk::UpdatedFilesModel(log.updatedFiles, this));
    addTable("newTable", "新規", new trellisk::NewFilesModel(log.newFiles, this));
    addTable("deletedTable", "削除", new trellisk::DeletedFilesModel(log.deletedFiles, this));
    addTable("renamedTable", "リネーム(変名)",
             new trellisk::RenamedFilesModel(log.renamedFiles, this));
    tabs->setCurrentIndex(1);

    statusChanged();
    log_.addStatusObserver(this);
}

LogWindow::~LogWindow() {
    log_.removeStatusObserver(this);
}

void LogWindow::setPopupMenu(QMenu* menu) {
    popupMenu_ = menu;
}

QString LogWindow::baseTimeText() const {
    return comparedBaseTimeLabel->text();
}

QLabel* LogWindow::addLabel(const char* name, QRect geometry, const char* caption) {
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    FitCaption(label);
    return label;
}

QLabel* LogWindow::addValue(const char* name, QRect geometry, const QLabel* caption) {
    // The text is the value; the caption beside it says what the value is.
    QLabel* label = addLabel(name, geometry);
    label->setAccessibleDescription(caption->text());
    return label;
}

QTableView* LogWindow::addTable(const char* name, const char* tab, trellisk::TableModel* model) {
    const QString caption = QString::fromUtf8(tab);
    auto* page = new QWidget;
    page->setAccessibleName(caption);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);

    auto* view = new QTableView(page);
    view->setObjectName(QString::fromLatin1(name));
    view->setAccessibleName(caption);
    view->setModel(model);
    view->setShowGrid(true);
    view->setWordWrap(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setIconSize({16, 16});
    // Fixed row heights keep a table of any length as cheap to scroll as a short one.
    QHeaderView* rows = view->verticalHeader();
    rows->hide();
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(kRowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView* columns = view->horizontalHeader();
    columns->setHighlightSections(false);
    columns->setStretchLastSection(false);
    new trellisk::ScrollFollower(view, model);

    layout->addWidget(view);
    tabs->addTab(page, caption);
    // Measured in the window's font, which the view has only now that it is in the window.
    for (int column = 0; column < model->columnCount(); ++column)
        view->setColumnWidth(column, ColumnWidth(*view, *model, column));
    return view;
}

void LogWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A restore from the minimised state is spontaneous; only a show by the program moves.
    if (!event->spontaneous())
        placeOnFirstShow();
}

void LogWindow::placeOnFirstShow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    move(screen ? screen->geometry().topLeft() : QPoint(0, 0));
}

void LogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void LogWindow::contextMenuEvent(QContextMenuEvent* event) {
    if (popupMenu_)
        popupMenu_->popup(event->globalPos());
    event->accept();
}

void LogWindow::statusChanged() {
    const trellisk::LogStatus& status = log_.status();
    snapshotTimeLabel->setText(QString::fromStdString(status.snapshotTime));
    comparedBaseTimeLabel->setText(QString::fromStdString(status.comparedBaseTime));
    ShowWhole(updatedCountLabel, QString::number(status.updatedCount));
    ShowWhole(newCountLabel, QString::number(status.newCount));
    ShowWhole(deletedCountLabel, QString::number(status.deletedCount));
    ShowWhole(renamedCountLabel, QString::number(status.renamedCount));
    showFreeSpace(status.freeSpaceLines);
    phaseLabel->setText(QString::fromStdString(status.phase));
    progressBar->setValue(std::clamp(status.progress, 0, 100));
    durationsLabel->setText(QString::fromStdString(status.recentDurations));
    ShowWhole(lineCountLabel, QString::fromStdString(status.lineCount));
}

void LogWindow::showFreeSpace(const std::vector<std::string>& drives) {
    QStringList text;
    for (const std::string& line : drives)
        text.append(QString::fromStdString(line));
    QStringList shown;
    for (int row = 0; row < freeSpaceList->count(); ++row)
        shown.append(freeSpaceList->item(row)->text());
    if (text == shown)
        return;
    freeSpaceList->clear();
    for (const QString& line : text) {
        auto* item = new QListWidgetItem(line, freeSpaceList);
        item->setSizeHint({0, kFontPixels});
        item->setToolTip(line);
    }
}
