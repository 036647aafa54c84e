#include "desktop/models/folder_table_model.h"

#include <array>

namespace trellisk {

namespace {

constexpr std::array<ColumnSpec, FolderTableModel::kColumnCount> kFolderColumns = {{
    {"フォルダ名", 200, Qt::AlignLeft},
    {"サブ監視", 70, Qt::AlignLeft},
    {"階層数", 50, Qt::AlignLeft},
}};
constexpr std::array<std::string FolderEntry::*, FolderTableModel::kColumnCount> kFolderFields = {
    &FolderEntry::path, &FolderEntry::subMonitor, &FolderEntry::depth};

} // namespace

FolderTableModel::FolderTableModel(ObservableTable<FolderEntry>& table, QObject* parent)
    : TableModelOver<FolderEntry>(table, kFolderColumns, parent) {}

const std::string& FolderTableModel::text(std::size_t at, int column) const {
    return row(at).*kFolderFields[static_cast<std::size_t>(column)];
}

} // namespace trellisk
