#pragma once

#include <string_view>

namespace trellisk::platform {

// The one character that separates directory names in a path.
inline constexpr char kPathSeparator = '/';

// A path that names a file system root ("/"); the depth of its subdirectories counts from 1.
inline bool IsRootPath(std::string_view path) {
    return path.size() == 1 && path[0] == kPathSeparator;
}

} // namespace trellisk::platform
