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
class TForm2 : public QWidget, private trellisk::StatusObserver {
    Q_OBJECT
public:
    explicit TForm2(trellisk::LogData& log, QWidget* parent = nullptr);
    ~TForm2() override;

    // The menu opened by a right click anywhere in the window (the main window's tray menu).
    void setPopupMenu(QMenu* menu);
    // Time of the comparison base's snapshot as the window shows it.
    [[nodiscard]] QString baseTimeText() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void FormShow();
    void statusChanged() override;
    void showFreeSpace(const std::vector<std::string>& lines);

    QLabel* addLabel(const char* name, QRect geometry, const char* caption = "");
    QLabel* addValue(const char* name, QRect geometry, const QLabel* caption);
    QTableView* addTable(const char* name, const char* tab, trellisk::TableModel* model);

    trellisk::LogData& log_;
    QPointer<QMenu> popupMenu_;

    QLabel* Label4 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* updateno = nullptr;
    QLabel* newno = nullptr;
    QLabel* delno = nullptr;
    QLabel* renameno = nullptr;
    QListWidget* akiListBox = nullptr;
    QLabel* Label11 = nullptr;
    QLabel* Label9 = nullptr;
    QProgressBar* Gauge1 = nullptr;
    QLabel* lines = nullptr;
    QTabWidget* PageControl1 = nullptr;
};
