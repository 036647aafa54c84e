#include "desktop/main_window/main_window.h"

#include "desktop/about/about_window.h"
#include "desktop/appearance/appearance.h"
#include "desktop/appearance/tray_pictures.h"
#include "desktop/dialogs/dialogs.h"
#include "desktop/log_window/log_window.h"
#include "desktop/models/folder_table_model.h"
#include "desktop/platform/file_manager_bus.h"
#include "desktop/platform/window_titles.h"
#include "desktop/tray/tray_icon.h"
#include "engine/log/log_export.h"
#include "engine/monitor/monitor.h"
#include "engine/platform/clock.h"
#include "engine/platform/system_log.h"
#include "engine/settings/folder_import.h"
#include "engine/settings/settings_file.h"
#include "engine/settings/settings_location.h"

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

MainWindow::MainWindow(Settings& settings, Monitor& monitor, LogData& log, const Clock& clock,
                       Dialogs& dialogs, std::string settingsFileName, bool trayAvailable,
                       QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      settings_(settings), monitor_(monitor), logData_(log), clock_(clock), dialogs_(dialogs),
      settingsFile_(std::move(settingsFileName)), editedRow_(settings.folders) {
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Trellisk"));
    setWindowIcon(ProgramIcon());
    ui_.setupUi(*this);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    folderModel_ = new FolderTableModel(settings_.folders, this);
    ui_.folderTable->setModel(folderModel_);
    ui_.folderTable->setColumnWidth(FolderTableModel::kFolderName, 200);
    ui_.folderTable->setColumnWidth(FolderTableModel::kSubMonitor, 70);
    connect(folderModel_, &FolderTableModel::scrollRequested, this,
            [this](int row) { ui_.folderTable->scrollTo(folderModel_->index(row, 0)); });

    cycleTimer_.setObjectName(QStringLiteral("cycleTimer"));
    cycleTimer_.setSingleShot(false);
    connect(&cycleTimer_, &QTimer::timeout, this, &MainWindow::runCycle);

    connect(ui_.startAction, &QAction::triggered, this, &MainWindow::startMonitoring);
    connect(ui_.stopAction, &QAction::triggered, this, &MainWindow::stopMonitoring);
    connect(ui_.addFolderAction, &QAction::triggered, this, &MainWindow::addFolder);
    connect(ui_.removeFolderAction, &QAction::triggered, this, &MainWindow::removeFolder);
    connect(ui_.collectFoldersAction, &QAction::triggered, this,
            &MainWindow::collectFileManagerFolders);
    connect(ui_.saveLogAction, &QAction::triggered, this, &MainWindow::saveLog);
    connect(ui_.clearLogAction, &QAction::triggered, this, &MainWindow::clearLog);
    connect(ui_.aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
    connect(ui_.toggleMainWindowAction, &QAction::triggered, this, &MainWindow::toggleMainWindow);
    connect(ui_.toggleLogWindowAction, &QAction::triggered, this, &MainWindow::toggleLogWindow);
    connect(ui_.trayStartAction, &QAction::triggered, this, &MainWindow::startFromTray);
    connect(ui_.trayStopAction, &QAction::triggered, this, &MainWindow::stopFromTray);
    connect(ui_.exitAction, &QAction::triggered, this, &MainWindow::exitProgram);

    connect(ui_.intervalField, &QSpinBox::valueChanged, this,
            [this](int seconds) { settings_.interval = seconds; });
    connect(ui_.clearBaseAtStartBox, &QCheckBox::toggled, this, [this](bool checked) {
        settings_.clearBaseAtStart = checked;
        clearBaseAtStartToggled();
    });
    connect(ui_.folderTable, &QTableView::doubleClicked, this, &MainWindow::openFolderDetails);
    connect(ui_.folderTable, &FolderTable::enterPressed, this, [this](const QModelIndex& current) {
        // As a double-click does, the first click having selected the row.
        if (current.isValid())
            ui_.folderTable->selectRow(current.row());
        openFolderDetails();
    });
    connect(ui_.subfolderChoice, &QButtonGroup::idClicked, this,
            &MainWindow::subfolderChoiceClicked);
    connect(ui_.detailsOkButton, &QPushButton::clicked, this, &MainWindow::applyFolderDetails);
    connect(ui_.detailsCancelButton, &QPushButton::clicked, this, &MainWindow::cancelFolderDetails);
    connect(ui_.fileManagerFolders, &PickList::picked, this, &MainWindow::addPickedFolder);

    setTrayAvailable(trayAvailable);
    loadSettings();
}

MainWindow::~MainWindow() = default;

void MainWindow::setTrayAvailable(bool available) {
    if (available == (tray_ != nullptr))
        return;
    if (!available) {
        tray_.reset();
        // Nothing else could bring a hidden window back.
        if (!isVisible() && !(log_ && log_->isVisible()))
            bringToFront();
        return;
    }
    tray_ = std::make_unique<TrayIcon>(ui_.trayMenu);
    connect(tray_.get(), &TrayIcon::leftClicked, this, &MainWindow::bringToFront);
}

void MainWindow::bringToFront() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

bool MainWindow::mayHide(const QWidget& window) const {
    if (tray_)
        return true;
    const QWidget& other = &window == this ? static_cast<const QWidget&>(*log_) : *this;
    return other.isVisible();
}

void MainWindow::attachWindows(LogWindow& log, AboutWindow& about) {
    log_ = &log;
    about_ = &about;
    log_->setPopupMenu(ui_.trayMenu);
}

void MainWindow::loadSettings() {
    if (const auto error = settingsFile_.load(settings_))
        dialogs_.error(this, QString::fromStdString(*error));
    ui_.intervalField->setValue(settings_.interval);
    ui_.clearBaseAtStartBox->setChecked(settings_.clearBaseAtStart);
    cycleTimer_.setInterval(settings_.timerIntervalMs);
}

// Nothing open may hold the end up: a job of the monitor is stopped (the program's start
// waits a moment for it after the event loop), and boxes and dialogs close unanswered.
void MainWindow::end(SaveErrorsTo saveErrorsTo) {
    if (tray_)
        tray_->hide();
    monitor_.stop();
    dialogs_.closeAll();
    hide();
    if (log_)
        log_->hide();
    if (about_)
        about_->hide();
    std::optional<std::string> error = MakeSettingsDirectory(settingsFile_.fileName());
    if (!error)
        error = settingsFile_.save(settings_);
    if (!error) {
        emit closed();
        return;
    }
    // Nobody may be there to click a box at logout or kill: the program must still end.
    if (saveErrorsTo == SaveErrorsTo::SystemLog) {
        platform::ReportError(*error);
        emit closed();
        return;
    }
    dialogs_.error(nullptr, QString::fromStdString(*error), [this] { emit closed(); });
}

void MainWindow::startMonitoring() {
    // Without a tray nothing could bring a hidden main window back.
    if (tray_)
        hide();
    monitor_.start();
}

void MainWindow::stopMonitoring() {
    monitor_.stop();
}

bool MainWindow::refusedWhileMonitoring() {
    if (!monitor_.isMonitoring())
        return false;
    dialogs_.message(this, QStringLiteral("モニター中です"));
    return true;
}

std::optional<std::size_t> MainWindow::selectedFolderRow() const {
    const QModelIndexList rows = ui_.folderTable->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return std::nullopt;
    return static_cast<std::size_t>(rows.first().row());
}

// Monitoring may start while the dialog is open: the answer is refused then.
void MainWindow::addFolder() {
    if (refusedWhileMonitoring())
        return;
    dialogs_.chooseFolder(this, [this](const QString& folder) {
        if (refusedWhileMonitoring() || refusedAsUnstorable(PathBytes(folder)))
            return;
        settings_.folders.append(NewFolderEntry(PathBytes(folder)));
        ui_.clearBaseAtStartBox->setChecked(true);
    });
}

bool MainWindow::refusedAsUnstorable(const std::string& folder) {
    const std::optional<std::string> refusal = UnstorableFolderMessage(folder);
    if (refusal)
        dialogs_.message(this, QString::fromStdString(*refusal));
    return refusal.has_value();
}

void MainWindow::removeFolder() {
    if (refusedWhileMonitoring())
        return;
    if (const auto row = selectedFolderRow())
        settings_.folders.remove(*row);
    else
        dialogs_.message(this, QStringLiteral("削除するフォルダを選択してください"));
    ui_.clearBaseAtStartBox->setChecked(true);
}

// The flag and depth shown are those last used, not the row's.
void MainWindow::openFolderDetails() {
    if (refusedWhileMonitoring())
        return;
    const auto row = selectedFolderRow();
    if (!row)
        return;
    editedRow_.open(*row);
    ui_.detailsFolderLabel->setText(QString::fromStdString(settings_.folders[*row].path));
    ui_.folderDetails->setEnabled(true);
}

void MainWindow::subfolderChoiceClicked() {
    ui_.depthGroup->setEnabled(ui_.subfolderChoice->checkedId() != 1);
}

// When the edited row has been deleted meanwhile nothing is written; the details close all the
// same, their folder being gone, and the option is checked as by every "OK".
void MainWindow::applyFolderDetails() {
    if (refusedWhileMonitoring())
        return;
    editedRow_.apply(ui_.subfolderChoice->checkedId() == 0, ui_.depthField->value());
    closeFolderDetails();
    ui_.clearBaseAtStartBox->setChecked(true);
}

void MainWindow::cancelFolderDetails() {
    closeFolderDetails();
}

void MainWindow::closeFolderDetails() {
    ui_.folderDetails->setEnabled(false);
    ui_.detailsFolderLabel->clear();
}

void MainWindow::collectFileManagerFolders() {
    if (refusedWhileMonitoring())
        return;
    ui_.fileManagerFolders->clear();
    for (const std::string& folder :
         FolderCandidates(platform::FileManagerBusWindows(), platform::VisibleWindowTitles())) {
        auto* item = new QListWidgetItem(QString::fromStdString(folder), ui_.fileManagerFolders);
        item->setData(Qt::UserRole, QByteArray::fromStdString(folder));
    }
    ui_.clearBaseAtStartBox->setChecked(true);
}

// Not refused while monitoring: the list is what the last collection found.
void MainWindow::addPickedFolder() {
    const QListWidgetItem* item = ui_.fileManagerFolders->currentItem();
    if (item == nullptr)
        return;
    const std::string folder = item->data(Qt::UserRole).toByteArray().toStdString();
    if (refusedAsUnstorable(folder))
        return;
    settings_.folders.append(NewFolderEntry(folder));
}

// Cycles go on while the dialog is open; the tables are written as they are when it closes.
void MainWindow::saveLog() {
    dialogs_.chooseSaveFile(this, QString::fromStdString(LogFileInitialName(clock_.now())),
                            [this](const QString& base) {
                                if (const auto error = SaveLog(logData_, PathBytes(base)))
                                    dialogs_.error(this, QString::fromStdString(*error));
                            });
}

void MainWindow::clearLog() {
    ClearLog(logData_);
}

void MainWindow::showAbout() {
    about_->show();
    about_->raise();
}

// Without a tray the last visible window stays: nothing could show a window again.
void MainWindow::toggleMainWindow() {
    if (!isVisible())
        show();
    else if (mayHide(*this))
        hide();
}

void MainWindow::toggleLogWindow() {
    if (!log_->isVisible())
        log_->show();
    else if (mayHide(*log_))
        log_->hide();
}

void MainWindow::startFromTray() {
    monitor_.start();
}

void MainWindow::stopFromTray() {
    monitor_.stop();
}

void MainWindow::exitProgram() {
    end(SaveErrorsTo::Box);
}

void MainWindow::endBySignal() {
    end(SaveErrorsTo::SystemLog);
}

void MainWindow::runCycle() {
    monitor_.tick();
}

void MainWindow::clearBaseAtStartToggled() {
    ui_.baseTimeLabel->setEnabled(!ui_.clearBaseAtStartBox->isChecked());
}

void MainWindow::refreshBaseTime() {
    if (log_)
        ui_.baseTimeLabel->setText(log_->baseTimeText());
}

bool MainWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        refreshBaseTime();
    return QMainWindow::event(event);
}

void MainWindow::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        if (const QScreen* desktop = screen())
            move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, frameGeometry().size(),
                                     desktop->availableGeometry())
                     .topLeft());
    }
    QMainWindow::showEvent(event);
}

// The close box ends the program, as the tray menu's exit does.
void MainWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    end(SaveErrorsTo::Box);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    ui_.trayMenu->popup(event->globalPos());
}

} // namespace trellisk
