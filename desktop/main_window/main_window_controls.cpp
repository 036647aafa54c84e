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

// A number field whose text cannot be typed into; its spin buttons and the arrow keys step
// it. The field and its buttons sit where the field and the spin control were placed.
QSpinBox* MakeNumberField(QWidget* parent, const char* name, int minimum, int maximum, int value,
                          QRect place) {
    auto* field = Make<QSpinBox>(parent, name);
    field->setRange(minimum, maximum);
    field->setValue(value);
    field->setWrapping(false);
    field->setGeometry(place);
    if (auto* edit = field->findChild<QLineEdit*>())
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

void TForm1Controls::setupUi(QMainWindow& window) {
    client = Make<QWidget>(&window, "client");
    client->setFixedSize(kClientWidth, kClientHeight);
    // Group titles sit on the frame line, so that controls placed just below a title are
    // clear of it.
    client->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 6px; padding: 0px 2px; }"));
    window.setCentralWidget(client);

    Label3 = MakeLabel(client, "Label3", QStringLiteral("状態：停止中"), 8, 8);
    Label3->setFont(UiFont(16));
    Label3->setGeometry(8, 8, std::max(88, Label3->sizeHint().width()), 16);
    SetCaptionTextBackground(*Label3);

    GroupBox1 = MakeGroup(client, "GroupBox1", QStringLiteral("監視フォルダ"), {8, 32, 377, 129});
    ListView1 = Make<QTableView>(GroupBox1, "ListView1");
    ListView1->setGeometry(8, 32, 361, 89);
    ListView1->setShowGrid(true);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setWordWrap(false);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 2);
    ListView1->horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
    ListView1->setAccessibleName(GroupBox1->title());

    GroupBox4 = MakeGroup(client, "GroupBox4", QStringLiteral("フォルダ詳細"), {8, 168, 169, 137});
    GroupBox4->setEnabled(false);
    Label7 = MakeLabel(GroupBox4, "Label7", QString(), 8, 16);
    Label7->resize(153, 16);
    RadioGroup1 = MakeGroup(GroupBox4, "RadioGroup1", QStringLiteral("サブ監視"), {8, 40, 81, 57});
    RadioGroup1Yes = Make<QRadioButton>(RadioGroup1, "RadioGroup1Yes");
    RadioGroup1Yes->setText(QStringLiteral("する"));
    RadioGroup1Yes->setGeometry(8, 16, 65, 17);
    RadioGroup1No = Make<QRadioButton>(RadioGroup1, "RadioGroup1No");
    RadioGroup1No->setText(QStringLiteral("しない"));
    RadioGroup1No->setGeometry(8, 34, 65, 17);
    RadioGroup1Items = new QButtonGroup(RadioGroup1);
    RadioGroup1Items->addButton(RadioGroup1Yes, 0);
    RadioGroup1Items->addButton(RadioGroup1No, 1);
    RadioGroup1No->setChecked(true);
    GroupBox3 = MakeGroup(GroupBox4, "GroupBox3", QStringLiteral("階層数"), {96, 40, 65, 57});
    Edit2 = MakeNumberField(GroupBox3, "Edit2", 0, 100, 1, {8, 16, 48, 20});
    Edit2->setAccessibleName(GroupBox3->title());
    Button1 = Make<QPushButton>(GroupBox4, "Button1");
    Button1->setText(QStringLiteral("OK"));
    Button1->setGeometry(16, 104, 49, 25);
    Button2 = Make<QPushButton>(GroupBox4, "Button2");
    Button2->setText(QStringLiteral("キャンセル"));
    Button2->setGeometry(80, 104, 65, 25);

    GroupBox2 = MakeGroup(client, "GroupBox2", QStringLiteral("設定"), {184, 168, 185, 81});
    Label2 = MakeLabel(GroupBox2, "Label2", QStringLiteral("監視間隔（秒）"), 8, 18);
    Edit1 = MakeNumberField(GroupBox2, "Edit1", 1, 3600, 3, {88, 16, 48, 20});
    Edit1->setAccessibleName(Label2->text());
    Label2->setBuddy(Edit1);
    restartclearcbox = Make<QCheckBox>(GroupBox2, "restartclearcbox");
    restartclearcbox->setText(QStringLiteral("開始時に比較元をクリアする"));
    restartclearcbox->setGeometry(8, 37, std::max(169, restartclearcbox->sizeHint().width()), 17);
    Label4 = Make<QLabel>(GroupBox2, "Label4");
    // Up to the group's inner edge: a base time with its prefix is wider in the fallback
    // font than in the one the place was chosen for.
    Label4->setGeometry(8, 56, GroupBox2->width() - 10,
                        std::max(12, Label4->fontMetrics().height()));
    SetCaptionTextBackground(*Label4);

    Label1 = MakeLabel(client, "Label1", QStringLiteral("エクスプローラから取得"), 184, 256);
    ListBox2 = Make<PickList>(client, "ListBox2");
    ListBox2->setGeometry(184, 272, 169, 41);
    ListBox2->setToolTip(
        QStringLiteral("ツール-フォルダオプション-表示-タイトルバーにファイルのフル"
                       "パス名を表示するをオンにしてください。"));
    ListBox2->setAccessibleName(Label1->text());

    MainMenu1 = Make<QMenuBar>(&window, "MainMenu1");
    window.setMenuBar(MainMenu1);
    N1 = MakeMenu(MainMenu1, "N1", QStringLiteral("モニター"));
    N2 = MakeAction(N1, "N2", QStringLiteral("開始"));
    N3 = MakeAction(N1, "N3", QStringLiteral("停止"));
    FolderMenu = MakeMenu(MainMenu1, "FolderMenu", QStringLiteral("フォルダ"));
    N6 = MakeAction(FolderMenu, "N6", QStringLiteral("追加"));
    Delete1 = MakeAction(FolderMenu, "Delete1", QStringLiteral("削除"));
    N7 = MakeAction(FolderMenu, "N7", QStringLiteral("エクスプローラから取得"));
    LogMenu = MakeMenu(MainMenu1, "LogMenu", QStringLiteral("ログ"));
    Save1 = MakeAction(LogMenu, "Save1", QStringLiteral("保存"));
    N5 = MakeAction(LogMenu, "N5", QStringLiteral("消去"));
    About1 = MainMenu1->addAction(QStringLiteral("バージョン情報"));
    About1->setObjectName(QStringLiteral("About1"));

    PopupMenu1 = Make<QMenu>(&window, "PopupMenu1");
    N9 = MakeAction(PopupMenu1, "N9", QStringLiteral("メインフォーム表示切替"));
    N10 = MakeAction(PopupMenu1, "N10", QStringLiteral("ログフォーム表示切替"));
    N11 = MakeAction(PopupMenu1, "N11", QStringLiteral("開始"));
    Exit1 = MakeAction(PopupMenu1, "Exit1", QStringLiteral("停止"));
    Exit2 = MakeAction(PopupMenu1, "Exit2", QStringLiteral("終了"));
}

} // namespace trellisk
