#pragma once

#include "desktop/main_window/main_window_controls.h"
#include "engine/settings/folder_list.h"

#include <QMainWindow>
#include <QTimer>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

class TForm2;

namespace trellisk {

class Clock;
class Dialogs;
class FolderTableModel;
class LogData;
class Monitor;
class TForm3;
class TrayIcon;
struct Settings;

// The main window: the folder table, the settings, the main menu and the status line. Its
// handlers are short calls into the monitoring engine.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Adds the tray icon when the desktop has a tray, then loads the settings file. The log
    // menu works on `log`; the clock names saved logs.
    TForm1(Settings& settings, Monitor& monitor, LogData& log, const Clock& clock, Dialogs& dialogs,
           std::string settingsFileName, bool trayAvailable, QWidget* parent = nullptr);
    ~TForm1() override;

    // The log window and the About window are created after this one.
    void attachForms(TForm2& log, TForm3& about);

    [[nodiscard]] const TForm1Controls& controls() const { return ui_; }
    [[nodiscard]] QTimer& Timer1() { return timer1_; }
    // Null where the desktop has no tray.
    [[nodiscard]] TrayIcon* trayIcon() const { return tray_.get(); }
    [[nodiscard]] Dialogs& dialogs() const { return dialogs_; }
    [[nodiscard]] TForm2* logWindow() const { return log_; }

signals:
    // The window has closed for good and the settings are saved: the program ends.
    void closed();

public slots:
    void N2Click();
    void N3Click();
    void N6Click();
    void Delete1Click();
    void N7Click();
    void Save1Click();
    void N5Click();
    void About1Click();
    void N9Click();
    void N10Click();
    void N11Click();
    void Exit1Click();
    void Exit2Click();
    void Timer1Timer();
    void restartclearcboxClick();
    void ListView1DblClick();
    void RadioGroup1Click();
    void Button1Click();
    void Button2Click();
    void ListBox2Click();
    void FormActivate();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void loadSettings();
    void FormDestroy();
    // Shows "モニター中です" while monitoring: the folder table must not change then.
    [[nodiscard]] bool refusedWhileMonitoring();
    [[nodiscard]] std::optional<std::size_t> selectedFolderRow() const;
    void closeFolderDetails();
    // Runs a call into the engine that may pump events; an exit asked for meanwhile is
    // carried out once the outermost such call has returned.
    template <class Call> void runEngine(Call&& call);

    Settings& settings_;
    Monitor& monitor_;
    LogData& logData_;
    const Clock& clock_;
    Dialogs& dialogs_;
    const std::string settingsFileName_;
    TForm1Controls ui_;
    EditedFolderRow selfol_;
    FolderTableModel* folderModel_ = nullptr;
    QTimer timer1_;
    std::unique_ptr<TrayIcon> tray_;
    TForm2* log_ = nullptr;
    TForm3* about_ = nullptr;
    int engineDepth_ = 0;
    bool exitRequested_ = false;
    bool ended_ = false;
    bool placed_ = false;
};

} // namespace trellisk
