#pragma once

#include <cstdint>
#include <limits>
#include <unordered_map>
#include <vector>

namespace trellisk {

// Finds the first row, in table order, whose key equals a given key among rows that have not
// been removed yet, in amortised constant time. This keeps "first match in a table whose
// matched rows are deleted" exact without scanning the table for every lookup.
template <class Key, class Hash = std::hash<Key>> class FirstMatchIndex {
public:
    static constexpr std::uint32_t npos = std::numeric_limits<std::uint32_t>::max();

    void clear() {
        head_.clear();
        next_.clear();
    }

    // Indexes rows 0..count-1; keyOf(row) gives a row's key.
    template <class KeyOf> void build(std::uint32_t count, KeyOf&& keyOf) {
        clear();
        next_.assign(count, npos);
        head_.reserve(count);
        for (std::uint32_t row = count; row-- > 0;) {
            auto [slot, inserted] = head_.try_emplace(keyOf(row), row);
            if (!inserted) {
                next_[row] = slot->second;
                slot->second = row;
            }
        }
    }

    // The first row with this key whose `removed` flag is clear, or npos.
    std::uint32_t first(const Key& key, const std::vector<char>& removed) {
        const auto slot = head_.find(key);
        if (slot == head_.end())
            return npos;
        std::uint32_t row = slot->second;
        while (row != npos && removed[row])
            row = next_[row];
        slot->second = row; // removed rows never come back, so skip them for good
        return row;
    }

private:
    std::unordered_map<Key, std::uint32_t, Hash> head_;
    std::vector<std::uint32_t> next_;
};

} // namespace trellisk
