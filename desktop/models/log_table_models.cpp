#include "desktop/models/log_table_models.h"

#include <array>

namespace trellisk {

namespace {

template <class Row, std::size_t N> using Fields = std::array<std::string Row::*, N>;

constexpr std::array<ColumnSpec, LogListModel::ColumnCount> kLogColumns = {{
    {"ファイル", 200, Qt::AlignLeft},
    {"内容", 40, Qt::AlignLeft},
    {"サイズ", 80, Qt::AlignRight},
    {"size(+-)/OldName", 70, Qt::AlignRight},
    {"更新日時", 80, Qt::AlignLeft},
    {"検出日時", 80, Qt::AlignLeft},
    {"フォルダ", 100, Qt::AlignLeft},
}};
constexpr Fields<LogRow, LogListModel::ColumnCount> kLogFields = {
    &LogRow::file,       &LogRow::kind,          &LogRow::size,  &LogRow::sizeChange,
    &LogRow::updateTime, &LogRow::detectionTime, &LogRow::folder};

constexpr std::array<ColumnSpec, UpdateListModel::ColumnCount> kUpdateColumns = {{
    {"更新ファイル", 250, Qt::AlignLeft},
    {"Size", 90, Qt::AlignRight},
    {"Date", 80, Qt::AlignLeft},
    {"フォルダ", 100, Qt::AlignLeft},
    {"(MBit/S)", 70, Qt::AlignLeft},
}};
constexpr Fields<UpdateRow, UpdateListModel::ColumnCount> kUpdateFields = {
    &UpdateRow::file, &UpdateRow::size, &UpdateRow::date, &UpdateRow::folder, &UpdateRow::rate};

constexpr std::array<ColumnSpec, NewListModel::ColumnCount> kNewColumns = {{
    {"新規ファイル", 200, Qt::AlignLeft},
    {"サイズ", 50, Qt::AlignRight},
    {"フォルダ", 100, Qt::AlignLeft},
}};
constexpr Fields<NewRow, NewListModel::ColumnCount> kNewFields = {&NewRow::file, &NewRow::size,
                                                                  &NewRow::folder};

constexpr std::array<ColumnSpec, DelListModel::ColumnCount> kDelColumns = {{
    {"削除ファイル", 200, Qt::AlignLeft},
    {"フォルダ", 100, Qt::AlignLeft},
}};
constexpr Fields<DelRow, DelListModel::ColumnCount> kDelFields = {&DelRow::file, &DelRow::folder};

constexpr std::array<ColumnSpec, RenameListModel::ColumnCount> kRenameColumns = {{
    {"新名", 200, Qt::AlignLeft},
    {"旧名", 200, Qt::AlignLeft},
    {"フォルダ", 100, Qt::AlignLeft},
}};
constexpr Fields<RenameRow, RenameListModel::ColumnCount> kRenameFields = {
    &RenameRow::newName, &RenameRow::oldName, &RenameRow::folder};

} // namespace

LogListModel::LogListModel(ObservableTable<LogRow>& table, QObject* parent)
    : TableModelOver(table, kLogColumns, parent) {}

const std::string& LogListModel::text(std::size_t at, int column) const {
    return row(at).*kLogFields[static_cast<std::size_t>(column)];
}

UpdateListModel::UpdateListModel(UpdateTable& table, QObject* parent)
    : TableModelOver(table, kUpdateColumns, parent) {}

const std::string& UpdateListModel::text(std::size_t at, int column) const {
    return row(at).*kUpdateFields[static_cast<std::size_t>(column)];
}

int UpdateListModel::image(std::size_t at, int column) const {
    switch (column) {
    case File:
        return row(at).rowImage;
    case Size:
        return row(at).sizeImage;
    case Date:
        return row(at).dateImage;
    default:
        return -1;
    }
}

NewListModel::NewListModel(ObservableTable<NewRow>& table, QObject* parent)
    : TableModelOver(table, kNewColumns, parent) {}

const std::string& NewListModel::text(std::size_t at, int column) const {
    return row(at).*kNewFields[static_cast<std::size_t>(column)];
}

int NewListModel::image(std::size_t at, int column) const {
    return column == File ? row(at).rowImage : -1;
}

DelListModel::DelListModel(ObservableTable<DelRow>& table, QObject* parent)
    : TableModelOver(table, kDelColumns, parent) {}

const std::string& DelListModel::text(std::size_t at, int column) const {
    return row(at).*kDelFields[static_cast<std::size_t>(column)];
}

RenameListModel::RenameListModel(ObservableTable<RenameRow>& table, QObject* parent)
    : TableModelOver(table, kRenameColumns, parent) {}

const std::string& RenameListModel::text(std::size_t at, int column) const {
    return row(at).*kRenameFields[static_cast<std::size_t>(column)];
}

} // namespace trellisk
