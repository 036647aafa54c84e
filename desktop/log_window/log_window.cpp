#include "desktop/log_window/log_window.h"

#include "desktop/appearance/appearance.h"
#include "desktop/models/log_table_models.h"
#include "desktop/log_window/scroll_follower.h"

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
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFontPixels = 12;
constexpr int kRowHeight = 16;

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
    const QString text = label->text();
    const int excess = label->fontMetrics().horizontalAdvance(text) - label->width();
    if (text.isEmpty() || excess <= 0)
        return;
    QFont font = label->font();
    const int advance = label->fontMetrics().horizontalAdvance(text);
    font.setStretch(static_cast<int>(std::floor(100.0 * label->width() / advance)));
    label->setFont(font);
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

TForm2::TForm2(trellisk::LogData& log, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint),
      log_(log) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Trellisk(ログ)"));
    // Closing the main window ends the program whether this window is shown or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(trellisk::UiFont(kFontPixels));
    setFixedSize(743, 377);

    Label4 = addValue("Label4", {144, 8, 113, 12},
                      addLabel("Label2", {8, 8, 126, 12}, "比較先スナップ取得日時"));
    Label3 = addValue("Label3", {144, 24, 113, 12},
                      addLabel("Label1", {8, 24, 126, 12}, "比較元スナップ取得日時"));
    updateno =
        addValue("updateno", {80, 40, 25, 12}, addLabel("Label5", {8, 40, 65, 12}, "更新ファイル"));
    newno =
        addValue("newno", {80, 56, 25, 12}, addLabel("label10", {8, 56, 65, 12}, "新規ファイル"));
    delno =
        addValue("delno", {216, 40, 25, 12}, addLabel("Label6", {120, 40, 65, 12}, "削除ファイル"));
    renameno = addValue("renameno", {216, 56, 25, 12},
                        addLabel("Label7", {120, 56, 85, 12}, "リネームファイル"));
    for (QLabel* count : {updateno, newno, delno, renameno})
        count->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    const QLabel* freeSpace = addLabel("Label12", {304, 8, 46, 12}, "空き容量");
    akiListBox = new QListWidget(this);
    akiListBox->setObjectName(QStringLiteral("akiListBox"));
    akiListBox->setGeometry(304, 24, 161, 49);
    akiListBox->setAccessibleName(freeSpace->text());
    akiListBox->setUniformItemSizes(true);
    akiListBox->setSelectionMode(QAbstractItemView::NoSelection);
    akiListBox->setFocusPolicy(Qt::NoFocus); // a display, not a place to type
    QPalette face = akiListBox->palette();
    face.setColor(QPalette::Base, face.color(QPalette::Window));
    akiListBox->setPalette(face);

    Label11 = addValue("Label11", {544, 8, 129, 12},
                       addLabel("Label8", {472, 8, 72, 12}, "所要時間（秒）"));
    trellisk::SetCaptionTextBackground(*Label11);
    Label9 = addLabel("Label9", {472, 28, 97, 12});
    Label9->setFont(FixedPitchFont());
    trellisk::SetCaptionTextBackground(*Label9);

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setGeometry(576, 24, 153, 17);
    Gauge1->setRange(0, 100);
    Gauge1->setFormat(QStringLiteral("%p%"));
    Gauge1->setTextVisible(true);
    Gauge1->setAlignment(Qt::AlignCenter);
    Gauge1->setAccessibleName(QStringLiteral("進捗"));
    PaintBlackOnWhite(Gauge1);

    lines = addLabel("lines", {632, 72, 89, 12});

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setGeometry(7, 89, 722, 273);
    addTable("logListView", "ログ", new trellisk::LogListModel(log.logListView, this));
    addTable("updateListview", "更新", new trellisk::UpdateListModel(log.updateListview, this));
    addTable("NewListView", "新規", new trellisk::NewListModel(log.NewListView, this));
    addTable("delListView", "削除", new trellisk::DelListModel(log.delListView, this));
    addTable("renameListView", "リネーム(変名)",
             new trellisk::RenameListModel(log.renameListView, this));
    PageControl1->setCurrentIndex(1);

    statusChanged();
    log_.addStatusObserver(this);
}

TForm2::~TForm2() {
    log_.removeStatusObserver(this);
}

void TForm2::setPopupMenu(QMenu* menu) {
    popupMenu_ = menu;
}

QString TForm2::baseTimeText() const {
    return Label3->text();
}

QLabel* TForm2::addLabel(const char* name, QRect geometry, const char* caption) {
    auto* label = new QLabel(QString::fromUtf8(caption), this);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    FitCaption(label);
    return label;
}

QLabel* TForm2::addValue(const char* name, QRect geometry, const QLabel* caption) {
    // The text is the value; the caption beside it says what the value is.
    QLabel* label = addLabel(name, geometry);
    label->setAccessibleDescription(caption->text());
    return label;
}

QTableView* TForm2::addTable(const char* name, const char* tab, trellisk::TableModel* model) {
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
    for (int column = 0; column < model->columnCount(); ++column)
        view->setColumnWidth(
            column, model->headerData(column, Qt::Horizontal, trellisk::TableModel::ColumnWidthRole)
                        .toInt());
    new trellisk::ScrollFollower(view, model);

    layout->addWidget(view);
    PageControl1->addTab(page, caption);
    return view;
}

void TForm2::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A restore from the minimised state is spontaneous; only a show by the program moves.
    if (!event->spontaneous())
        FormShow();
}

void TForm2::FormShow() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    move(screen ? screen->geometry().topLeft() : QPoint(0, 0));
}

void TForm2::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void TForm2::contextMenuEvent(QContextMenuEvent* event) {
    if (popupMenu_)
        popupMenu_->popup(event->globalPos());
    event->accept();
}

void TForm2::statusChanged() {
    const trellisk::LogStatus& status = log_.status();
    Label4->setText(QString::fromStdString(status.Label4));
    Label3->setText(QString::fromStdString(status.Label3));
    updateno->setText(QString::number(status.updateno));
    newno->setText(QString::number(status.newno));
    delno->setText(QString::number(status.delno));
    renameno->setText(QString::number(status.renameno));
    showFreeSpace(status.akiListBox);
    Label9->setText(QString::fromStdString(status.Label9));
    Gauge1->setValue(std::clamp(status.Gauge1, 0, 100));
    Label11->setText(QString::fromStdString(status.Label11));
    lines->setText(QString::fromStdString(status.lines));
}

void TForm2::showFreeSpace(const std::vector<std::string>& drives) {
    QStringList text;
    for (const std::string& line : drives)
        text.append(QString::fromStdString(line));
    QStringList shown;
    for (int row = 0; row < akiListBox->count(); ++row)
        shown.append(akiListBox->item(row)->text());
    if (text == shown)
        return;
    akiListBox->clear();
    for (const QString& line : text) {
        auto* item = new QListWidgetItem(line, akiListBox);
        item->setSizeHint({0, kFontPixels});
    }
}
