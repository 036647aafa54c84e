#pragma once

#include "engine/log/finding.h"
#include "engine/monitor/first_match_index.h"
#include "engine/platform/clock.h"
#include "engine/snapshot/file_table.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trellisk {

// One directory's consecutive rows in a snapshot's file table.
using FileRun = FileTable::Run;

// Compares one directory of the current scan with the same directory of the comparison base
// and tells what changed: first the updated files in the order of the scan, then the new and
// renamed files in the order of the scan, then the deleted files in the order of the base.
class ChangeClassifier {
public:
    // The clock gives each finding its detection time.
    explicit ChangeClassifier(const Clock& clock) : clock_(clock) {}

    // `dir` is the directory path as written in the directory index (ending with the
    // separator), found under `watchedFolder`. The runs are read in place, not copied; the
    // findings are appended to `out`.
    void classify(const std::string& watchedFolder, const std::string& dir, FileRun snapshotRun,
                  FileRun baseRun, std::vector<Finding>& out);

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

    void matchByName(const FileRun& current, const FileRun& base);
    void matchBySizeAndDate(const FileRun& current, const FileRun& base);
    void reportDeleted(const FileRun& base);
    // A finding of the directory being classified.
    Finding& report(FindingKind kind, std::string_view name, std::uint64_t size,
                    std::int64_t dateKey);

    // Lookups over the base rows not matched yet; each gives the first such row or npos.
    std::uint32_t FindOldFile(const FileRun& base, std::string_view name);
    std::uint32_t FindOldFileBySizeDate(const FileRun& base, std::int64_t dateKey,
                                        std::uint64_t size);
    void removeOldRow(std::uint32_t row) { oldRemoved_[row] = 1; }

    const Clock& clock_;
    const std::string* watchedFolder_ = nullptr; // of the directory being classified
    const std::string* dir_ = nullptr;
    std::vector<Finding>* out_ = nullptr;

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
