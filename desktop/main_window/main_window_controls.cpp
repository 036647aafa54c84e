#include "desktop/main_window/main_window_controls.h"

#include "desktop/appearance/appearance.h"

#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>

#include <algorithm>

namespace trellisk {

namespace {

constexpr int kClientWidth = 388;
constexpr int kClientHeight = 320;
constexpr int kDefaultColumnWidth = 50;

template <class Widget> Widget* Make(QWidget* parent, const char* name) {
    auto* widget = new Widget(parent);
    widget->setObjectName(QLatin1StringView(name));
    return widget;
}

// A label whose width follows its text where the font is wider than the one it was laid
// out for.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = Make<QLabel>(parent, name);
    label->setText(text);
    label->move(x, y);
    label->resize(label->sizeHint());
    return label;
}

QGroupBox* MakeGroup(QWidget* parent, const char* name, const QString& title, QRect place) {
    auto* group = Make<QGroupBox>(parent, name);
    group->setTitle(title);
    group->setGeometry(place);
    return group;
}

enum class Typing { Allowed, Refused };

// A number field with spin buttons, stepped also by the arrow keys; where typing is allowed the
// typed text is kept to the range. The field and its buttons sit where the field and the spin
// control were placed.
QSpinBox* MakeNumberField(QWidget* parent, const char* name, int minimum, int maximum, int value,
                          QRect place, Typing typing) {
    auto* field = Make<QSpinBox>(parent, name);
    field->setRange(minimum, maximum);
    field->setValue(value);
    field->setWrapping(false);
    field->setGeometry(place);
    if (auto* edit = field->findChild<QLineEdit*>(); edit && typing == Typing::Refused)
        edit->setReadOnly(true);
    return field;
}

QAction* MakeAction(QMenu* menu, const char* name, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1StringView(name));
    return action;
}

QMenu* MakeMenu(QMenuBar* bar, const char* name, const QString& title) {
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(QLatin1StringView(name));
    menu->menuAction()->setObjectName(QLatin1StringView(name) + QLatin1StringView("Action"));
    return menu;
}

} // namespace

void MainWindowControls::setupUi(QMainWindow& window) {
    client = Make<QWidget>(&window, "client");
    client->setFixedSize(kClientWidth, kClientHeight);
    // Group titles sit on the frame line, so that controls placed just below a title are
    // clear of it.
    client->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0px 2px; }"));
    window.setCentralWidget(client);

    statusLabel = MakeLabel(client, "statusLabel", QStringLiteral("状態：停止中"), 8, 8);
    statusLabel->setFont(UiFont(16));
    statusLabel->setGeometry(8, 8, std::max(88, statusLabel->sizeHint().width()), 16);
    SetCaptionTextBackground(*statusLabel);

    foldersGroup =
        MakeGroup(client, "foldersGroup", QStringLiteral("監視フォルダ"), {8, 32, 377, 129});
    folderTable = Make<FolderTable>(foldersGroup, "folderTable");
    folderTable->setGeometry(8, 32, 361, 89);
    folderTable->setShowGrid(true);
    folderTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    folderTable->setSelectionMode(QAbstractItemView::SingleSelection);
    folderTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    folderTable->setWordWrap(false);
    folderTable->verticalHeader()->hide();
    folderTable->verticalHeader()->setDefaultSectionSize(folderTable->fontMetrics().height() + 2);
    folderTable->horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
    folderTable->setAccessibleName(foldersGroup->title());

    folderDetails =
        MakeGroup(client, "folderDetails", QStringLiteral("フォルダ詳細"), {8, 168, 169, 137});
    folderDetails->setEnabled(false);
    detailsFolderLabel = MakeLabel(folderDetails, "detailsFolderLabel", QString(), 8, 16);
    detailsFolderLabel->resize(153, 16);
    subfolderGroup =
        MakeGroup(folderDetails, "subfolderGroup", QStringLiteral("サブ監視"), {8, 40, 81, 57});
    subfolderYes = Make<QRadioButton>(subfolderGroup, "subfolderYes");
    subfolderYes->setText(QStringLiteral("する"));
    subfolderYes->setGeometry(8, 16, 65, 17);
    subfolderNo = Make<QRadioButton>(subfolderGroup, "subfolderNo");
    subfolderNo->setText(QStringLiteral("しない"));
    subfolderNo->setGeometry(8, 34, 65, 17);
    subfolderChoice = new QButtonGroup(subfolderGroup);
    subfolderChoice->addButton(subfolderYes, 0);
    subfolderChoice->addButton(subfolderNo, 1);
    subfolderNo->setChecked(true);
    depthGroup = MakeGroup(folderDetails, "depthGroup", QStringLiteral("階層数"), {96, 40, 65, 57});
    depthField =
        MakeNumberField(depthGroup, "depthField", 0, 100, 1, {8, 16, 48, 20}, Typing::Refused);
    depthField->setAccessibleName(depthGroup->title());
    detailsOkButton = Make<QPushButton>(folderDetails, "detailsOkButton");
    detailsOkButton->setText(QStringLiteral("OK"));
    detailsOkButton->setGeometry(16, 104, 49, 25);
    detailsCancelButton = Make<QPushButton>(folderDetails, "detailsCancelButton");
    detailsCancelButton->setText(QStringLiteral("キャンセル"));
    detailsCancelButton->setGeometry(80, 104, 65, 25);

    settingsGroup = MakeGroup(client, "settingsGroup", QStringLiteral("設定"), {184, 168, 185, 81});
    intervalLabel =
        MakeLabel(settingsGroup, "intervalLabel", QStringLiteral("監視間隔（秒）"), 8, 18);
    intervalField = MakeNumberField(settingsGroup, "intervalField", 1, 3600, 3, {88, 16, 48, 20},
                                    Typing::Allowed);
    intervalField->setAccessibleName(intervalLabel->text());
    intervalLabel->setBuddy(intervalField);
    clearBaseAtStartBox = Make<QCheckBox>(settingsGroup, "clearBaseAtStartBox");
    clearBaseAtStartBox->setText(QStringLiteral("開始時に比較元をクリアする"));
    // Inside the group's frame: where the font is wider than the one the place was chosen for,
    // the caption is narrowed rather than run past the frame.
    const int boxRoom = settingsGroup->width() - 16;
    NarrowTextToFit(*clearBaseAtStartBox, clearBaseAtStartBox->text(),
                    boxRoom - (clearBaseAtStartBox->sizeHint().width() -
                               clearBaseAtStartBox->fontMetrics().horizontalAdvance(
                                   clearBaseAtStartBox->text())));
    clearBaseAtStartBox->setGeometry(8, 37, boxRoom, 17);
    baseTimeLabel = Make<QLabel>(settingsGroup, "baseTimeLabel");
    // Up to the group's inner edge: a base time with its prefix is wider in the fallback
    // font than in the one the place was chosen for.
    baseTimeLabel->setGeometry(8, 56, settingsGroup->width() - 10,
                               std::max(12, baseTimeLabel->fontMetrics().height()));
    SetCaptionTextBackground(*baseTimeLabel);

    fileManagerLabel =
        MakeLabel(client, "fileManagerLabel", QStringLiteral("エクスプローラから取得"), 184, 256);
    fileManagerFolders = Make<PickList>(client, "fileManagerFolders");
    fileManagerFolders->setGeometry(184, 272, 169, 41);
