#include "engine/settings/settings_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace trellisk {

namespace {

constexpr const char* kFoldersMarker = "[foldersv040]";
constexpr const char* kIntervalMarker = "[interval]";
constexpr mode_t kNewFileMode = 0644;

std::string ErrorText(int error) {
    return std::system_category().message(error);
}

std::string NotAnInteger(const std::string& text) {
    return "'" + text + "' は整数ではありません";
}

std::optional<int> ParseInteger(const std::string& text) {
    const char* first = text.data();
    const char* last = first + text.size();
    // from_chars takes '-' but not '+'; a sign must still be followed by a digit.
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return value;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Lines of a text file with LF or CR LF ends; past the end every line reads as empty text.
class LineReader {
public:
    explicit LineReader(std::FILE* file) : file_(file) {}

    // True at the end of the file, and when reading failed (see error()).
    bool atEnd() {
        const int c = std::getc(file_);
        if (c == EOF)
            return true;
        std::ungetc(c, file_);
        return false;
    }

    // The next line without its line end; nullopt when reading failed.
    std::optional<std::string> next() {
        std::string line;
        for (int c; (c = std::getc(file_)) != EOF && c != '\n';)
            line.push_back(static_cast<char>(c));
        if (std::ferror(file_))
            return std::nullopt;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return line;
    }

    // The runtime's text for a failed read, or nullopt.
    std::optional<std::string> error() const {
        if (!std::ferror(file_))
            return std::nullopt;
        return ErrorText(errno != 0 ? errno : EIO);
    }

private:
    std::FILE* file_;
};

// Reads the folder block after its marker; `line` ends as the last line read.
std::optional<std::string> ReadFolderBlock(LineReader& reader, Settings& settings,
                                           std::string& line) {
    std::optional<std::string> countLine = reader.next();
    if (!countLine)
        return reader.error();
    const std::optional<int> count = ParseInteger(*countLine);
    if (!count)
        return NotAnInteger(*countLine);
    if (*count > 0)
        settings.clearBaseAtStart = true;
    line = *countLine;
    for (int i = 0; i < *count; ++i) {
        FolderEntry entry;
        for (std::string* field : {&entry.path, &entry.subMonitor, &entry.depth}) {
            std::optional<std::string> text = reader.next();
            if (!text)
                return reader.error();
            *field = std::move(*text);
        }
        line = entry.depth;
        settings.folders.append(std::move(entry));
    }
    return std::nullopt;
}

std::optional<std::string> ReadInterval(LineReader& reader, Settings& settings) {
    std::optional<std::string> text = reader.next();
    if (!text)
        return reader.error();
    const std::optional<int> value = ParseInteger(*text);
    if (!value)
        return NotAnInteger(*text);
    settings.interval = std::clamp(*value, kMinInterval, kMaxInterval);
    settings.timerIntervalMs = settings.interval * 1000;
    return std::nullopt;
}

std::string SettingsText(const Settings& settings) {
    std::string text;
    const auto writeLine = [&text](const std::string& line) {
        text += line;
        text += "\r\n";
    };
    writeLine(kFoldersMarker);
    writeLine(std::to_string(settings.folders.count()));
    for (const FolderEntry& entry : settings.folders) {
        writeLine(entry.path);
        writeLine(entry.subMonitor);
        writeLine(entry.depth);
    }
    writeLine(kIntervalMarker);
    writeLine(std::to_string(settings.interval));
    return text;
}

std::string DirectoryOf(const std::string& fileName) {
    const std::size_t slash = fileName.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : fileName.substr(0, slash);
}

bool WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Makes the rename itself survive a crash; a failure here loses nothing already written.
void SyncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::optional<std::string> LoadSettings(const std::string& fileName, Settings& settings) {
    errno = 0;
    File file(std::fopen(fileName.c_str(), "rb"));
    if (!file) {
        if (errno == ENOENT || errno == ENOTDIR)
            return std::nullopt;
        return ErrorText(errno);
    }
    LineReader reader(file.get());
    while (!reader.atEnd()) {
        std::optional<std::string> line = reader.next();
        if (!line)
            return reader.error();
        if (*line == kFoldersMarker) {
            if (std::optional<std::string> error = ReadFolderBlock(reader, settings, *line))
                return error;
        }
        // Tested on the line in hand, which after a folder block is its last line.
        if (*line == kIntervalMarker) {
            if (std::optional<std::string> error = ReadInterval(reader, settings))
                return error;
        }
    }
    return reader.error();
}

std::optional<std::string> SaveSettings(const std::string& fileName, const Settings& settings) {
    mode_t mode = kNewFileMode;
    struct stat old {};
    if (::stat(fileName.c_str(), &old) == 0)
        mode = old.st_mode & 07777;

    std::string tempName = fileName + ".XXXXXX";
    const int fd = ::mkstemp(tempName.data());
    if (fd < 0)
        return ErrorText(errno);

    const std::string text = SettingsText(settings);
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(tempName.c_str(), fileName.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(tempName.c_str());
        return ErrorText(error);
    }
    SyncDirectory(DirectoryOf(fileName));
    return std::nullopt;
}

} // namespace trellisk
