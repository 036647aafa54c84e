#pragma once

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
class QTableView;
class QWidget;

namespace trellisk {

// The main window's controls and menus, built at their places; each carries its name as
// objectName. The window's handlers and the folder editing reach the controls through here.
struct TForm1Controls {
    QWidget* client = nullptr;

    QLabel* Label3 = nullptr; // status line
    QGroupBox* GroupBox1 = nullptr;
    QTableView* ListView1 = nullptr;

    QGroupBox* GroupBox4 = nullptr; // folder details, disabled at start
    QLabel* Label7 = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* RadioGroup1Items = nullptr; // ids 0 "する", 1 "しない"
    QRadioButton* RadioGroup1Yes = nullptr;
    QRadioButton* RadioGroup1No = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    QSpinBox* Edit2 = nullptr; // with its spin buttons UpDown2
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

    QGroupBox* GroupBox2 = nullptr; // settings
    QLabel* Label2 = nullptr;
    QSpinBox* Edit1 = nullptr; // with its spin buttons UpDown1
    QCheckBox* restartclearcbox = nullptr;
    QLabel* Label4 = nullptr; // time of the comparison base

    QLabel* Label1 = nullptr;
    PickList* ListBox2 = nullptr;

    QMenuBar* MainMenu1 = nullptr;
    QMenu* N1 = nullptr; // "モニター"
    QAction* N2 = nullptr;
    QAction* N3 = nullptr;
    QMenu* FolderMenu = nullptr;
    QAction* N6 = nullptr;
    QAction* Delete1 = nullptr;
    QAction* N7 = nullptr;
    QMenu* LogMenu = nullptr;
    QAction* Save1 = nullptr;
    QAction* N5 = nullptr;
    QAction* About1 = nullptr;

    QMenu* PopupMenu1 = nullptr; // the tray menu, also the windows' context menu
    QAction* N9 = nullptr;
    QAction* N10 = nullptr;
    QAction* N11 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* Exit2 = nullptr;

    void setupUi(QMainWindow& window);
};

} // namespace trellisk
