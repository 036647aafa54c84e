#include "engine/settings/settings_file.h"

#include "engine/platform/file_replacement.h"
#include "engine/platform/file_system.h"
#include "engine/text/text_helpers.h"

#include <algorithm>

namespace trellisk {

namespace {

constexpr std::string_view kFoldersMarker = "[foldersv040]";
constexpr std::string_view kIntervalMarker = "[interval]";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr const char* kSubfoldersYes = "する";
constexpr const char* kSubfoldersNo = "しない";

std::string NotAnInteger(std::string_view text) {
    // Appended rather than added to a literal, which GCC 12 misreads as an overlapping copy.
    std::string message = "'";
    message.append(text).append("' は整数ではありません");
    return message;
}

// Lines of a text with CR LF, LF or lone CR ends; past the end every line reads as empty text.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    [[nodiscard]] bool atEnd() const { return text_.empty(); }

    std::string_view next() {
        const std::size_t end = std::min(text_.find_first_of("\r\n"), text_.size());
        const std::string_view line = text_.substr(0, end);
        std::size_t skip = end;
        if (skip < text_.size())
            skip += text_.compare(skip, 2, "\r\n") == 0 ? 2 : 1;
        text_.remove_prefix(skip);
        return line;
    }

private:
    std::string_view text_;
};

// Reads the folder block after its marker; `line` ends as the last line read.
std::optional<std::string> ReadFolderBlock(LineReader& reader, Settings& settings,
                                           std::string_view& line) {
    const std::string_view countLine = reader.next();
    const std::optional<int> count = ParseInteger(countLine);
    if (!count)
        return NotAnInteger(countLine);
    if (*count > 0)
        settings.clearBaseAtStart = true;
    line = countLine;
    // The count is not trusted beyond the end of the text.
    for (int i = 0; i < *count && !reader.atEnd(); ++i) {
        FolderEntry entry;
        entry.path = reader.next();
        entry.subfolders = reader.next() == kSubfoldersYes;
        line = reader.next();
        entry.depthLimit = ParseInteger(line).value_or(0);
        settings.folders.append(std::move(entry));
    }
    return std::nullopt;
}

std::optional<std::string> ReadInterval(LineReader& reader, Settings& settings) {
    const std::string_view text = reader.next();
    const std::optional<int> value = ParseInteger(text);
    if (!value)
        return NotAnInteger(text);
    settings.interval = std::clamp(*value, kMinInterval, kMaxInterval);
    settings.timerIntervalMs = settings.interval * 1000;
    return std::nullopt;
}

} // namespace

const char* SubfoldersText(bool subfolders) {
    return subfolders ? kSubfoldersYes : kSubfoldersNo;
}

std::optional<std::string> ParseSettings(std::string_view text, Settings& settings) {
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    LineReader reader(text);
    while (!reader.atEnd()) {
        std::string_view line = reader.next();
        if (line == kFoldersMarker) {
            if (std::optional<std::string> error = ReadFolderBlock(reader, settings, line))
                return error;
        }
        // Tested on the line in hand, which after a folder block is its last line.
        if (line == kIntervalMarker) {
            if (std::optional<std::string> error = ReadInterval(reader, settings))
                return error;
        }
    }
    return std::nullopt;
}

std::string SettingsText(const Settings& settings) {
    std::string text;
    const auto writeLine = [&text](std::string_view line) {
        text += line;
        text += "\r\n";
    };
    writeLine(kFoldersMarker);
    writeLine(std::to_string(settings.folders.count()));
    for (const FolderEntry& entry : settings.folders) {
        writeLine(entry.path);
        writeLine(SubfoldersText(entry.subfolders));
        writeLine(std::to_string(entry.depthLimit));
    }
    writeLine(kIntervalMarker);
    writeLine(std::to_string(settings.interval));
    return text;
}

std::optional<std::string> SettingsFile::load(Settings& settings) {
    using Status = platform::FileContent::Status;
    const platform::FileContent content = platform::ReadRegularFile(fileName_);
    std::optional<std::string> problem;
    switch (content.status) {
    case Status::Missing:
        break;
    case Status::NotRegularFile:
        loaded_ = Loaded::NotRegularFile;
        problem = "通常のファイルではないため読み込めません";
        break;
    case Status::Failed:
        loaded_ = Loaded::Unreadable;
        problem = content.errorText;
        break;
    case Status::Read:
        problem = ParseSettings(content.bytes, settings);
        if (problem)
            loaded_ = Loaded::Partly;
        break;
    }
    loadedText_ = SettingsText(settings);
    if (!problem)
        return std::nullopt;
    std::string message = fileName_ + ": " + *problem;
    if (loaded_ == Loaded::NotRegularFile) {
        message += "\n終了時にも書き込みません。";
    } else {
        backupPending_ = true;
        message += "\n書き換える前に元のファイルを " + backupName() + " として残します。";
    }
    return message;
}

std::optional<std::string> SettingsFile::save(const Settings& settings) {
    const std::string text = SettingsText(settings);
    const bool changed = text != loadedText_;
    if (loaded_ == Loaded::NotRegularFile) {
        if (!changed)
            return std::nullopt;
        return fileName_ + ": 通常のファイルではないため設定を保存できません";
    }
    if (loaded_ == Loaded::Unreadable && !changed)
        return std::nullopt;
    if (backupPending_) {
        if (std::optional<std::string> error = platform::KeepCopy(fileName_, backupName()))
            return backupName() + ": " + *error;
        backupPending_ = false;
    }
    if (std::optional<std::string> error = platform::ReplaceFile(fileName_, text))
        return fileName_ + ": " + *error;
    loaded_ = Loaded::Cleanly;
    loadedText_ = text;
    return std::nullopt;
}

} // namespace trellisk
