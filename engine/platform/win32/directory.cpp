#include "engine/platform/directory.h"

#include "engine/platform/win32/wide_text.h"

namespace trellisk::platform {

namespace {

bool IsDotOrDotDot(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

EntryKind KindOf(const WIN32_FIND_DATAW& found) {
    // A reparse point (symbolic link, junction) is followed when its facts are read.
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return EntryKind::Link;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return EntryKind::Directory;
    return EntryKind::File;
}

std::uint64_t Size(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

// Opens the directory at the "\\?\" path (without a trailing separator) for its identity.
Directory::Opening OpenByPath(std::wstring path, auto make) {
    const HANDLE handle = ::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        const bool isDirectory =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        const bool gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
                          error == ERROR_INVALID_NAME || error == ERROR_DIRECTORY;
        return {!gone && isDirectory ? OpenStatus::Unreadable : OpenStatus::NotADirectory,
                std::nullopt};
    }
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = ::GetFileInformationByHandle(handle, &info);
    ::CloseHandle(handle);
    if (!known)
        return {OpenStatus::Unreadable, std::nullopt};
    if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {OpenStatus::NotADirectory, std::nullopt};
    if (path.back() != L'\\')
        path.push_back(L'\\');
    return make(std::move(path), DirectoryIdentity{info.dwVolumeSerialNumber,
                                                   Size(info.nFileIndexHigh, info.nFileIndexLow)});
}

} // namespace

Directory::Opening Directory::open(const std::string& path) {
    std::wstring wide = LongPath(path);
    // "\\?\C:\" keeps its separator (a drive root needs it); any other loses it.
    while (wide.size() > 7 && wide.back() == L'\\')
        wide.pop_back();
    return OpenByPath(std::move(wide), [](std::wstring p, DirectoryIdentity id) {
        return Opening{OpenStatus::Opened, Directory(std::move(p), id)};
    });
}

Directory::Opening Directory::openChild(const char* name) const {
    return OpenByPath(path_ + Wide(name), [](std::wstring p, DirectoryIdentity id) {
        return Opening{OpenStatus::Opened, Directory(std::move(p), id)};
    });
}

bool Directory::onPseudoFileSystem() const {
    return false; // Windows keeps no kernel state in its file systems' trees.
}

EntryStatus Directory::readFacts(const char* name, EntryKind kind, FileFacts& facts) const {
    if (kind == EntryKind::Directory)
        return EntryStatus::Skipped;
    // The enumeration's own size and time, unless a link must be followed.
    if (kind == EntryKind::File && reader_ && reader_->haveFound_ && reader_->name_ == name) {
        facts.size = Size(reader_->found_.nFileSizeHigh, reader_->found_.nFileSizeLow);
        facts.lastWriteSeconds = UnixSeconds(reader_->found_.ftLastWriteTime);
        return EntryStatus::File;
    }
    const std::wstring path = path_ + Wide(name);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    // A link is followed; one that leads nowhere is a file of its own.
    const HANDLE handle = ::CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION info{};
        const bool known = ::GetFileInformationByHandle(handle, &info);
        ::CloseHandle(handle);
        if (!known)
            return EntryStatus::Unreadable;
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            return EntryStatus::Skipped;
        facts.size = Size(info.nFileSizeHigh, info.nFileSizeLow);
        facts.lastWriteSeconds = UnixSeconds(info.ftLastWriteTime);
        return EntryStatus::File;
    }
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? EntryStatus::Skipped
                   : EntryStatus::Unreadable;
    }
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY &&
        !(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return EntryStatus::Skipped;
    facts.size = Size(data.nFileSizeHigh, data.nFileSizeLow);
    facts.lastWriteSeconds = UnixSeconds(data.ftLastWriteTime);
    return EntryStatus::File;
}

DirectoryReader::DirectoryReader() = default;

void DirectoryReader::start(const Directory& dir) {
    dir_ = &dir;
    dir.reader_ = this;
    find_.reset();
    haveFound_ = false;
    done_ = failed_ = false;
}

std::optional<DirectoryEntry> DirectoryReader::next() {
    for (;;) {
        if (done_)
            return std::nullopt;
        if (!find_.valid()) {
            const std::wstring pattern = dir_->path_ + L"*";
            find_.reset(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found_,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
            if (!find_.valid()) {
                // A drive root has no "." or "..": an empty one reports no file at all.
                const DWORD error = ::GetLastError();
                done_ = true;
                failed_ = error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES;
                return std::nullopt;
            }
        } else if (!::FindNextFileW(find_.get(), &found_)) {
            done_ = true;
            haveFound_ = false;
            failed_ = ::GetLastError() != ERROR_NO_MORE_FILES;
            find_.reset();
            return std::nullopt;
        }
        if (IsDotOrDotDot(found_.cFileName))
            continue;
        name_ = Utf8(found_.cFileName);
        haveFound_ = true;
        return DirectoryEntry{name_.c_str(), KindOf(found_)};
    }
}

} // namespace trellisk::platform
