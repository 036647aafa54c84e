#include "tests/support/temp_tree.h"

#include "engine/platform/win32/wide_text.h"

#include <atomic>
#include <stdexcept>

namespace trellisk::test {

namespace fs = std::filesystem;

namespace {

void Check(bool ok, const std::string& what) {
    if (!ok)
        throw std::runtime_error(what + ": " + platform::ErrorText(::GetLastError()));
}

// Opens the entry itself, a link rather than what it points to.
HANDLE OpenForTimes(const std::string& path) {
    return ::CreateFileW(platform::LongPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                         nullptr);
}

bool SetTime(HANDLE file, std::time_t mtime) {
    constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
    const auto ticks = static_cast<std::uint64_t>(mtime + kSecondsFrom1601To1970) * 10'000'000u;
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    return ::SetFileTime(file, nullptr, &time, &time) != 0;
}

void SetTime(const std::string& path, std::time_t mtime) {
    const HANDLE file = OpenForTimes(path);
    Check(file != INVALID_HANDLE_VALUE, "open " + path);
    const bool set = SetTime(file, mtime);
    ::CloseHandle(file);
    Check(set, "SetFileTime " + path);
}

bool MakeLink(const std::string& link, const std::string& target) {
    // A relative target counts from the link's folder, as on POSIX.
    const fs::path linkPath = FsPath(link);
    const fs::path targetPath = FsPath(NativePath(target));
    const fs::path resolved =
        targetPath.is_absolute() ? targetPath : linkPath.parent_path() / targetPath;
    const DWORD flags = (fs::is_directory(resolved) ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) |
                        SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    return ::CreateSymbolicLinkW(linkPath.c_str(), targetPath.c_str(), flags) &&
           ::GetFileAttributesW(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TempTree::TempTree() {
    static std::atomic<unsigned> counter{0};
    const fs::path base = fs::temp_directory_path();
    fs::path root;
    do {
        root = base / ("trellisk-" + std::to_string(::GetCurrentProcessId()) + "-" +
                       std::to_string(counter++));
    } while (!fs::create_directory(root));
    root_ = Utf8(root) + platform::kPathSeparator;
}

TempTree::~TempTree() {
    // Read-only entries (a test's "read-only folder") cannot be removed until they are not.
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(FsPath(root_), error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error))
        ::SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(FsPath(root_), error);
}

bool TempTree::CanMakeLinks() {
    static const bool canMakeLinks = [] {
        const TempTree probe;
        probe.makeFile("target");
        return MakeLink(probe.path("link"), "target");
    }();
    return canMakeLinks;
}

void TempTree::makeDir(const std::string& relative) const {
    Check(::CreateDirectoryW(platform::LongPath(path(relative)).c_str(), nullptr) != 0,
          "CreateDirectoryW " + relative);
}

void TempTree::makeFile(const std::string& relative, std::uint64_t size, std::time_t mtime) const {
    const HANDLE file = ::CreateFileW(platform::LongPath(path(relative)).c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(file != INVALID_HANDLE_VALUE, "CreateFileW " + relative);
    LARGE_INTEGER end{};
    end.QuadPart = static_cast<LONGLONG>(size);
    const bool made = ::SetFilePointerEx(file, end, nullptr, FILE_BEGIN) != 0 &&
                      ::SetEndOfFile(file) != 0 && SetTime(file, mtime);
    ::CloseHandle(file);
    Check(made, "size and time of " + relative);
}

void TempTree::setTime(const std::string& relative, std::time_t mtime) const {
    SetTime(path(relative), mtime);
}

void TempTree::makeLink(const std::string& relative, const std::string& target) const {
    Check(MakeLink(path(relative), target), "CreateSymbolicLinkW " + relative);
}

void TempTree::setLinkTime(const std::string& relative, std::time_t mtime) const {
    SetTime(path(relative), mtime);
}

} // namespace trellisk::test
