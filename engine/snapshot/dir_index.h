#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trellisk {

// One directory of a snapshot: where its run of rows lies in the matching file table.
struct DirRow {
    std::string dir;         // full path ending with the separator
    std::int64_t start = -1; // first row of the run, -1 when the directory has no files
    std::int64_t item = -1;  // rows in the run, -1 when none
    bool mark = false;
};

// A directory index: directories in scanning order, never sorted.
class DirIndex {
public:
    void clear() { rows_.clear(); }
    void append(DirRow row) { rows_.push_back(std::move(row)); }
    [[nodiscard]] std::size_t count() const { return rows_.size(); }
    [[nodiscard]] bool empty() const { return rows_.empty(); }
    [[nodiscard]] DirRow& operator[](std::size_t row) { return rows_[row]; }
    [[nodiscard]] const DirRow& operator[](std::size_t row) const { return rows_[row]; }
    [[nodiscard]] auto begin() const { return rows_.begin(); }
    [[nodiscard]] auto end() const { return rows_.end(); }
    void clearMarks() {
        for (DirRow& row : rows_)
            row.mark = false;
    }

private:
    std::vector<DirRow> rows_;
};

} // namespace trellisk
