#pragma once

#include "engine/log/finding.h"
#include "engine/tables/observable_table.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace trellisk {

// Row and cell markers of the updated-files and new-files tables: none, changed in the latest
// cycle, complete (no process writes the file any more). Ordered: a later one outranks.
enum class Marker : std::uint8_t { None, Changed, Complete };

// One row of the log: a finding as the log keeps it.
struct LogRow {
    FindingKind kind = FindingKind::New;
    std::string file;    // file name, or the directory's path for a directory row
    std::string folder;  // the file's directory; empty for a directory row
    std::string oldName; // Renamed: the name it had
    std::uint64_t size = 0;
    std::optional<std::int64_t> sizeChange; // Updated, when the file had an updated row already
    std::int64_t dateKey = 0;               // last-write time (see DateKey)
    std::time_t detected = 0;
};

struct UpdateRow {
    std::string file;
    std::string folder;
    std::uint64_t size = 0;
    std::int64_t dateKey = 0;
    std::optional<long double> rate; // "(MBit/S)" of the latest later finding (TransferRate)
    Marker rowMarker = Marker::None;
    Marker sizeMarker = Marker::None;
    Marker dateMarker = Marker::None;
};

struct NewRow {
    std::string file;
    std::string folder;
    std::uint64_t size = 0;
    Marker rowMarker = Marker::None;
};

struct DeletedRow {
    std::string file;
    std::string folder;
};

struct RenameRow {
    std::string newName;
    std::string oldName;
    std::string folder;
};

// The updated-files table: kept in order of the file field by the locale's collation
// (strcoll), so a file and folder is found by binary search instead of a scan.
class UpdateTable : public ObservableTable<UpdateRow> {
public:
    // Inserts the row at its sorted place (after rows of an equal name); returns the place.
    std::size_t insertSorted(UpdateRow row);
    // Row of the first entry with this file and folder.
    [[nodiscard]] std::optional<std::size_t> find(const std::string& file,
                                                  const std::string& folder) const;
};

// The texts of the log window's status fields.
struct LogStatus {
    std::string snapshotTime;                // snapshot time of the latest cycle
    std::string comparedBaseTime;            // time of the comparison base of the latest cycle
    std::vector<std::string> freeSpaceLines; // one per file system of the watched folders
    std::string phase;                       // phase of a running cycle
    int progress = 0;                        // progress 0..100
    std::string recentDurations;             // durations of the recent cycles
    std::string lineCount = "ログ行数";      // number of log rows
    long long updatedCount = 0;
    long long newCount = 0;
    long long deletedCount = 0;
    long long renamedCount = 0;
};

// Told when a status field changed; the window reads them all again.
class StatusObserver {
public:
    virtual ~StatusObserver() = default;
    virtual void statusChanged() = 0;
};

// Everything the log window shows: the log, the four result tables and the status fields.
class LogData {
public:
    ObservableTable<LogRow> entries;
    UpdateTable updatedFiles;
    ObservableTable<NewRow> newFiles;
    ObservableTable<DeletedRow> deletedFiles;
    ObservableTable<RenameRow> renamedFiles;

    [[nodiscard]] const LogStatus& status() const { return status_; }
    // Changes status fields through `edit(LogStatus&)` and tells the observers once.
    template <class Edit> void changeStatus(Edit&& edit) {
        edit(status_);
        for (StatusObserver* observer : statusObservers_)
            observer->statusChanged();
    }
    void addStatusObserver(StatusObserver* observer) { statusObservers_.push_back(observer); }
    void removeStatusObserver(StatusObserver* observer) { std::erase(statusObservers_, observer); }

private:
    LogStatus status_;
    std::vector<StatusObserver*> statusObservers_;
};

} // namespace trellisk
