#include "engine/log/log_recorder.h"

#include "engine/log/log_texts.h"
#include "engine/text/text_helpers.h"

#include <unordered_map>

namespace trellisk {

namespace {

constexpr std::size_t kDurationHistoryLength = 20; // ten entries of two characters

// Keeps the rows whose files are still there, and marks those that nobody writes any more.
template <class Table>
void ApplyChecks(Table& table, const std::unordered_map<std::string, const FileCheck*>& checks) {
    const auto checkOf = [&](const auto& row) -> const FileCheck* {
        const auto found = checks.find(row.folder + row.file);
        return found == checks.end() ? nullptr : found->second;
    };
    table.removeIf([&](const auto& row) {
        const FileCheck* check = checkOf(row);
        return check != nullptr && !check->exists;
    });
    for (std::size_t row = 0; row < table.count(); ++row) {
        const FileCheck* check = checkOf(table[row]);
        if (check != nullptr && check->complete && table[row].rowMarker < Marker::Complete)
            table.change(row, [](auto& changed) { changed.rowMarker = Marker::Complete; });
    }
}

template <class Table> void AddFilesToCheck(const Table& table, std::vector<FileToCheck>& files) {
    for (const auto& row : table)
        files.push_back({row.folder, row.file, row.rowMarker < Marker::Complete});
}

} // namespace

void LogRecorder::cycleStarted(std::time_t snapshotTime, std::time_t baseTime) {
    // The changed markers of the previous cycle go; the complete marker stays.
    UpdateTable& updated = log_.updatedFiles;
    for (std::size_t row = 0; row < updated.count(); ++row) {
        const UpdateRow& r = updated[row];
        if (r.rowMarker == Marker::Changed || r.sizeMarker != Marker::None ||
            r.dateMarker != Marker::None) {
            updated.change(row, [](UpdateRow& u) {
                if (u.rowMarker < Marker::Complete)
                    u.rowMarker = Marker::None;
                u.sizeMarker = Marker::None;
                u.dateMarker = Marker::None;
            });
        }
    }
    log_.changeStatus([&](LogStatus& status) {
        status.phase = PhaseText({JobPhase::Preparing, {}, std::nullopt});
        status.snapshotTime = DateTimeText(snapshotTime);
        status.comparedBaseTime = DateTimeText(baseTime);
        status.updatedCount = status.newCount = status.deletedCount = status.renamedCount = 0;
    });
}

void LogRecorder::freeSpaceMeasured(std::span<const FreeSpace> spaces) {
    std::vector<std::string> lines;
    for (const FreeSpace& space : spaces)
        lines.push_back(FreeSpaceText(space));
    log_.changeStatus([&](LogStatus& status) { status.freeSpaceLines = std::move(lines); });
}

void LogRecorder::progressed(const JobProgress& progress) {
    log_.changeStatus([&](LogStatus& status) {
        status.phase = PhaseText(progress);
        if (progress.percent)
            status.progress = *progress.percent;
    });
}

void LogRecorder::found(std::span<const Finding> findings) {
    long long updated = 0, added = 0, renamed = 0, deleted = 0;
    for (const Finding& finding : findings) {
        switch (finding.kind) {
        case FindingKind::Updated:
            recordUpdated(finding);
            ++updated;
            break;
        case FindingKind::New:
            log_.newFiles.scrollTo(log_.newFiles.append(
                {finding.name, finding.directory, finding.size, Marker::None}));
            appendLog(finding);
            ++added;
            break;
        case FindingKind::Renamed:
            log_.renamedFiles.scrollTo(
                log_.renamedFiles.append({finding.name, finding.oldName, finding.directory}));
            appendLog(finding);
            ++renamed;
            break;
        case FindingKind::Deleted:
            log_.deletedFiles.scrollTo(log_.deletedFiles.append({finding.name, finding.directory}));
            appendLog(finding);
            ++deleted;
            break;
        case FindingKind::FolderNew:
        case FindingKind::FolderDeleted:
        case FindingKind::Unreadable:
            // A directory has a log row of its own and is not counted.
            appendLog(finding);
            break;
        }
    }
    log_.changeStatus([&](LogStatus& status) {
        status.updatedCount += updated;
        status.newCount += added;
        status.renamedCount += renamed;
        status.deletedCount += deleted;
    });
}

void LogRecorder::recordUpdated(const Finding& finding) {
    const bool sizeChanged = finding.size != finding.baseSize;
    const bool dateChanged = finding.dateKey != finding.baseDateKey;
    const std::optional<std::size_t> row = log_.updatedFiles.find(finding.name, finding.directory);
    if (!row) {
        // Found for the first time: no size change and no rate yet.
        UpdateRow added{finding.name,
                        finding.directory,
                        finding.size,
                        finding.dateKey,
                        std::nullopt,
                        Marker::Changed,
                        sizeChanged ? Marker::Changed : Marker::None,
                        dateChanged ? Marker::Changed : Marker::None};
        log_.updatedFiles.scrollTo(log_.updatedFiles.insertSorted(std::move(added)));
        appendLog(finding);
        return;
    }
    // Found again: the row is refreshed where it is, and the log row has the size change.
    const auto sizeChange = static_cast<std::int64_t>(finding.size - finding.baseSize.value_or(0));
    log_.updatedFiles.change(*row, [&](UpdateRow& refreshed) {
        refreshed.rowMarker = Marker::Changed;
        refreshed.size = finding.size;
        refreshed.dateKey = finding.dateKey;
        refreshed.rate = TransferRate(sizeChange, settings_.interval);
        if (sizeChanged)
            refreshed.sizeMarker = Marker::Changed;
        if (dateChanged)
            refreshed.dateMarker = Marker::Changed;
    });
    appendLog(finding, sizeChange);
}

void LogRecorder::appendLog(const Finding& finding, std::optional<std::int64_t> sizeChange) {
    LogRow row;
    row.kind = finding.kind;
    if (IsDirectoryFinding(finding.kind)) {
        row.file = finding.directory;
    } else {
        row.file = finding.name;
        row.folder = finding.directory;
    }
    row.oldName = finding.oldName;
    row.size = finding.size;
    row.sizeChange = sizeChange;
    row.dateKey = finding.dateKey;
    row.detected = finding.detected;
    log_.entries.scrollTo(log_.entries.append(std::move(row)));
}

std::vector<FileToCheck> LogRecorder::filesToCheck() {
    std::vector<FileToCheck> files;
    files.reserve(log_.newFiles.count() + log_.updatedFiles.count());
    AddFilesToCheck(log_.newFiles, files);
    AddFilesToCheck(log_.updatedFiles, files);
    return files;
}

void LogRecorder::filesChecked(std::span<const FileCheck> checks) {
    std::unordered_map<std::string, const FileCheck*> byPath;
    byPath.reserve(checks.size());
    for (const FileCheck& check : checks)
        byPath.emplace(check.directory + check.name, &check);
    ApplyChecks(log_.newFiles, byPath);
    ApplyChecks(log_.updatedFiles, byPath);
}

void LogRecorder::cycleFinished(const CycleSummary& summary) {
    log_.changeStatus([&](LogStatus& status) {
        if (summary.compared) {
            status.recentDurations += DurationText(summary.duration);
            if (status.recentDurations.size() > kDurationHistoryLength)
                status.recentDurations.erase(0, status.recentDurations.size() -
                                                    kDurationHistoryLength);
        }
        status.phase.clear();
        status.lineCount = LineCountText(log_.entries.count());
    });
}

} // namespace trellisk
