#include "engine/settings/settings.h"

#include <limits>

namespace trellisk {

int DepthLimit(const FolderEntry& entry) {
    const std::string& text = entry.depth;
    if (text.empty())
        return 0;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return 0;
        const int digit = c - '0';
        if (value > (std::numeric_limits<int>::max() - digit) / 10)
            return 0;
        value = value * 10 + digit;
    }
    return value;
}

} // namespace trellisk
