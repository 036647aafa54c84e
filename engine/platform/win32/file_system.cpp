#include "engine/platform/file_system.h"

#include "engine/platform/path_rules.h"
#include "engine/platform/win32/wide_text.h"

#include <optional>

namespace trellisk::platform {

namespace {

std::optional<DWORD> AttributesOf(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(LongPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return std::nullopt;
    return attributes;
}

// Closes a file handle when it goes.
struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() {
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    }
};

} // namespace

bool FileExists(const std::string& path) {
    const auto attributes = AttributesOf(path);
    return attributes && !(*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    const auto attributes = AttributesOf(path);
    return attributes && (*attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CanOpenFile(const std::string& path) {
    // Sharing reading only: refused exactly while some process has the file open for writing.
    const HandleCloser file{::CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE)
        return false;
    // Only a disk file counts, as on POSIX only a regular file does.
    return ::GetFileType(file.handle) == FILE_TYPE_DISK;
}

FileContent ReadRegularFile(const std::string& path) {
    using Status = FileContent::Status;
    FileContent content;
    const auto failed = [&content](DWORD error) {
        content.status = Status::Failed;
        content.errorText = ErrorText(error);
        return content;
    };
    const std::wstring wide = LongPath(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        content.status = Status::NotRegularFile;
        return content;
    }
    const HandleCloser file{::CreateFileW(wide.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            content.status = Status::Missing;
            return content;
        }
        return failed(error);
    }
    if (::GetFileType(file.handle) != FILE_TYPE_DISK) {
        content.status = Status::NotRegularFile;
        return content;
    }
    char buffer[1 << 14];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.handle, buffer, sizeof buffer, &got, nullptr))
            return failed(::GetLastError());
        if (got == 0)
            break;
        content.bytes.append(buffer, got);
    }
    content.status = Status::Read;
    return content;
}

std::string MountPointOf(const std::string& path) {
    // The drive is the folder path's first character ("C" of "C:\a\"); a network path
    // ("\\server\share\") belongs to no drive.
    if (path.empty() || path[0] == kPathSeparator)
        return {};
    return path.substr(0, 1);
}

std::int64_t FreeSpace(const std::string& path) {
    // A drive letter alone stands for its root.
    const std::wstring root = path.size() == 1 ? Wide(path) + L":\\" : LongPath(path);
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(root.c_str(), &available, nullptr, nullptr))
        return -1;
    return static_cast<std::int64_t>(available.QuadPart);
}

std::string ExecutableDirectory() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return std::string(".") + kPathSeparator;
        // A cut name fills the buffer exactly (and is not always terminated): grow it.
        if (length < name.size()) {
            name.resize(length);
            break;
        }
        name.resize(name.size() * 2);
    }
    const std::string path = Utf8(name);
    return path.substr(0, path.rfind(kPathSeparator) + 1);
}

} // namespace trellisk::platform
