#include "engine/log/log_tables.h"

#include <algorithm>
#include <cstring>

namespace trellisk {

namespace {

bool CollatesBefore(const std::string& a, const std::string& b) {
    return std::strcoll(a.c_str(), b.c_str()) < 0;
}

} // namespace

std::size_t UpdateTable::insertSorted(UpdateRow row) {
    const auto place =
        std::upper_bound(begin(), end(), row.file, [](const std::string& file, const UpdateRow& r) {
            return CollatesBefore(file, r.file);
        });
    return insert(static_cast<std::size_t>(place - begin()), std::move(row));
}

std::optional<std::size_t> UpdateTable::find(const std::string& file,
                                             const std::string& folder) const {
    auto at =
        std::lower_bound(begin(), end(), file, [](const UpdateRow& r, const std::string& name) {
            return CollatesBefore(r.file, name);
        });
    for (; at != end() && !CollatesBefore(file, at->file); ++at) {
        if (at->file == file && at->folder == folder)
            return static_cast<std::size_t>(at - begin());
    }
    return std::nullopt;
}

} // namespace trellisk
