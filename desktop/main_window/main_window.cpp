#include "desktop/main_window/main_window.h"

#include "desktop/about/about_window.h"
#include "desktop/appearance/appearance.h"
#include "desktop/dialogs/dialogs.h"
#include "desktop/models/folder_table_model.h"
#include "desktop/tray/tray_icon.h"
#include "desktop/appearance/tray_pictures.h"
#include "engine/log/log_export.h"
#include "desktop/log_window/log_window.h"
#include "engine/monitor/monitor.h"
#include "engine/platform/clock.h"
#include "desktop/platform/window_titles.h"
#include "engine/settings/folder_import.h"
#include "engine/settings/settings_file.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStyle>
#include <QTableView>

namespace trellisk {

namespace {

// The folder table keeps paths as the file system's bytes.
std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

TForm1::TForm1(Settings& settings, Monitor& monitor, LogData& log, const Clock& clock,
               Dialogs& dialogs, std::string settingsFileName, bool trayAvailable, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      settings_(settings), monitor_(monitor), logData_(log), clock_(clock), dialogs_(dialogs),
      settingsFileName_(std::move(settingsFileName)), selfol_(settings.ListView1) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Trellisk"));
    setWindowIcon(ProgramIcon());
    ui_.setupUi(*this);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    folderModel_ = new FolderTableModel(settings_.ListView1, this);
    ui_.ListView1->setModel(folderModel_);
    ui_.ListView1->setColumnWidth(FolderTableModel::kFolderName, 200);
    ui_.ListView1->setColumnWidth(FolderTableModel::kSubMonitor, 70);
    connect(folderModel_, &FolderTableModel::scrollRequested, this,
            [this](int row) { ui_.ListView1->scrollTo(folderModel_->index(row, 0)); });

    timer1_.setObjectName(QStringLiteral("Timer1"));
    timer1_.setSingleShot(false);
    connect(&timer1_, &QTimer::timeout, this, &TForm1::Timer1Timer);

    connect(ui_.N2, &QAction::triggered, this, &TForm1::N2Click);
    connect(ui_.N3, &QAction::triggered, this, &TForm1::N3Click);
    connect(ui_.N6, &QAction::triggered, this, &TForm1::N6Click);
    connect(ui_.Delete1, &QAction::triggered, this, &TForm1::Delete1Click);
    connect(ui_.N7, &QAction::triggered, this, &TForm1::N7Click);
    connect(ui_.Save1, &QAction::triggered, this, &TForm1::Save1Click);
    connect(ui_.N5, &QAction::triggered, this, &TForm1::N5Click);
    connect(ui_.About1, &QAction::triggered, this, &TForm1::About1Click);
    connect(ui_.N9, &QAction::triggered, this, &TForm1::N9Click);
    connect(ui_.N10, &QAction::triggered, this, &TForm1::N10Click);
    connect(ui_.N11, &QAction::triggered, this, &TForm1::N11Click);
    connect(ui_.Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connect(ui_.Exit2, &QAction::triggered, this, &TForm1::Exit2Click);

    connect(ui_.Edit1, &QSpinBox::valueChanged, this,
            [this](int seconds) { settings_.interval = seconds; });
    connect(ui_.restartclearcbox, &QCheckBox::toggled, this, [this](bool checked) {
        settings_.restartclearcbox = checked;
        restartclearcboxClick();
    });
    connect(ui_.ListView1, &QTableView::doubleClicked, this, &TForm1::ListView1DblClick);
    connect(ui_.RadioGroup1Items, &QButtonGroup::idClicked, this, &TForm1::RadioGroup1Click);
    connect(ui_.Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(ui_.Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(ui_.ListBox2, &PickList::picked, this, &TForm1::ListBox2Click);

    if (trayAvailable) {
        tray_ = std::make_unique<TrayIcon>(ui_.PopupMenu1);
        connect(tray_.get(), &TrayIcon::leftClicked, this, [this] { show(); });
    }
    loadSettings();
}

TForm1::~TForm1() = default;

void TForm1::attachForms(TForm2& log, TForm3& about) {
    log_ = &log;
    about_ = &about;
    log_->setPopupMenu(ui_.PopupMenu1);
}

void TForm1::loadSettings() {
    if (const auto error = LoadSettings(settingsFileName_, settings_))
        dialogs_.error(this, QString::fromStdString(*error));
    ui_.Edit1->setValue(settings_.interval);
    ui_.restartclearcbox->setChecked(settings_.restartclearcbox);
    timer1_.setInterval(settings_.timerIntervalMs);
}

void TForm1::FormDestroy() {
    if (tray_)
        tray_->hide();
    if (const auto error = SaveSettings(settingsFileName_, settings_))
        dialogs_.error(this, QString::fromStdString(*error));
}

template <class Call> void TForm1::runEngine(Call&& call) {
    ++engineDepth_;
    call();
    --engineDepth_;
    if (engineDepth_ == 0 && exitRequested_ && !monitor_.busy())
        close();
}

void TForm1::N2Click() {
    // Without a tray nothing could bring a hidden main window back.
    if (tray_)
        hide();
    runEngine([this] { monitor_.StartMonitoring(); });
}

void TForm1::N3Click() {
    runEngine([this] { monitor_.StopMonitoring(); });
}

bool TForm1::refusedWhileMonitoring() {
    if (!monitor_.Monitoring())
        return false;
    dialogs_.message(this, QStringLiteral("モニター中です"));
    return true;
}

std::optional<std::size_t> TForm1::selectedFolderRow() const {
    const QModelIndexList rows = ui_.ListView1->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return static_cast<std::size_t>(rows.first().row());
}

void TForm1::N6Click() {
    if (refusedWhileMonitoring())
        return;
    const std::optional<QString> folder = dialogs_.chooseFolder(this);
    if (!folder)
        return;
    settings_.ListView1.append(NewFolderEntry(PathBytes(*folder)));
    ui_.restartclearcbox->setChecked(true);
}

void TForm1::Delete1Click() {
    if (refusedWhileMonitoring())
        return;
    if (const auto row = selectedFolderRow())
        settings_.ListView1.remove(*row);
    else
        dialogs_.message(this, QStringLiteral("削除するフォルダを選択してください"));
    ui_.restartclearcbox->setChecked(true);
}

// The flag and depth shown are those last used, not the row's.
void TForm1::ListView1DblClick() {
    if (refusedWhileMonitoring())
        return;
    const auto row = selectedFolderRow();
    if (!row)
        return;
    selfol_.open(*row);
    ui_.Label7->setText(QString::fromStdString(settings_.ListView1[*row].path));
    ui_.GroupBox4->setEnabled(true);
}

void TForm1::RadioGroup1Click() {
    ui_.GroupBox3->setEnabled(ui_.RadioGroup1Items->checkedId() != 1);
}

// When the edited row has been deleted meanwhile nothing is written and nothing needs a new
// comparison base; the details close all the same, their folder being gone.
void TForm1::Button1Click() {
    if (refusedWhileMonitoring())
        return;
    const bool written =
        selfol_.apply(ui_.RadioGroup1Items->checkedId() == 0, ui_.Edit2->text().toStdString());
    closeFolderDetails();
    if (written)
        ui_.restartclearcbox->setChecked(true);
}

void TForm1::Button2Click() {
    closeFolderDetails();
}

void TForm1::closeFolderDetails() {
    ui_.GroupBox4->setEnabled(false);
    ui_.Label7->clear();
}

void TForm1::N7Click() {
    if (refusedWhileMonitoring())
        return;
    ui_.ListBox2->clear();
    for (const std::string& title : FolderCandidates(platform::VisibleWindowTitles())) {
        auto* item = new QListWidgetItem(QString::fromStdString(title), ui_.ListBox2);
        item->setData(Qt::UserRole, QByteArray::fromStdString(title));
    }
    ui_.restartclearcbox->setChecked(true);
}

// Not refused while monitoring: the list is what the last collection found.
void TForm1::ListBox2Click() {
    const QListWidgetItem* item = ui_.ListBox2->currentItem();
    if (item == nullptr)
        return;
    settings_.ListView1.append(
        NewFolderEntry(item->data(Qt::UserRole).toByteArray().toStdString()));
}

void TForm1::Save1Click() {
    const std::optional<QString> base =
        dialogs_.chooseSaveFile(this, QString::fromStdString(LogFileInitialName(clock_.now())));
    if (!base)
        return;
    if (const auto error = SaveLog(logData_, PathBytes(*base)))
        dialogs_.error(this, QString::fromStdString(*error));
}

void TForm1::N5Click() {
    ClearLog(logData_);
}

void TForm1::About1Click() {
    about_->show();
    about_->raise();
}

void TForm1::N9Click() {
    setVisible(!isVisible());
}

void TForm1::N10Click() {
    log_->setVisible(!log_->isVisible());
}

void TForm1::N11Click() {
    runEngine([this] { monitor_.StartMonitoring(); });
}

void TForm1::Exit1Click() {
    runEngine([this] { monitor_.StopMonitoring(); });
}

void TForm1::Exit2Click() {
    if (tray_)
        tray_->hide();
    close();
}

void TForm1::Timer1Timer() {
    runEngine([this] { monitor_.Timer1Timer(); });
}

void TForm1::restartclearcboxClick() {
    ui_.Label4->setEnabled(!ui_.restartclearcbox->isChecked());
}

void TForm1::FormActivate() {
    if (log_)
        ui_.Label4->setText(log_->baseTimeText());
}

bool TForm1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QMainWindow::event(event);
}

void TForm1::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        if (const QScreen* desktop = screen())
            move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, frameGeometry().size(),
                                     desktop->availableGeometry())
                     .topLeft());
    }
    QMainWindow::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    // A running baseline or cycle still uses the tables: end once it has unwound.
    if (engineDepth_ > 0 || monitor_.busy()) {
        exitRequested_ = true;
        event->ignore();
        return;
    }
    ended_ = true;
    FormDestroy();
    event->accept();
    emit closed();
}

void TForm1::contextMenuEvent(QContextMenuEvent* event) {
    ui_.PopupMenu1->popup(event->globalPos());
}

} // namespace trellisk
