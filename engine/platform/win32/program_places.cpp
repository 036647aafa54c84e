#include "engine/platform/program_places.h"

#include "engine/platform/file_system.h"
#include "engine/platform/install_layout.h"
#include "engine/platform/path_rules.h"
#include "engine/platform/win32/wide_text.h"

#include <array>
#include <cstdlib>

namespace trellisk::platform {

namespace {

std::string WithSeparator(std::string path) {
    if (path.empty() || path.back() != kPathSeparator)
        path.push_back(kPathSeparator);
    return path;
}

// The variable's value when it is set to an absolute path ("C:\..." or "\\server\...").
std::optional<std::string> AbsoluteVariable(const wchar_t* name) {
    const wchar_t* value = ::_wgetenv(name);
    if (value == nullptr)
        return std::nullopt;
    const std::wstring_view text(value);
    const bool drivePath = text.size() >= 3 && text[1] == L':' && text[2] == L'\\';
    if (!drivePath && !text.starts_with(L"\\\\"))
        return std::nullopt;
    return Utf8(text);
}

// The path's letters folded to one case, for comparisons the way Windows compares names.
std::wstring Folded(std::wstring path) {
    ::CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

} // namespace

std::string UserConfigDirectory() {
    if (std::optional<std::string> appData = AbsoluteVariable(L"APPDATA"))
        return WithSeparator(*appData);
    if (std::optional<std::string> profile = AbsoluteVariable(L"USERPROFILE"))
        return WithSeparator(WithSeparator(*profile) + "AppData\\Roaming");
    return WithSeparator(ExecutableDirectory());
}

bool HoldsInstalledExecutable(const std::string& directory) {
    return DirectoryExists(WithSeparator(directory) + kDocumentationFromExecutable);
}

bool IsOwnWritableDirectory(const std::string& directory) {
    if (!DirectoryExists(directory))
        return false;
    // Access rules on Windows are lists, not an owner and mode bits: the answer is whether a
    // file can be made there. The probe goes away when its handle closes.
    const std::wstring probe = LongPath(WithSeparator(directory) + "trellisk-write-probe-" +
                                        std::to_string(::GetCurrentProcessId()) + ".tmp");
    const HANDLE file =
        ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

bool IsSystemProgramDirectory(const std::string& directory) {
    const std::wstring path = Folded(LongPath(WithSeparator(directory)));
    constexpr std::array<const wchar_t*, 4> kSystemTrees = {L"ProgramFiles", L"ProgramFiles(x86)",
                                                            L"ProgramW6432", L"SystemRoot"};
    for (const wchar_t* variable : kSystemTrees) {
        if (std::optional<std::string> tree = AbsoluteVariable(variable)) {
            if (path.starts_with(Folded(LongPath(WithSeparator(*tree)))))
                return true;
        }
    }
    return false;
}

std::optional<std::string> MakePrivateDirectories(const std::string& directory) {
    if (DirectoryExists(directory))
        return std::nullopt;
    // Each missing level from the top down; a new directory inherits its parent's access
    // list, which below the user's profile is the user's own.
    const std::wstring full = LongPath(directory);
    constexpr std::size_t kPrefix = 4; // "\\?\"
    for (std::size_t end = full.find(L'\\', full.find(L'\\', kPrefix) + 1);;
         end = full.find(L'\\', end + 1)) {
        const std::wstring level = full.substr(0, end);
        if (!::CreateDirectoryW(level.c_str(), nullptr)) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
                return ErrorText(error);
            // A file in the way fails here, as it does on POSIX, rather than as a missing
            // path one level further down.
            const DWORD attributes = ::GetFileAttributesW(level.c_str());
            if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
                !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return ErrorText(ERROR_DIRECTORY);
        }
        if (end == std::wstring::npos || end + 1 == full.size())
            break;
    }
    if (!DirectoryExists(directory))
        return ErrorText(ERROR_DIRECTORY);
    return std::nullopt;
}

} // namespace trellisk::platform
