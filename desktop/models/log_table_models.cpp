#include "desktop/models/log_table_models.h"

#include <array>

namespace trellisk {

namespace {

// Sizes are right-aligned in eleven places; dates have the form yyyy/m/d h:mm:ss.
constexpr const char* kWidestSize = "99999999999";
constexpr const char* kWidestDate = "2026/12/28 23:58:58";

template <class Row, std::size_t N> using Fields = std::array<std::string Row::*, N>;

constexpr std::array<ColumnSpec, LogEntriesModel::ColumnCount> kLogColumns = {{
    {"ファイル", 200, Qt::AlignLeft},
    {"内容", 40, Qt::AlignLeft},
    {"サイズ", 80, Qt::AlignRight, kWidestSize},
    {"size(+-)/OldName", 70, Qt::AlignRight, kWidestSize},
    {"更新日時", 80, Qt::AlignLeft, kWidestDate},
    {"検出日時", 80, Qt::AlignLeft, kWidestDate},
    {"フォルダ", 100, Qt::AlignLeft},
}};
constexpr Fields<LogRow, LogEntriesModel::ColumnCount> kLogFields = {
    &LogRow::file,       &LogRow::kind,          &LogRow::size,  &LogRow::sizeChange,
    &LogRow::updateTime, &LogRow::detectionTime, &LogRow::folder};

constexpr std::array<ColumnSpec, UpdatedFilesModel::ColumnCount> kUpdateColumns = {{
    {"更新ファイル", 250, Qt::AlignLeft, "", true},
    {"Size", 90, Qt::AlignRight, kWidestSize, true},
    {"Date", 80, Qt::AlignLeft, kWidestDate, true},
    {"フォルダ", 100, Qt::AlignLeft},
    {"(MBit/S)", 70, Qt::AlignLeft},
}};
constexpr Fields<UpdateRow, UpdatedFilesModel::ColumnCount> kUpdateFields = {
    &UpdateRow::file, &UpdateRow::size, &UpdateRow::date, &UpdateRow::folder, &UpdateRow::rate};

constexpr std::array<ColumnSpec, NewFilesModel::ColumnCount> kNewColumns = {{
    {"新規ファイル", 200, Qt::AlignLeft, "", true},
    {"サイズ", 50, Qt::AlignRight, kWidestSize},
    {"フォルダ", 100, Qt::AlignLeft},
}};
constexpr Fields<NewRow, NewFilesModel::ColumnCount> kNewFields = {&NewRow::file, &NewRow::size,
                                                                   &NewRow::folder};

constexpr std::array<ColumnSpec, DeletedFilesModel::ColumnCount> kDelColumns = {{
    {"削除ファイル", 200, Qt::AlignLeft},
    {"フォルダ", 100, Qt::AlignLeft},
}};
constexpr Fields<DeletedRow, DeletedFilesModel::ColumnCount> kDelFields = {&DeletedRow::file,
                                                                           &DeletedRow::folder};

constexpr std::array<ColumnSpec, RenamedFilesModel::ColumnCount> kRenameColumns = {{
    {"新名", 200, Qt::AlignLeft},
    {"旧名", 200, Qt::AlignLeft},
    {"フォルダ", 100, Qt::AlignLeft},
}};
constexpr Fields<RenameRow, RenamedFilesModel::ColumnCount> kRenameFields = {
    &RenameRow::newName, &RenameRow::oldName, &RenameRow::folder};

} // namespace

LogEntriesModel::LogEntriesModel(ObservableTable<LogRow>& table, QObject* parent)
    : TableModelOver(table, kLogColumns, parent) {}

const std::string& LogEntriesModel::text(std::size_t at, int column) const {
    return row(at).*kLogFields[static_cast<std::size_t>(column)];
}

UpdatedFilesModel::UpdatedFilesModel(UpdateTable& table, QObject* parent)
    : TableModelOver(table, kUpdateColumns, parent) {}

const std::string& UpdatedFilesModel::text(std::size_t at, int column) const {
    return row(at).*kUpdateFields[static_cast<std::size_t>(column)];
}

int UpdatedFilesModel::image(std::size_t at, int column) const {
    switch (column) {
    case File:
        return static_cast<int>(row(at).rowMarker);
    case Size:
        return static_cast<int>(row(at).sizeMarker);
    case Date:
        return static_cast<int>(row(at).dateMarker);
    default:
        return -1;
    }
}

NewFilesModel::NewFilesModel(ObservableTable<NewRow>& table, QObject* parent)
    : TableModelOver(table, kNewColumns, parent) {}

const std::string& NewFilesModel::text(std::size_t at, int column) const {
    return row(at).*kNewFields[static_cast<std::size_t>(column)];
}

int NewFilesModel::image(std::size_t at, int column) const {
    return column == File ? static_cast<int>(row(at).rowMarker) : -1;
}

DeletedFilesModel::DeletedFilesModel(ObservableTable<DeletedRow>& table, QObject* parent)
    : TableModelOver(table, kDelColumns, parent) {}

const std::string& DeletedFilesModel::text(std::size_t at, int column) const {
    return row(at).*kDelFields[static_cast<std::size_t>(column)];
}

RenamedFilesModel::RenamedFilesModel(ObservableTable<RenameRow>& table, QObject* parent)
    : TableModelOver(table, kRenameColumns, parent) {}

const std::string& RenamedFilesModel::text(std::size_t at, int column) const {
    return row(at).*kRenameFields[static_cast<std::size_t>(column)];
}

} // namespace trellisk
