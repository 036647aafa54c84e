#include "engine/log/log_export.h"

#include "engine/text/text_helpers.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace trellisk {

namespace {

// A text file written line by line through one large buffer. The first failure is kept and
// every later write is skipped, so the writing code reads straight through and asks once.
class LineFile {
public:
    explicit LineFile(std::string path) : path_(std::move(path)) {
        file_ = std::fopen(path_.c_str(), "wb");
        if (file_ == nullptr)
            fail();
        else
            std::setvbuf(file_, nullptr, _IOFBF, 1 << 16);
    }
    LineFile(const LineFile&) = delete;
    LineFile& operator=(const LineFile&) = delete;
    ~LineFile() {
        if (file_ != nullptr)
            std::fclose(file_);
    }

    // One line: the fields separated by tabs, then CR LF.
    void line(std::initializer_list<std::string_view> fields) {
        if (error_)
            return;
        text_.clear();
        bool first = true;
        for (const std::string_view field : fields) {
            if (!first)
                text_ += '\t';
            text_ += field;
            first = false;
        }
        text_ += "\r\n";
        if (std::fwrite(text_.data(), 1, text_.size(), file_) != text_.size())
            fail();
    }

    // Closes the file; a write that only fails when the buffer is flushed shows here.
    [[nodiscard]] std::optional<std::string> close() {
        if (file_ != nullptr) {
            const bool closed = std::fclose(file_) == 0;
            file_ = nullptr;
            if (!closed)
                fail();
        }
        return error_;
    }

private:
    void fail() {
        if (!error_)
            error_ = path_ + ": " + std::strerror(errno);
    }

    std::string path_;
    std::FILE* file_ = nullptr;
    std::string text_;
    std::optional<std::string> error_;
};

// A title line, then either the header and one line per row, or the empty-table line.
template <class Table, class WriteRow>
void WriteSection(LineFile& file, std::string_view title, std::string_view header,
                  std::string_view none, const Table& table, WriteRow&& writeRow) {
    file.line({title});
    if (table.empty()) {
        file.line({none});
        return;
    }
    file.line({header});
    for (const auto& row : table)
        writeRow(row);
}

std::optional<std::string> SaveResultTables(const LogData& log, const std::string& path) {
    LineFile file(path);
    WriteSection(file, "[新規ファイル]", "ファイル名\tサイズ\tフォルダ", "新規ファイルはありません",
                 log.newFiles, [&](const NewRow& row) {
                     file.line({row.file, row.size, row.folder});
                 });
    WriteSection(file, "[削除ファイル]", "ファイル名", "削除ファイルはありません", log.deletedFiles,
                 [&](const DeletedRow& row) {
                     file.line({row.file, row.folder});
                 });
    WriteSection(file, "[更新ファイル]", "ファイル名\tサイズ\t更新日時\tフォルダ",
                 "更新ファイルはありません", log.updatedFiles, [&](const UpdateRow& row) {
                     file.line({row.file, row.size, row.date, row.folder});
                 });
    WriteSection(file, "[リネームファイル]", "新ファイル名\t旧ファイル名\tフォルダ",
                 "リネームファイルはありません", log.renamedFiles, [&](const RenameRow& row) {
                     file.line({row.newName, row.oldName, row.folder});
                 });
    return file.close();
}

std::optional<std::string> SaveLogTable(const LogData& log, const std::string& path) {
    LineFile file(path);
    if (log.entries.empty()) {
        file.line({"ログファイルはありません"});
    } else {
        file.line({"ファイル名\t内容\tサイズ\tサイズ増減or旧名\t更新日時\t検出日時\tフォルダ"});
        for (const LogRow& row : log.entries)
            file.line({row.file, row.kind, row.size, row.sizeChange, row.updateTime,
                       row.detectionTime, row.folder});
    }
    return file.close();
}

} // namespace

std::string LogFileInitialName(std::time_t now) {
    std::string name = DateTimeText(now);
    std::ranges::replace(name, ':', '-');
    std::ranges::replace(name, '/', '-');
    return "log-" + name;
}

std::optional<std::string> SaveLog(const LogData& log, const std::string& base) {
    if (auto error = SaveResultTables(log, base + "-ind.txt"))
        return error;
    return SaveLogTable(log, base + "-log.txt");
}

void ClearLog(LogData& log) {
    log.entries.clear();
    log.newFiles.clear();
    log.deletedFiles.clear();
    log.updatedFiles.clear();
}

} // namespace trellisk
