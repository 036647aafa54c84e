#pragma once

#include "engine/log/log_tables.h"

#include <QPointer>
#include <QWidget>

class QLabel;
class QListWidget;
class QMenu;
class QProgressBar;
class QTabWidget;
class QTableView;

namespace trellisk {
class TableModel;
}

// The log window: a view over the log, the four result tables and the status fields of
// LogData. It has no close button and ignores close requests; it is shown and hidden by the
// main window and its tray menu.
class LogWindow : public QWidget, private trellisk::StatusObserver {
    Q_OBJECT
public:
    explicit LogWindow(trellisk::LogData& log, QWidget* parent = nullptr);
    ~LogWindow() override;

    // The menu opened by a right click anywhere in the window (the main window's tray menu).
    void setPopupMenu(QMenu* menu);
    // Time of the comparison base's snapshot as the window shows it.
    [[nodiscard]] QString baseTimeText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void placeOnFirstShow();
    void statusChanged() override;
    void showFreeSpace(const std::vector<std::string>& lineCountLabel);

    QLabel* addLabel(const char* name, QRect geometry, const char* caption = "");
    QLabel* addValue(const char* name, QRect geometry, const QLabel* caption);
    QTableView* addTable(const char* name, const char* tab, trellisk::TableModel* model);

    trellisk::LogData& log_;
    QPointer<QMenu> popupMenu_;

    QLabel* snapshotTimeLabel = nullptr;
    QLabel* comparedBaseTimeLabel = nullptr;
    QLabel* updatedCountLabel = nullptr;
    QLabel* newCountLabel = nullptr;
    QLabel* deletedCountLabel = nullptr;
    QLabel* renamedCountLabel = nullptr;
    QListWidget* freeSpaceList = nullptr;
    QLabel* durationsLabel = nullptr;
    QLabel* phaseLabel = nullptr;
    QProgressBar* progressBar = nullptr;
    QLabel* lineCountLabel = nullptr;
    QTabWidget* tabs = nullptr;
};
