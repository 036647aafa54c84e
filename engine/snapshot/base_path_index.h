#pragma once

#include "engine/snapshot/dir_index.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace trellisk {

// The directories of a comparison base by path, for finding the base's row of a directory of
// the next snapshot. It keeps the hashes of the paths, not their texts, and can be read from
// several threads at once.
class BasePathIndex {
public:
    // Indexes `dirs`, which must stay unchanged while the index is used; none for nullptr.
    void build(const DirIndex* dirs);

    // The first row of this path for which `accept(row)` holds. `scratch` is working memory
    // of the calling thread.
    template <class Accept>
    [[nodiscard]] std::optional<std::size_t> find(std::string_view path, std::string& scratch,
                                                  Accept&& accept) const {
        const std::uint64_t hash = Hash(path);
        auto it = std::lower_bound(rows_.begin(), rows_.end(), Entry{hash, 0});
        for (; it != rows_.end() && it->first == hash; ++it) {
            if (!accept(it->second))
                continue;
            dirs_->pathInto(it->second, scratch);
            if (scratch == path)
                return it->second;
        }
        return std::nullopt;
    }
    [[nodiscard]] std::optional<std::size_t> find(std::string_view path,
                                                  std::string& scratch) const {
        return find(path, scratch, [](std::size_t) { return true; });
    }

private:
    using Entry = std::pair<std::uint64_t, std::uint32_t>; // hash of the path, row
    [[nodiscard]] static std::uint64_t Hash(std::string_view path);

    const DirIndex* dirs_ = nullptr;
    std::vector<Entry> rows_; // sorted: rows of one path come in row order
};

} // namespace trellisk
