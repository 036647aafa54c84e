#include "engine/log/log_export.h"

#include "engine/log/log_texts.h"
#include "engine/platform/file_replacement.h"
#include "engine/text/text_helpers.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace trellisk {

namespace {

// A text file written line by line beside the old one, which it replaces only when asked.
// The first failure is kept and every later write is skipped, so the writing code reads
// straight through and asks once.
class LineFile {
public:
    explicit LineFile(std::string path) : path_(std::move(path)), file_(path_) {}

    // A fixed line of the program's own, written as it is, then CR LF.
    void fixedLine(std::string_view text) {
        file_.write(text);
        file_.write("\r\n");
    }

    // One record of a row: the texts of the columns, separated by tabs, then CR LF.
    template <class Row, class Column>
    void record(const Row& row, std::initializer_list<Column> columns) {
        text_.clear();
        bool first = true;
        for (const Column column : columns) {
            if (!first)
                text_ += '\t';
            text_ += CellText(row, column);
            first = false;
        }
        text_ += "\r\n";
        file_.write(text_);
    }

    // Everything written and on disk; the old file is still in place.
    [[nodiscard]] std::optional<std::string> finishWriting() {
        return named(file_.finishWriting());
    }
    [[nodiscard]] std::optional<std::string> commit() { return named(file_.commit()); }

private:
    [[nodiscard]] std::optional<std::string> named(std::optional<std::string> error) const {
        if (!error)
            return std::nullopt;
        return path_ + ": " + *error;
    }

    std::string path_;
    platform::FileReplacement file_;
    std::string text_;
};

// A title line, then either the header and one line per row, or the empty-table line.
template <class Table, class WriteRow>
void WriteSection(LineFile& file, std::string_view title, std::string_view header,
                  std::string_view none, const Table& table, WriteRow&& writeRow) {
    file.fixedLine(title);
    if (table.empty()) {
        file.fixedLine(none);
        return;
    }
    file.fixedLine(header);
    for (const auto& row : table)
        writeRow(row);
}

// The rate of the updated files is not written.
void WriteResultTables(const LogData& log, LineFile& file) {
    WriteSection(file, "[新規ファイル]", "ファイル名\tサイズ\tフォルダ", "新規ファイルはありません",
                 log.newFiles, [&](const NewRow& row) {
                     file.record(row, {NewColumn::File, NewColumn::Size, NewColumn::Folder});
                 });
    WriteSection(file, "[削除ファイル]", "ファイル名", "削除ファイルはありません", log.deletedFiles,
                 [&](const DeletedRow& row) {
                     file.record(row, {DeletedColumn::File, DeletedColumn::Folder});
                 });
    WriteSection(file, "[更新ファイル]", "ファイル名\tサイズ\t更新日時\tフォルダ",
                 "更新ファイルはありません", log.updatedFiles, [&](const UpdateRow& row) {
                     file.record(row, {UpdatedColumn::File, UpdatedColumn::Size,
                                       UpdatedColumn::Date, UpdatedColumn::Folder});
                 });
    WriteSection(file, "[リネームファイル]", "新ファイル名\t旧ファイル名\tフォルダ",
                 "リネームファイルはありません", log.renamedFiles, [&](const RenameRow& row) {
                     file.record(row, {RenamedColumn::NewName, RenamedColumn::OldName,
                                       RenamedColumn::Folder});
                 });
}

void WriteLogTable(const LogData& log, LineFile& file) {
    if (log.entries.empty()) {
        file.fixedLine("ログファイルはありません");
        return;
    }
    file.fixedLine("ファイル名\t内容\tサイズ\tサイズ増減or旧名\t更新日時\t検出日時\tフォルダ");
    for (const LogRow& row : log.entries)
        file.record(row, {LogColumn::File, LogColumn::Kind, LogColumn::Size, LogColumn::SizeChange,
                          LogColumn::UpdateTime, LogColumn::DetectionTime, LogColumn::Folder});
}

} // namespace

std::string LogFileInitialName(std::time_t now) {
    std::string name = DateTimeText(now);
    std::ranges::replace(name, ':', '-');
    std::ranges::replace(name, '/', '-');
    return "log-" + name;
}

std::optional<std::string> SaveLog(const LogData& log, const std::string& base) {
    LineFile results(base + "-ind.txt");
    WriteResultTables(log, results);
    if (auto error = results.finishWriting())
        return error;
    LineFile entries(base + "-log.txt");
    WriteLogTable(log, entries);
    if (auto error = entries.finishWriting())
        return error;
    // Both are on disk before either replaces its old file, so the pair stays matched.
    if (auto error = results.commit())
        return error;
    return entries.commit();
}

void ClearLog(LogData& log) {
    log.entries.clear();
    log.newFiles.clear();
    log.deletedFiles.clear();
    log.updatedFiles.clear();
}

} // namespace trellisk
