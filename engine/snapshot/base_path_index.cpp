#include "engine/snapshot/base_path_index.h"

#include <functional>

namespace trellisk {

std::uint64_t BasePathIndex::Hash(std::string_view path) {
    return std::hash<std::string_view>{}(path);
}

void BasePathIndex::build(const DirIndex* dirs) {
    dirs_ = dirs;
    rows_.clear();
    if (dirs == nullptr)
        return;
    rows_.reserve(dirs->count());
    std::string path;
    for (std::size_t row = 0; row < dirs->count(); ++row) {
        dirs->pathInto(row, path);
        rows_.emplace_back(Hash(path), static_cast<std::uint32_t>(row));
    }
    std::sort(rows_.begin(), rows_.end());
}

} // namespace trellisk
