#pragma once

#include "desktop/main_window/main_window_controls.h"
#include "engine/settings/folder_list.h"
#include "engine/settings/settings_file.h"

#include <QMainWindow>
#include <QTimer>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

class LogWindow;

namespace trellisk {

class Clock;
class Dialogs;
class FolderTableModel;
class LogData;
class Monitor;
class AboutWindow;
class TrayIcon;
struct Settings;

// The main window: the folder table, the settings, the main menu and the status line. Its
// handlers are short calls into the monitoring engine.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Adds the tray icon when the desktop has a tray, then loads the settings file. The log
    // menu works on `log`; the clock names saved logs.
    MainWindow(Settings& settings, Monitor& monitor, LogData& log, const Clock& clock,
               Dialogs& dialogs, std::string settingsFileName, bool trayAvailable,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Adds the tray icon when a tray has appeared, removes it when the tray has gone; with the
    // tray gone and no window visible, shows the main window.
    void setTrayAvailable(bool available);

    // The log window and the About window are created after this one.
    void attachWindows(LogWindow& log, AboutWindow& about);

    [[nodiscard]] const MainWindowControls& controls() const { return ui_; }
    [[nodiscard]] QTimer& cycleTimer() { return cycleTimer_; }
    // Null where the desktop has no tray.
    [[nodiscard]] TrayIcon* trayIcon() const { return tray_.get(); }
    [[nodiscard]] Dialogs& dialogs() const { return dialogs_; }
    [[nodiscard]] LogWindow* logWindow() const { return log_; }

signals:
    // The window has closed for good and the settings are saved: the program ends.
    void closed();

public slots:
    void startMonitoring();
    void stopMonitoring();
    void addFolder();
    void removeFolder();
    void collectFileManagerFolders();
    void saveLog();
    void clearLog();
    void showAbout();
    void toggleMainWindow();
    void toggleLogWindow();
    void startFromTray();
    void stopFromTray();
    // Ends the program whatever is open: monitoring stops, open boxes and dialogs close, the
    // settings are saved. A failure to save them is shown in a box, and the program ends when
    // it is dismissed.
    void exitProgram();
    // Ends as exitProgram does, for a termination signal, without waiting for anybody: a
    // failure to save the settings is reported on standard error and in the system log
    // instead of in a box.
    void endBySignal();
    void runCycle();
    void clearBaseAtStartToggled();
    void openFolderDetails();
    void subfolderChoiceClicked();
    void applyFolderDetails();
    void cancelFolderDetails();
    void addPickedFolder();
    void refreshBaseTime();
    // Shows the main window restored from the minimised state, raised and active.
    void bringToFront();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    enum class SaveErrorsTo { Box, SystemLog };

    void loadSettings();
    void end(SaveErrorsTo saveErrorsTo);
    // Shows "モニター中です" while monitoring: the folder table must not change then.
    [[nodiscard]] bool refusedWhileMonitoring();
    // Shows why a folder that the settings file cannot keep is not added.
    [[nodiscard]] bool refusedAsUnstorable(const std::string& folder);
    [[nodiscard]] std::optional<std::size_t> selectedFolderRow() const;
    void closeFolderDetails();
    // Whether the program may hide `window` (this one or the log window): only with a tray,
    // or while the other window is visible.
    [[nodiscard]] bool mayHide(const QWidget& window) const;

    Settings& settings_;
    Monitor& monitor_;
    LogData& logData_;
    const Clock& clock_;
    Dialogs& dialogs_;
    SettingsFile settingsFile_;
    MainWindowControls ui_;
    EditedFolderRow editedRow_;
    FolderTableModel* folderModel_ = nullptr;
    QTimer cycleTimer_;
    std::unique_ptr<TrayIcon> tray_;
    LogWindow* log_ = nullptr;
    AboutWindow* about_ = nullptr;
    bool placed_ = false;
};

} // namespace trellisk
