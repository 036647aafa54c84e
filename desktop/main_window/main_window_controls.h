#pragma once

#include "desktop/main_window/folder_table.h"
#include "desktop/main_window/pick_list.h"

class QAction;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QMainWindow;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QWidget;

namespace trellisk {

// The main window's controls and menus, built at their places; each carries its name as
// objectName. The window's handlers and the folder editing reach the controls through here.
struct MainWindowControls {
    QWidget* client = nullptr;

    QLabel* statusLabel = nullptr; // status line
    QGroupBox* foldersGroup = nullptr;
    FolderTable* folderTable = nullptr;

    QGroupBox* folderDetails = nullptr; // folder details, disabled at start
    QLabel* detailsFolderLabel = nullptr;
    QGroupBox* subfolderGroup = nullptr;
    QButtonGroup* subfolderChoice = nullptr; // ids 0 "する", 1 "しない"
    QRadioButton* subfolderYes = nullptr;
    QRadioButton* subfolderNo = nullptr;
    QGroupBox* depthGroup = nullptr;
    QSpinBox* depthField = nullptr; // stepped by its spin buttons and the arrow keys only
    QPushButton* detailsOkButton = nullptr;
    QPushButton* detailsCancelButton = nullptr;

    QGroupBox* settingsGroup = nullptr; // settings
    QLabel* intervalLabel = nullptr;
    QSpinBox* intervalField = nullptr; // typed, or stepped by its spin buttons
    QCheckBox* clearBaseAtStartBox = nullptr;
    QLabel* baseTimeLabel = nullptr; // time of the comparison base

    QLabel* fileManagerLabel = nullptr;
    PickList* fileManagerFolders = nullptr;

    QMenuBar* mainMenu = nullptr;
    QMenu* monitorMenu = nullptr; // "モニター"
    QAction* startAction = nullptr;
    QAction* stopAction = nullptr;
    QMenu* folderMenu = nullptr;
    QAction* addFolderAction = nullptr;
    QAction* removeFolderAction = nullptr;
    QAction* collectFoldersAction = nullptr;
    QMenu* logMenu = nullptr;
    QAction* saveLogAction = nullptr;
    QAction* clearLogAction = nullptr;
    QAction* aboutAction = nullptr;

    QMenu* trayMenu = nullptr; // the tray menu, also the windows' context menu
    QAction* toggleMainWindowAction = nullptr;
    QAction* toggleLogWindowAction = nullptr;
    QAction* trayStartAction = nullptr;
    QAction* trayStopAction = nullptr;
    QAction* exitAction = nullptr;

    void setupUi(QMainWindow& window);
};

} // namespace trellisk
