#include "engine/log/log_texts.h"

#include "engine/text/text_helpers.h"

#include <algorithm>
#include <cstdio>

namespace trellisk {

namespace {

constexpr const char* kOldNamePrefix = "(旧)";
// A longer cycle shows as 99 so that every entry of the history keeps two characters.
constexpr long long kLongestShownDuration = 99;

// Findings of a file that exists: they show its size and last-write time.
bool ShowsSizeAndDate(FindingKind kind) {
    return kind == FindingKind::Updated || kind == FindingKind::New || kind == FindingKind::Renamed;
}

std::string RateText(long double rate) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2Lf", rate);
    return text;
}

} // namespace

const char* KindText(FindingKind kind) {
    switch (kind) {
    case FindingKind::Updated:
        return "更新";
    case FindingKind::New:
    case FindingKind::FolderNew:
        return "新規";
    case FindingKind::Renamed:
        return "変名";
    case FindingKind::Deleted:
    case FindingKind::FolderDeleted:
        return "削除";
    case FindingKind::Unreadable:
        return "読取不可";
    }
    return "";
}

std::string CellText(const LogRow& row, LogColumn column) {
    switch (column) {
    case LogColumn::File:
        return VisibleText(row.file);
    case LogColumn::Kind:
        return KindText(row.kind);
    case LogColumn::Size:
        return ShowsSizeAndDate(row.kind) ? SizeText(row.size) : std::string();
    case LogColumn::SizeChange:
        if (row.kind == FindingKind::Renamed)
            return VisibleText(kOldNamePrefix + row.oldName);
        return row.sizeChange ? SizeChangeText(*row.sizeChange) : std::string();
    case LogColumn::UpdateTime:
        return ShowsSizeAndDate(row.kind) ? DateText(row.dateKey) : std::string();
    case LogColumn::DetectionTime:
        return DateTimeText(row.detected);
    case LogColumn::Folder:
    case LogColumn::Count:
        break;
    }
    return VisibleText(row.folder);
}

std::string CellText(const UpdateRow& row, UpdatedColumn column) {
    switch (column) {
    case UpdatedColumn::File:
        return VisibleText(row.file);
    case UpdatedColumn::Size:
        return SizeText(row.size);
    case UpdatedColumn::Date:
        return DateText(row.dateKey);
    case UpdatedColumn::Folder:
        return VisibleText(row.folder);
    case UpdatedColumn::Rate:
    case UpdatedColumn::Count:
        break;
    }
    return row.rate ? RateText(*row.rate) : std::string();
}

std::string CellText(const NewRow& row, NewColumn column) {
    switch (column) {
    case NewColumn::File:
        return VisibleText(row.file);
    case NewColumn::Size:
        return SizeText(row.size);
    case NewColumn::Folder:
    case NewColumn::Count:
        break;
    }
    return VisibleText(row.folder);
}

std::string CellText(const DeletedRow& row, DeletedColumn column) {
    return VisibleText(column == DeletedColumn::File ? row.file : row.folder);
}

std::string CellText(const RenameRow& row, RenamedColumn column) {
    switch (column) {
    case RenamedColumn::NewName:
        return VisibleText(row.newName);
    case RenamedColumn::OldName:
        return VisibleText(row.oldName);
    case RenamedColumn::Folder:
    case RenamedColumn::Count:
        break;
    }
    return VisibleText(row.folder);
}

long double TransferRate(std::int64_t sizeChange, int interval) {
    return static_cast<long double>(sizeChange) / std::max(interval, 1) / 1048576.0L * 8.0L;
}

std::string PhaseText(const JobProgress& progress) {
    switch (progress.phase) {
    case JobPhase::Preparing:
        return "前処理中";
    case JobPhase::Listing:
        return "ファイル取得中";
    case JobPhase::Comparing:
        if (progress.directory.empty())
            return "ファイル比較中";
        return "ファイル比較中 " + VisibleText(progress.directory);
    case JobPhase::Finishing:
        break;
    }
    return "後処理中";
}

std::string FreeSpaceText(const FreeSpace& space) {
    return VisibleText(space.mountPoint) + "ドライブ " + FormatThousands(space.bytes);
}

std::string DurationText(std::chrono::seconds duration) {
    char text[8];
    std::snprintf(text, sizeof text, "%2lld",
                  std::clamp<long long>(duration.count(), 0, kLongestShownDuration));
    return text;
}

std::string LineCountText(std::size_t rows) {
    return "ログ行数 " + std::to_string(rows);
}

} // namespace trellisk
