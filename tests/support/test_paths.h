#pragma once

#include "engine/platform/path_rules.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace trellisk::test {

// Tests write paths with "/"; the engine writes them with the platform's separator.
[[nodiscard]] inline std::string NativePath(std::string path) {
    std::replace(path.begin(), path.end(), '/', platform::kPathSeparator);
    return path;
}

[[nodiscard]] inline std::vector<std::string> NativePaths(std::vector<std::string> paths) {
    for (std::string& path : paths)
        path = NativePath(std::move(path));
    return paths;
}

// The engine's paths are UTF-8 on every platform; a narrow std::filesystem::path is not
// (Windows reads it in the ANSI code page), so the tests convert through char8_t.
[[nodiscard]] inline std::filesystem::path FsPath(const std::string& utf8) {
    return {std::u8string(utf8.begin(), utf8.end())};
}

[[nodiscard]] inline std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// A root of the file system, where folder depths count one level more.
#ifdef _WIN32
inline const std::string kFileSystemRoot = "C:\\";
#else
inline const std::string kFileSystemRoot = "/";
#endif

// A path written from the root with "/" ("/work/a") as this platform writes it ("C:\work\a"
// on Windows).
[[nodiscard]] inline std::string AbsolutePath(const std::string& fromRoot) {
    return kFileSystemRoot + NativePath(fromRoot.substr(1));
}

} // namespace trellisk::test
