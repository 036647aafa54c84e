#include "engine/platform/file_replacement.h"

#include "engine/platform/file_system.h"
#include "engine/platform/win32/put_in_place.h"
#include "engine/platform/win32/wide_text.h"

#include <atomic>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <utility>

namespace trellisk::platform {

namespace {

// A name beside `path` that no file has yet; the file is created (empty) under it, and the
// C runtime's descriptor for writing returned.
std::optional<std::string> CreateUniqueBeside(const std::string& path, FileDescriptor& fd,
                                              DWORD& error) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = path + "." + std::to_string(::GetCurrentProcessId()) + "-" +
                                 std::to_string(counter++) + ".tmp";
        const HANDLE file = ::CreateFileW(LongPath(name).c_str(), GENERIC_WRITE, 0, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return std::nullopt;
        }
        fd.reset(::_open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY));
        if (!fd) {
            error = ERROR_TOO_MANY_OPEN_FILES;
            ::CloseHandle(file);
            ::DeleteFileW(LongPath(name).c_str());
            return std::nullopt;
        }
        return name;
    }
    return std::nullopt;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1 << 30));
        const int written = ::_write(fd, bytes.data(), chunk);
        if (written < 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

FileReplacement::FileReplacement(const std::string& target, unsigned newFileMode)
    : target_(target) {
    // Windows files have access lists rather than modes: a new file inherits its folder's.
    static_cast<void>(newFileMode);
    const DWORD attributes = ::GetFileAttributesW(LongPath(target_).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        fail(ERROR_DIRECTORY);
        return;
    }
    DWORD error = 0;
    std::optional<std::string> temp = CreateUniqueBeside(target_, temp_, error);
    if (!temp) {
        fail(static_cast<int>(error));
        return;
    }
    tempPath_ = std::move(*temp);
    buffer_.reserve(kBufferSize);
}

FileReplacement::~FileReplacement() {
    temp_.reset();
    if (!tempPath_.empty())
        ::DeleteFileW(LongPath(tempPath_).c_str());
}

void FileReplacement::writeOut(std::string_view bytes) {
    if (!WriteAll(temp_.get(), bytes))
        fail(static_cast<int>(::GetLastError()));
}

void FileReplacement::fail(int error) {
    fail(ErrorText(error != 0 ? static_cast<DWORD>(error) : ERROR_WRITE_FAULT));
}

std::optional<std::string> FileReplacement::finishWriting() {
    if (!temp_)
        return error_;
    flush();
    // _commit is FlushFileBuffers: the bytes are on the disk before the file replaces anything.
    if (!error_ && ::_commit(temp_.get()) != 0)
        fail(static_cast<int>(::GetLastError()));
    if (::_close(temp_.release()) != 0)
        fail(static_cast<int>(::GetLastError()));
    return error_;
}

std::optional<std::string> FileReplacement::commit() {
    if (finishWriting())
        return error_;
    if (std::optional<std::string> error = PutInPlace(tempPath_, target_)) {
        fail(std::move(*error));
        return error_;
    }
    tempPath_.clear();
    return std::nullopt;
}

std::optional<std::string> KeepCopy(const std::string& original, const std::string& copy) {
    // A second link under a fresh name, moved over the old copy, so that there is always
    // either the old copy or the new one; else a copy of the bytes.
    FileDescriptor reserved;
    DWORD error = 0;
    std::optional<std::string> linkName = CreateUniqueBeside(copy, reserved, error);
    if (!linkName)
        return ErrorText(error);
    reserved.reset();
    ::DeleteFileW(LongPath(*linkName).c_str());
    if (::CreateHardLinkW(LongPath(*linkName).c_str(), LongPath(original).c_str(), nullptr)) {
        if (::MoveFileExW(LongPath(*linkName).c_str(), LongPath(copy).c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return std::nullopt;
        ::DeleteFileW(LongPath(*linkName).c_str());
    }
    FileContent content = ReadRegularFile(original);
    switch (content.status) {
    case FileContent::Status::Read:
        return ReplaceFile(copy, content.bytes);
    case FileContent::Status::Missing:
        return std::nullopt;
    case FileContent::Status::NotRegularFile:
        return ErrorText(ERROR_INVALID_PARAMETER);
    case FileContent::Status::Failed:
        break;
    }
    return content.errorText;
}

} // namespace trellisk::platform
