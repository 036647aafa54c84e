#include "desktop/models/folder_table_model.h"

#include "engine/settings/settings_file.h"
#include "engine/text/text_helpers.h"

#include <array>

namespace trellisk {

namespace {

constexpr std::array<ColumnSpec, FolderTableModel::kColumnCount> kFolderColumns = {{
    {"フォルダ名", 200, Qt::AlignLeft},
    {"サブ監視", 70, Qt::AlignLeft},
    {"階層数", 50, Qt::AlignLeft},
}};

} // namespace

FolderTableModel::FolderTableModel(ObservableTable<FolderEntry>& table, QObject* parent)
    : TableModelOver<FolderEntry>(table, kFolderColumns, parent) {}

// The flag and the depth in the words the settings file stores them in.
std::string FolderTableModel::text(std::size_t at, int column) const {
    const FolderEntry& entry = row(at);
    switch (column) {
    case kFolderName:
        return VisibleText(entry.path);
    case kSubMonitor:
        return SubfoldersText(entry.subfolders);
    default:
        return std::to_string(entry.depthLimit);
    }
}

} // namespace trellisk
