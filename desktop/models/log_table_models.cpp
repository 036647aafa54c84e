#include "desktop/models/log_table_models.h"

#include <array>

namespace trellisk {

namespace {

// Sizes are right-aligned in eleven places; dates have the form yyyy/m/d h:mm:ss.
constexpr const char* kWidestSize = "99999999999";
constexpr const char* kWidestDate = "2026/12/28 23:58:58";

template <class Column>
using Columns = std::array<ColumnSpec, static_cast<std::size_t>(Column::Count)>;

constexpr Columns<LogColumn> kLogColumns = {{
    {"ファイル", 200, Qt::AlignLeft},
    {"内容", 40, Qt::AlignLeft},
    {"サイズ", 80, Qt::AlignRight, kWidestSize},
    {"size(+-)/OldName", 70, Qt::AlignRight, kWidestSize},
    {"更新日時", 80, Qt::AlignLeft, kWidestDate},
    {"検出日時", 80, Qt::AlignLeft, kWidestDate},
    {"フォルダ", 100, Qt::AlignLeft},
}};

constexpr Columns<UpdatedColumn> kUpdateColumns = {{
    {"更新ファイル", 250, Qt::AlignLeft, "", true},
    {"Size", 90, Qt::AlignRight, kWidestSize, true},
    {"Date", 80, Qt::AlignLeft, kWidestDate, true},
    {"フォルダ", 100, Qt::AlignLeft},
    {"(MBit/S)", 70, Qt::AlignLeft},
}};

constexpr Columns<NewColumn> kNewColumns = {{
    {"新規ファイル", 200, Qt::AlignLeft, "", true},
    {"サイズ", 50, Qt::AlignRight, kWidestSize},
    {"フォルダ", 100, Qt::AlignLeft},
}};

constexpr Columns<DeletedColumn> kDelColumns = {{
    {"削除ファイル", 200, Qt::AlignLeft},
    {"フォルダ", 100, Qt::AlignLeft},
}};

constexpr Columns<RenamedColumn> kRenameColumns = {{
    {"新名", 200, Qt::AlignLeft},
    {"旧名", 200, Qt::AlignLeft},
    {"フォルダ", 100, Qt::AlignLeft},
}};

} // namespace

LogEntriesModel::LogEntriesModel(ObservableTable<LogRow>& table, QObject* parent)
    : TableModelOver(table, kLogColumns, parent) {}

std::string LogEntriesModel::text(std::size_t at, int column) const {
    return CellText(row(at), static_cast<LogColumn>(column));
}

UpdatedFilesModel::UpdatedFilesModel(UpdateTable& table, QObject* parent)
    : TableModelOver(table, kUpdateColumns, parent) {}

std::string UpdatedFilesModel::text(std::size_t at, int column) const {
    return CellText(row(at), static_cast<UpdatedColumn>(column));
}

int UpdatedFilesModel::image(std::size_t at, int column) const {
    switch (static_cast<UpdatedColumn>(column)) {
    case UpdatedColumn::File:
        return static_cast<int>(row(at).rowMarker);
    case UpdatedColumn::Size:
        return static_cast<int>(row(at).sizeMarker);
    case UpdatedColumn::Date:
        return static_cast<int>(row(at).dateMarker);
    default:
        return -1;
    }
}

NewFilesModel::NewFilesModel(ObservableTable<NewRow>& table, QObject* parent)
    : TableModelOver(table, kNewColumns, parent) {}

std::string NewFilesModel::text(std::size_t at, int column) const {
    return CellText(row(at), static_cast<NewColumn>(column));
}

int NewFilesModel::image(std::size_t at, int column) const {
    return column == ModelColumn(NewColumn::File) ? static_cast<int>(row(at).rowMarker) : -1;
}

DeletedFilesModel::DeletedFilesModel(ObservableTable<DeletedRow>& table, QObject* parent)
    : TableModelOver(table, kDelColumns, parent) {}

std::string DeletedFilesModel::text(std::size_t at, int column) const {
    return CellText(row(at), static_cast<DeletedColumn>(column));
}

RenamedFilesModel::RenamedFilesModel(ObservableTable<RenameRow>& table, QObject* parent)
    : TableModelOver(table, kRenameColumns, parent) {}

std::string RenamedFilesModel::text(std::size_t at, int column) const {
    return CellText(row(at), static_cast<RenamedColumn>(column));
}

} // namespace trellisk
