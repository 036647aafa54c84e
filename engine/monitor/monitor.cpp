#include "engine/monitor/monitor.h"

#include "engine/monitor/busy_scope.h"
#include "engine/platform/file_system.h"
#include "engine/snapshot/folder_scan.h"
#include "engine/text/text_helpers.h"

#include <algorithm>

namespace trellisk {

namespace {

constexpr auto kBaselineQuestionAfter = std::chrono::seconds(15);

std::string BaselineQuestion(std::size_t folders) {
    return "フォルダ(" + std::to_string(folders) +
           "コ)内全ファイル情報の取得に15秒以上かかります。処理を中止しますか？\n"
           "はいをクリックすることを強く推奨します。";
}

} // namespace

Monitor::Monitor(Settings& settings, LogData& log, WindowInterface& window, const Clock& clock)
    : settings_(settings), log_(log), window_(window), clock_(clock),
      classifier_(log, settings, window, clock) {}

void Monitor::startMonitoring() {
    if (monitoring_)
        return;
    if (busy_) {
        // A stop came while a cycle pumped events; the start waits until the cycle is over,
        // so that the baseline never replaces tables the cycle is still reading.
        startPending_ = true;
        return;
    }
    if (settings_.folders.empty()) {
        window_.showMessage(kNoFolderMessage);
        return;
    }
    {
        const BusyScope busy(busy_);
        window_.showLogWindow();
        log_.changeStatus([](LogStatus& status) {
            status.drives.clear();
            status.freeSpaceLines.clear();
        });
        monitoring_ = true;
        window_.setTrayPicture(TrayPicture::Monitoring);
        const MonotonicTime started = clock_.monotonic();
        window_.pump();
        // Stopped during the pump: a start chosen after that stop is still pending below.
        if (monitoring_) {
            rebuildDriveList();
            window_.setStatusText(kStatusMonitoring);
            const bool needBaseline = settings_.clearBaseAtStart || baseDirs_.empty();
            try {
                if (!needBaseline || takeBaseline(started)) {
                    window_.setTrayPicture(TrayPicture::Monitoring);
                    window_.setTimerEnabled(true);
                }
            } catch (const std::exception& error) {
                // Out of memory and the like: no half-taken base is kept, and monitoring
                // stops saying why.
                baseDirs_ = DirIndex();
                baseFiles_ = FileTable();
                log_.changeStatus([](LogStatus& status) { status.drives.clear(); });
                stopMonitoring();
                window_.showMessage(error.what());
            }
        }
    }
    runPendingStart();
}

void Monitor::stopMonitoring() {
    if (!monitoring_) {
        startPending_ = false;
        return;
    }
    monitoring_ = false;
    window_.setTrayPicture(TrayPicture::Stopped);
    window_.setStatusText(kStatusStopped);
    window_.setTimerEnabled(false);
}

void Monitor::runPendingStart() {
    if (!startPending_)
        return;
    startPending_ = false;
    startMonitoring();
}

void Monitor::rebuildDriveList() {
    std::vector<std::string> drives;
    for (const FolderEntry& entry : settings_.folders) {
        std::string mountPoint = platform::MountPointOf(entry.path);
        // A network path (Windows "\\server\share\") lies on no drive.
        if (!mountPoint.empty() &&
            std::find(drives.begin(), drives.end(), mountPoint) == drives.end())
            drives.push_back(std::move(mountPoint));
    }
    log_.changeStatus([&](LogStatus& status) { status.drives = std::move(drives); });
}

void Monitor::showFreeSpace() {
    std::vector<std::string> lines;
    for (const std::string& drive : log_.status().drives)
        lines.push_back(drive + "ドライブ " + FormatThousands(platform::FreeSpace(drive)));
    log_.changeStatus([&](LogStatus& status) { status.freeSpaceLines = std::move(lines); });
}

// Returns true when the base is complete; false when the user gave it up or stopped.
bool Monitor::takeBaseline(MonotonicTime started) {
    settings_.clearBaseAtStart = false;
    window_.setClearBaseAtStart(false);
    window_.setTrayPicture(TrayPicture::Busy);
    log_.changeStatus([&](LogStatus& status) { status.baseTime = DateTimeText(clock_.now()); });
    baseDirs_.clear();
    baseFiles_.clear();

    // The question is asked between directories once the scan has run for a while; the
    // real clock only spaces out the looks at the monitoring clock.
    constexpr auto kQuestionSpacing = std::chrono::seconds(1);
    auto nextLook = std::chrono::steady_clock::now() + kQuestionSpacing;
    bool gaveUp = false;
    const FolderScanner::Progress keepAliveAndAsk = [&] {
        window_.keepAlive();
        if (std::chrono::steady_clock::now() < nextLook)
            return true;
        nextLook = std::chrono::steady_clock::now() + kQuestionSpacing;
        gaveUp = monitoring_ && askToGiveUp(started);
        // A stop chosen while the question was open ends the baseline too.
        return !gaveUp && monitoring_;
    };
    // A copy, as in the cycle.
    const std::vector<FolderEntry> folders(settings_.folders.begin(), settings_.folders.end());
    scanner_.beginSnapshot(nullptr, nullptr);
    bool listed = true;
    for (const FolderEntry& entry : folders) {
        listed = scanner_.scanFolder(entry, baseDirs_, baseFiles_, keepAliveAndAsk);
        if (!listed)
            break;
    }
    showFreeSpace();
    // Then before every directory of the base, as long as the baseline has taken too long.
    for (std::size_t row = 0; listed && row < baseDirs_.count(); ++row) {
        gaveUp = monitoring_ && askToGiveUp(started);
        listed = !gaveUp && monitoring_;
    }
    if (listed && monitoring_)
        return true;
    if (gaveUp) {
        giveUpBaseline();
    } else {
        // Stopped half way: a partial base would report the unlisted files as new.
        baseDirs_.clear();
        baseFiles_.clear();
        log_.changeStatus([](LogStatus& status) { status.drives.clear(); });
    }
    return false;
}

bool Monitor::askToGiveUp(MonotonicTime started) {
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(clock_.monotonic() - started);
    if (elapsed <= kBaselineQuestionAfter)
        return false;
    return window_.askYesNo(BaselineQuestion(baseDirs_.count()));
}

void Monitor::giveUpBaseline() {
    window_.setTimerEnabled(false);
    window_.setStatusText(kStatusStopped);
    baseFiles_.clear();
    baseDirs_.clear();
    monitoring_ = false;
    window_.setTrayPicture(TrayPicture::Stopped);
    window_.showMainWindow();
    log_.changeStatus([](LogStatus& status) { status.drives.clear(); });
}

} // namespace trellisk
