#include "snapshot/file_table.h"

#include "snapshot/text_helpers.h"

#include <algorithm>

namespace trellisk {

void FileTable::clear() {
    rows_.clear();
    names_.clear();
}

void FileTable::reserve(std::size_t rows, std::size_t nameBytes) {
    rows_.reserve(rows);
    names_.reserve(nameBytes);
}

void FileTable::append(std::string_view name, std::uint64_t size, std::int64_t dateKey) {
    rows_.push_back(Row{size, dateKey, names_.size(), name.size(), 0});
    names_.append(name);
}

void FileTable::appendRun(const FileTable& other, std::size_t first, std::size_t count) {
    if (count == 0)
        return;
    const Row& begin = other.rows_[first];
    const Row& last = other.rows_[first + count - 1];
    const std::uint64_t bytes = last.nameOffset + last.nameLength - begin.nameOffset;
    // Names of a run lie side by side in the source buffer, so they move in one piece.
    const std::uint64_t shift = names_.size();
    names_.append(other.names_, begin.nameOffset, bytes);
    rows_.reserve(rows_.size() + count);
    for (std::size_t i = first; i < first + count; ++i) {
        Row row = other.rows_[i];
        row.nameOffset = row.nameOffset - begin.nameOffset + shift;
        row.mark = 0;
        rows_.push_back(row);
    }
}

std::string FileTable::sizeText(std::size_t row) const {
    return SizeText(rows_[row].size);
}

std::string FileTable::dateText(std::size_t row) const {
    return DateText(rows_[row].dateKey);
}

void FileTable::remove(std::size_t row) {
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
}

void FileTable::removeMarked() {
    std::erase_if(rows_, [](const Row& row) { return row.mark != 0; });
}

std::size_t FileTable::capacityBytes() const {
    return rows_.capacity() * sizeof(Row) + names_.capacity();
}

} // namespace trellisk
