#pragma once

#include <windows.h>
// windows.h names ReplaceFileW so; the engine has a ReplaceFile of its own.
#undef ReplaceFile

#include <cstdint>
#include <string>
#include <string_view>

namespace trellisk::platform {

// UTF-16 for the Win32 calls; the engine's texts are UTF-8.
[[nodiscard]] std::wstring Wide(std::string_view utf8);
[[nodiscard]] std::string Utf8(std::wstring_view utf16);

// The path in the form Win32 accepts at any length: absolute, backslashes, "\\?\" in front
// ("\\?\UNC\" for a network path).
[[nodiscard]] std::wstring LongPath(const std::string& path);

// Seconds since 1970 of a FILETIME (100 ns since 1601).
[[nodiscard]] std::int64_t UnixSeconds(const FILETIME& time);

// The system's text for a Win32 error code, in UTF-8.
[[nodiscard]] std::string ErrorText(DWORD error);

} // namespace trellisk::platform
