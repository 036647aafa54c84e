#pragma once

#include "engine/log/finding.h"
#include "engine/log/log_tables.h"
#include "engine/log/monitor_listener.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace trellisk {

// The texts of the log's tables and status fields, made here alone: the log window's models
// and the saved log both call these, so what is shown and what is saved cannot drift apart.
// Names and paths with control characters come out visibly escaped (see VisibleText).

// The columns of each table, in the order the window shows them.
enum class LogColumn { File, Kind, Size, SizeChange, UpdateTime, DetectionTime, Folder, Count };
enum class UpdatedColumn { File, Size, Date, Folder, Rate, Count };
enum class NewColumn { File, Size, Folder, Count };
enum class DeletedColumn { File, Folder, Count };
enum class RenamedColumn { NewName, OldName, Folder, Count };

[[nodiscard]] std::string CellText(const LogRow& row, LogColumn column);
[[nodiscard]] std::string CellText(const UpdateRow& row, UpdatedColumn column);
[[nodiscard]] std::string CellText(const NewRow& row, NewColumn column);
[[nodiscard]] std::string CellText(const DeletedRow& row, DeletedColumn column);
[[nodiscard]] std::string CellText(const RenameRow& row, RenamedColumn column);

// "更新", "新規", "変名", "削除" or "読取不可"; a new or deleted directory is "新規" or "削除".
[[nodiscard]] const char* KindText(FindingKind kind);

// Megabits per second of a file that changed by `sizeChange` bytes over `interval` seconds,
// computed in this order in extended precision; the interval is taken as at least one second.
[[nodiscard]] long double TransferRate(std::int64_t sizeChange, int interval);

// The phase label of a running cycle: "前処理中", "ファイル取得中", "ファイル比較中" and the
// directory compared last, "後処理中".
[[nodiscard]] std::string PhaseText(const JobProgress& progress);
// "<mount point>ドライブ <free bytes with thousands separators>", -1 where unknown.
[[nodiscard]] std::string FreeSpaceText(const FreeSpace& space);
// One entry of the duration history: two characters; 100 s or more shows as 99.
[[nodiscard]] std::string DurationText(std::chrono::seconds duration);
// "ログ行数 " and the number of log rows.
[[nodiscard]] std::string LineCountText(std::size_t rows);

} // namespace trellisk
