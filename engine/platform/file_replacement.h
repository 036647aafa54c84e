#pragma once

#include "engine/platform/file_descriptor.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace trellisk::platform {

// Writes a file's new content beside it and puts it in place only once all of it is on disk:
// the text goes to a temporary file in the target's directory, which is synced and then
// renamed over the target, and the directory is synced so that the rename lasts. Until
// commit() succeeds the old file stays exactly as it was; a replacement that is never
// committed leaves no temporary file behind. A target that is a symbolic link is replaced
// through the link: the file it finally points to gets the new content, the link stays.
// Only a regular file is replaced; a directory, device or FIFO in its place is an error.
class FileReplacement {
public:
    // The new file gets the old one's permissions, or `newFileMode` when there is none.
    explicit FileReplacement(const std::string& target, unsigned newFileMode = 0644);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Appends bytes to the new content. After the first failure nothing more is written and
    // commit() reports it.
    void write(std::string_view bytes);
    // Writes out and syncs the new content without putting it in place yet, so that several
    // files can all be written before any of them replaces its old one. The error text when
    // anything failed so far.
    [[nodiscard]] std::optional<std::string> finishWriting();
    // Puts the new content in place (finishing the writing first); the error text when
    // anything failed.
    [[nodiscard]] std::optional<std::string> commit();

private:
    static constexpr std::size_t kBufferSize = 1 << 16;

    void flush();
    // Writes straight to the new file, noting a failure.
    void writeOut(std::string_view bytes);
    void fail(int error);
    void fail(std::string text);

    std::string target_;   // the file finally named by the path, links resolved
    std::string tempPath_; // empty once renamed or removed
    FileDescriptor temp_;
    std::string buffer_;
    std::optional<std::string> error_;
};

// Writes `content` as the new content of `target` through a FileReplacement.
[[nodiscard]] std::optional<std::string> ReplaceFile(const std::string& target,
                                                     std::string_view content);

// Makes `copy` hold the content `original` has now (links followed), replacing an older copy:
// a second hard link where the file system allows it, else a copy of the bytes. Nothing is
// done when `original` is gone. Returns the system's error text when neither worked.
[[nodiscard]] std::optional<std::string> KeepCopy(const std::string& original,
                                                  const std::string& copy);

} // namespace trellisk::platform
