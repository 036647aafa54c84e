// The parts of a file replacement that are the same on every system.
#include "engine/platform/file_replacement.h"

#include <utility>

namespace trellisk::platform {

void FileReplacement::write(std::string_view bytes) {
    if (error_)
        return;
    if (buffer_.size() + bytes.size() > kBufferSize)
        flush();
    if (bytes.size() >= kBufferSize) {
        if (!error_)
            writeOut(bytes);
        return;
    }
    buffer_ += bytes;
}

void FileReplacement::flush() {
    if (!error_)
        writeOut(buffer_);
    buffer_.clear();
}

void FileReplacement::fail(std::string text) {
    if (!error_)
        error_ = std::move(text);
}

std::optional<std::string> ReplaceFile(const std::string& target, std::string_view content) {
    FileReplacement replacement(target);
    replacement.write(content);
    return replacement.commit();
}

} // namespace trellisk::platform
