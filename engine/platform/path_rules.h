#pragma once

#include <string_view>

namespace trellisk::platform {

#ifdef _WIN32
// The one character that separates directory names in a path.
inline constexpr char kPathSeparator = '\\';

// A path that names a drive root ("C:\\"); the depth of its subdirectories counts from 1.
inline bool IsRootPath(std::string_view path) {
    if (path.size() != 3 || path[1] != ':' || path[2] != kPathSeparator)
        return false;
    return (path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z');
}

// A path that does not depend on the current drive or directory: "C:\..." or "\\server\...".
inline bool IsAbsolutePath(std::string_view path) {
    if (path.starts_with("\\\\"))
        return true;
    return path.size() >= 3 && IsRootPath(path.substr(0, 3));
}
#else
// The one character that separates directory names in a path.
inline constexpr char kPathSeparator = '/';

// A path that names a file system root ("/"); the depth of its subdirectories counts from 1.
inline bool IsRootPath(std::string_view path) {
    return path.size() == 1 && path[0] == kPathSeparator;
}

// A path that does not depend on the current directory.
inline bool IsAbsolutePath(std::string_view path) {
    return path.starts_with(kPathSeparator);
}
#endif

} // namespace trellisk::platform
