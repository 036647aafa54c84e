#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace trellisk {

// A file table: the files of a snapshot, directory after directory, in listing order.
// Rows are stored compactly (a million files per snapshot): names share one character
// buffer, size and date are numbers, and their texts are made only when asked for. The
// comparison reads a directory's run in place and keeps its own record of matched rows, so
// rows are never marked or removed here.
class FileTable {
public:
    struct Row {
        std::uint64_t size;
        std::int64_t dateKey; // see DateKey()
        std::uint64_t nameOffset : 40;
        std::uint64_t nameLength : 24;
    };

    void clear();
    void append(std::string_view name, std::uint64_t size, std::int64_t dateKey);
    // Drops the rows from `count` on.
    void truncate(std::size_t count);
    // Makes room for `rows` rows with names of `nameBytes` bytes in all.
    void reserve(std::size_t rows, std::size_t nameBytes) {
        rows_.reserve(rows);
        names_.reserve(nameBytes);
    }
    [[nodiscard]] std::size_t nameBytes() const { return names_.size(); }

    [[nodiscard]] std::size_t count() const { return rows_.size(); }
    [[nodiscard]] bool empty() const { return rows_.empty(); }
    [[nodiscard]] std::string_view name(std::size_t row) const {
        const Row& r = rows_[row];
        return {names_.data() + r.nameOffset, r.nameLength};
    }
    [[nodiscard]] std::uint64_t size(std::size_t row) const { return rows_[row].size; }
    [[nodiscard]] std::int64_t dateKey(std::size_t row) const { return rows_[row].dateKey; }
    [[nodiscard]] std::string sizeText(std::size_t row) const;
    [[nodiscard]] std::string dateText(std::size_t row) const;

    // Memory held, for the benchmarks.
    [[nodiscard]] std::size_t capacityBytes() const;

private:
    std::vector<Row> rows_;
    std::string names_;
};

} // namespace trellisk
