#pragma once

#include "engine/log/log_tables.h"
#include "engine/monitor/first_match_index.h"
#include "engine/monitor/window_interface.h"
#include "engine/platform/clock.h"
#include "engine/settings/settings.h"
#include "engine/snapshot/file_table.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trellisk {

// One directory's consecutive rows in a snapshot's file table.
using FileRun = FileTable::Run;

// Compares one directory of the current scan with the same directory of the comparison base
// and writes what changed into the log window's tables and counters.
class ChangeClassifier {
public:
    ChangeClassifier(LogData& log, const Settings& settings, WindowInterface& window,
                     const Clock& clock);

    // `dir` is the directory path as written in the directory index (ending with the
    // separator). The runs are read in place, not copied.
    void classify(const std::string& dir, FileRun snapshotRun, FileRun baseRun);

private:
    struct SizeDate {
        std::uint64_t size;
        std::int64_t dateKey;
        bool operator==(const SizeDate&) const = default;
    };
    struct SizeDateHash {
        std::size_t operator()(const SizeDate& key) const {
            return std::hash<std::uint64_t>{}(key.size * 0x9E3779B97F4A7C15ull ^
                                              static_cast<std::uint64_t>(key.dateKey));
        }
    };
    static constexpr std::uint32_t npos = FirstMatchIndex<std::string_view>::npos;

    void matchByName(const std::string& dir, const FileRun& current, const FileRun& base);
    void matchBySizeAndDate(const std::string& dir, const FileRun& current, const FileRun& base);
    void reportDeleted(const std::string& dir, const FileRun& base);
    void reportUpdated(const std::string& dir, const FileRun& current, std::size_t row,
                       std::uint64_t baseSize, std::int64_t baseDate);

    // Lookups over the base rows not matched yet; each gives the first such row or npos.
    std::uint32_t FindOldFile(const FileRun& base, std::string_view name);
    std::uint32_t FindOldFileBySizeDate(const FileRun& base, std::int64_t dateKey,
                                        std::uint64_t size);
    void removeOldRow(std::uint32_t row) { oldRemoved_[row] = 1; }

    void appendLog(LogRow row);
    [[nodiscard]] std::string now() const;
    [[nodiscard]] std::string RateText(std::int64_t sizeChange) const;

    LogData& log_;
    const Settings& settings_;
    WindowInterface& window_;
    const Clock& clock_;

    // Per-directory working state, kept to reuse its memory.
    std::vector<char> oldRemoved_;
    std::uint32_t oldCursor_ = 0; // no base row before it is left
    bool byNameBuilt_ = false;
    bool bySizeDateBuilt_ = false;
    FirstMatchIndex<std::string_view> oldByName_;
    FirstMatchIndex<SizeDate, SizeDateHash> oldBySizeDate_;
    std::vector<std::uint32_t> unmatchedByName_; // current rows without a base row of that name
};

} // namespace trellisk
