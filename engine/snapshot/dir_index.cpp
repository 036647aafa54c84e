#include "engine/snapshot/dir_index.h"

#include "engine/platform/path_rules.h"

#include <limits>
#include <stdexcept>

namespace trellisk {

std::uint32_t DirIndex::storeName(std::string_view name) {
    if (names_.size() + name.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("directory names beyond 4 GiB");
    const auto at = static_cast<std::uint32_t>(names_.size());
    names_.append(name);
    return at;
}

std::size_t DirIndex::appendFolder(std::string_view path) {
    DirRow row;
    row.nameAt = storeName(path);
    row.nameLength = static_cast<std::uint32_t>(path.size());
    row.watchedFolder = true;
    rows_.push_back(row);
    return rows_.size() - 1;
}

std::size_t DirIndex::appendChild(std::size_t parent, std::string_view name) {
    DirRow row;
    row.parent = static_cast<std::uint32_t>(parent);
    row.nameAt = storeName(name);
    row.nameLength = static_cast<std::uint32_t>(name.size());
    rows_.push_back(row);
    return rows_.size() - 1;
}

void DirIndex::truncate(std::size_t count) {
    if (count >= rows_.size())
        return;
    names_.resize(count == 0 ? 0 : rows_[count].nameAt);
    rows_.resize(count);
}

std::string DirIndex::path(std::size_t row) const {
    std::string text;
    pathInto(row, text);
    return text;
}

void DirIndex::pathInto(std::size_t row, std::string& path) const {
    const DirRow& r = rows_[row];
    if (r.watchedFolder) {
        path.assign(name(row));
        return;
    }
    pathInto(r.parent, path);
    if (path.empty() || path.back() != platform::kPathSeparator)
        path.push_back(platform::kPathSeparator);
    path.append(name(row));
    path.push_back(platform::kPathSeparator);
}

} // namespace trellisk
