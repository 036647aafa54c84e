#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trellisk {

// One directory of a snapshot. A watched folder's row holds its path as written; every other
// row holds its parent row and its own name, so a deep tree keeps each name once.
struct DirRow {
    std::uint32_t parent = 0; // row of the parent directory (not for a watched folder's row)
    std::uint32_t nameAt = 0;
    std::uint32_t nameLength = 0;
    bool watchedFolder = false;
    bool unreadable = false; // it exists but could not be read: its rows are the base's
    bool mark = false;
    std::size_t firstFile = 0; // the directory's run of rows in the matching file table
    std::size_t fileCount = 0;
};

// A directory index: directories in scanning order, never sorted.
class DirIndex {
public:
    void clear() {
        rows_.clear();
        names_.clear();
    }
    // A watched folder's row; its path is the text as written.
    std::size_t appendFolder(std::string_view path);
    // A subdirectory `name` of the directory in row `parent`.
    std::size_t appendChild(std::size_t parent, std::string_view name);
    // Drops the rows from `count` on.
    void truncate(std::size_t count);

    [[nodiscard]] std::size_t count() const { return rows_.size(); }
    [[nodiscard]] bool empty() const { return rows_.empty(); }
    [[nodiscard]] DirRow& operator[](std::size_t row) { return rows_[row]; }
    [[nodiscard]] const DirRow& operator[](std::size_t row) const { return rows_[row]; }
    [[nodiscard]] auto begin() const { return rows_.begin(); }
    [[nodiscard]] auto end() const { return rows_.end(); }

    // The row's own name; a watched folder's whole path.
    [[nodiscard]] std::string_view name(std::size_t row) const {
        return std::string_view(names_).substr(rows_[row].nameAt, rows_[row].nameLength);
    }
    // The full path of a directory: a watched folder's as written, any other ending with the
    // separator. Made on request: the index keeps no path texts.
    [[nodiscard]] std::string path(std::size_t row) const;
    // The same, written over `path` to reuse its memory.
    void pathInto(std::size_t row, std::string& path) const;

    void clearMarks() {
        for (DirRow& row : rows_)
            row.mark = false;
    }

    // Memory held, for the benchmarks.
    [[nodiscard]] std::size_t capacityBytes() const {
        return rows_.capacity() * sizeof(DirRow) + names_.capacity();
    }

private:
    std::uint32_t storeName(std::string_view name);

    std::vector<DirRow> rows_;
    std::string names_;
};

} // namespace trellisk