#ifdef Q_OS_WIN
    fileManagerFolders->setToolTip(
        QStringLiteral("ツール-フォルダオプション-表示-タイトルバーにファイルのフル"
                       "パス名を表示するをオンにしてください。"));
#else
    // The file managers whose folders can be found, and what each needs.
    fileManagerFolders->setToolTip(
        QStringLiteral("Nautilus (ファイル) の窓はそのまま取得できます。\n"
                       "Nemo と Dolphin は設定でタイトルバーにフルパスを表示するをオンに、\n"
                       "Thunar は隠し設定 misc-full-path-in-title をオンにしてください。"));
#endif
    fileManagerFolders->setAccessibleName(fileManagerLabel->text());

    mainMenu = Make<QMenuBar>(&window, "mainMenu");
    window.setMenuBar(mainMenu);
    monitorMenu = MakeMenu(mainMenu, "monitorMenu", QStringLiteral("モニター"));
    startAction = MakeAction(monitorMenu, "startAction", QStringLiteral("開始"));
    stopAction = MakeAction(monitorMenu, "stopAction", QStringLiteral("停止"));
    folderMenu = MakeMenu(mainMenu, "folderMenu", QStringLiteral("フォルダ"));
    addFolderAction = MakeAction(folderMenu, "addFolderAction", QStringLiteral("追加"));
    removeFolderAction = MakeAction(folderMenu, "removeFolderAction", QStringLiteral("削除"));
    collectFoldersAction =
        MakeAction(folderMenu, "collectFoldersAction", QStringLiteral("エクスプローラから取得"));
    logMenu = MakeMenu(mainMenu, "logMenu", QStringLiteral("ログ"));
    saveLogAction = MakeAction(logMenu, "saveLogAction", QStringLiteral("保存"));
    clearLogAction = MakeAction(logMenu, "clearLogAction", QStringLiteral("消去"));
    aboutAction = mainMenu->addAction(QStringLiteral("バージョン情報"));
    aboutAction->setObjectName(QStringLiteral("aboutAction"));

    trayMenu = Make<QMenu>(&window, "trayMenu");
    toggleMainWindowAction =
        MakeAction(trayMenu, "toggleMainWindowAction", QStringLiteral("メインフォーム表示切替"));
    toggleLogWindowAction =
        MakeAction(trayMenu, "toggleLogWindowAction", QStringLiteral("ログフォーム表示切替"));
    trayStartAction = MakeAction(trayMenu, "trayStartAction", QStringLiteral("開始"));
    trayStopAction = MakeAction(trayMenu, "trayStopAction", QStringLiteral("停止"));
    exitAction = MakeAction(trayMenu, "exitAction", QStringLiteral("終了"));
}

} // namespace trellisk
