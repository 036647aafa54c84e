#include "engine/monitor/monitor.h"

#include "engine/platform/file_system.h"

#include <algorithm>
#include <tuple>

namespace trellisk {

namespace {

int Percent(std::size_t done, std::size_t total) {
    return total == 0 ? 0 : static_cast<int>(done * 100 / total);
}

} // namespace

// A stop during the listing drops the partial snapshot and keeps the base, so that the next
// start compares with it again and nothing is lost or reported twice. Once the listing is
// complete, the comparison (in memory) finishes and the base is rolled: nothing is half
// applied. Only the checks of the files the tables keep are left out then.
Monitor::JobResult Monitor::runCycle(JobReporter& report, CycleJob job) {
    JobResult result;
    result.snapshotTime = job.snapshotTime;
    try {
        reportFreeSpace(report);
        if (!scanFolders(report, job.folders)) {
            releaseSnapshot();
            result.outcome = Outcome::Stopped;
            return result;
        }
        cycleFiles_.clear();
        compareDirectories(report);
        reportNewAndDeletedDirectories(report);
        std::vector<FileToCheck> files = std::move(job.files);
        files.insert(files.end(), cycleFiles_.begin(), cycleFiles_.end());
        report.tell([checks = checkFiles(report, std::move(files))](MonitorListener& listener) {
            listener.filesChecked(checks);
        });
        report.progress(JobPhase::Finishing, {}, std::nullopt);
        rollComparisonBase();
    } catch (...) {
        releaseSnapshot();
        throw;
    }
    result.summary.compared = true;
    result.summary.duration =
        std::chrono::duration_cast<std::chrono::seconds>(clock_.monotonic() - job.started);
    return result;
}

void Monitor::finishCycle(const JobResult& result, bool stopped) {
    if (result.summary.compared)
        baseTime_ = result.snapshotTime;
    listener_.cycleFinished(result.summary);
    if (result.outcome == Outcome::Failed) {
        // The base may not match what was reported: monitoring stops and says why instead of
        // comparing with it again.
        if (!stopped)
            showStopped();
        state_ = State::Stopped;
        frontEnd_.setMonitorMenuEnabled(true);
        frontEnd_.showMessage(result.error);
        return;
    }
    if (stopped) {
        // A stop during the cycle keeps the timer off and the stopped picture.
        state_ = State::Stopped;
    } else {
        frontEnd_.setTrayPicture(TrayPicture::Monitoring);
        state_ = State::Waiting;
        frontEnd_.setTimerEnabled(true);
    }
    frontEnd_.setMonitorMenuEnabled(true);
}

bool Monitor::scanFolders(JobReporter& report, const std::vector<FolderEntry>& folders) {
    report.progress(JobPhase::Listing, {}, std::nullopt);
    scanner_.beginSnapshot(&baseDirs_, &baseFiles_);
    const FolderScanner::Progress untilStopped = [&] { return !report.stopRequested(); };
    for (std::size_t q = 0; q < folders.size(); ++q) {
        if (!scanner_.scanFolder(folders[q], snapshotDirs_, snapshotFiles_, untilStopped))
            return false;
        report.progress(JobPhase::Listing, {}, Percent(q + 1, folders.size()));
    }
    return true;
}

void Monitor::releaseSnapshot() {
    snapshotDirs_ = DirIndex();
    snapshotFiles_ = FileTable();
}

void Monitor::compareDirectories(JobReporter& report) {
    const std::size_t directories = snapshotDirs_.count();
    report.progress(JobPhase::Comparing, {}, std::nullopt);
    baseDirPaired_.assign(baseDirs_.count(), 0);
    std::string watchedFolder;
    for (std::size_t q = 0; q < directories; ++q) {
        snapshotDirs_.pathInto(q, dirPath_);
        DirRow& current = snapshotDirs_[q];
        if (current.watchedFolder)
            watchedFolder = dirPath_;
        const std::optional<std::size_t> paired = findBaseDir(dirPath_);
        if (paired) {
            const DirRow& base = baseDirs_[*paired];
            const auto run = [](const FileTable& table, const DirRow& row) {
                return table.run(row.firstFile, row.fileCount);
            };
            classifier_.classify(watchedFolder, dirPath_, run(snapshotFiles_, current),
                                 run(baseFiles_, base), findings_);
            baseDirPaired_[*paired] = 1;
            current.mark = true;
        }
        // Said once, when the directory turns unreadable; its files are kept meanwhile.
        if (current.unreadable && !(paired && baseDirs_[*paired].unreadable))
            directoryFinding(FindingKind::Unreadable, watchedFolder, dirPath_);
        for (const Finding& finding : findings_) {
            if (finding.kind == FindingKind::New || finding.kind == FindingKind::Updated)
                cycleFiles_.push_back({finding.directory, finding.name, true});
        }
        report.found(findings_);
        report.progress(JobPhase::Comparing, dirPath_, Percent(q + 1, directories));
    }
}

std::optional<std::size_t> Monitor::findBaseDir(std::string_view dir) {
    return scanner_.basePaths().find(dir, basePath_,
                                     [&](std::size_t row) { return !baseDirPaired_[row]; });
}

void Monitor::reportNewAndDeletedDirectories(JobReporter& report) {
    std::string watchedFolder;
    for (std::size_t row = 0; row < snapshotDirs_.count(); ++row) {
        if (snapshotDirs_[row].watchedFolder)
            watchedFolder = snapshotDirs_.path(row);
        if (!snapshotDirs_[row].mark)
            directoryFinding(FindingKind::FolderNew, watchedFolder, snapshotDirs_.path(row));
    }
    for (std::size_t row = 0; row < baseDirs_.count(); ++row) {
        if (baseDirs_[row].watchedFolder)
            watchedFolder = baseDirs_.path(row);
        if (!baseDirPaired_[row])
            directoryFinding(FindingKind::FolderDeleted, watchedFolder, baseDirs_.path(row));
    }
    report.found(findings_);
}

void Monitor::directoryFinding(FindingKind kind, const std::string& watchedFolder,
                               const std::string& dir) {
    Finding finding;
    finding.kind = kind;
    finding.watchedFolder = watchedFolder;
    finding.directory = dir;
    finding.detected = clock_.now();
    findings_.push_back(std::move(finding));
}

// Each file once; a stop leaves the rest unchecked, and their rows as they are.
std::vector<FileCheck> Monitor::checkFiles(const JobReporter& report,
                                           std::vector<FileToCheck> files) {
    const auto key = [](const FileToCheck& file) { return std::tie(file.directory, file.name); };
    // By file, the one that asks for the open test first.
    std::sort(files.begin(), files.end(), [&](const FileToCheck& a, const FileToCheck& b) {
        return key(a) < key(b) || (key(a) == key(b) && a.openTest > b.openTest);
    });
    files.erase(std::unique(files.begin(), files.end(),
                            [&](const auto& a, const auto& b) { return key(a) == key(b); }),
                files.end());
    std::vector<FileCheck> checks;
    checks.reserve(files.size());
    std::string path;
    for (FileToCheck& file : files) {
        if (report.stopRequested())
            break;
        path.assign(file.directory).append(file.name);
        FileCheck& check = checks.emplace_back();
        check.exists = platform::FileExists(path);
        check.complete = check.exists && file.openTest && platform::CanOpenFile(path);
        check.directory = std::move(file.directory);
        check.name = std::move(file.name);
    }
    return checks;
}

void Monitor::rollComparisonBase() {
    // The new snapshot becomes the base by handing the tables over; the old base's memory is
    // kept for the next snapshot.
    std::swap(baseFiles_, snapshotFiles_);
    std::swap(baseDirs_, snapshotDirs_);
    baseDirs_.clearMarks();
    snapshotFiles_.clear();
    snapshotDirs_.clear();
}

} // namespace trellisk
