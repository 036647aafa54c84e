#include "engine/snapshot/file_table.h"

#include "engine/text/text_helpers.h"

namespace trellisk {

void FileTable::clear() {
    rows_.clear();
    names_.clear();
}

void FileTable::append(std::string_view name, std::uint64_t size, std::int64_t dateKey) {
    rows_.push_back(Row{size, dateKey, names_.size(), name.size()});
    names_.append(name);
}

void FileTable::truncate(std::size_t count) {
    if (count >= rows_.size())
        return;
    names_.resize(rows_[count].nameOffset);
    rows_.resize(count);
}

std::string FileTable::sizeText(std::size_t row) const {
    return SizeText(rows_[row].size);
}

std::string FileTable::dateText(std::size_t row) const {
    return DateText(rows_[row].dateKey);
}

std::size_t FileTable::capacityBytes() const {
    return rows_.capacity() * sizeof(Row) + names_.capacity();
}

} // namespace trellisk
