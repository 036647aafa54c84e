#include "app/folder_table_model.h"

namespace trellisk {

FolderTableModel::FolderTableModel(ObservableTable<FolderEntry>& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {
    table_.addObserver(this);
}

FolderTableModel::~FolderTableModel() {
    table_.removeObserver(this);
}

int FolderTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(table_.count());
}

int FolderTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant FolderTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole ||
        static_cast<std::size_t>(index.row()) >= table_.count())
        return {};
    const FolderEntry& entry = table_[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
    case kFolderName:
        return QString::fromStdString(entry.path);
    case kSubMonitor:
        return QString::fromStdString(entry.subMonitor);
    case kDepth:
        return QString::fromStdString(entry.depth);
    default:
        return {};
    }
}

QVariant FolderTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case kFolderName:
        return QStringLiteral("フォルダ名");
    case kSubMonitor:
        return QStringLiteral("サブ監視");
    case kDepth:
        return QStringLiteral("階層数");
    default:
        return {};
    }
}

void FolderTableModel::rowsAboutToBeInserted(std::size_t first, std::size_t last) {
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(last));
}

void FolderTableModel::rowsInserted() {
    endInsertRows();
}

void FolderTableModel::rowChanged(std::size_t row) {
    const int r = static_cast<int>(row);
    emit dataChanged(index(r, 0), index(r, kColumnCount - 1), {Qt::DisplayRole});
}

void FolderTableModel::rowsAboutToBeRemoved(std::size_t first, std::size_t last) {
    beginRemoveRows({}, static_cast<int>(first), static_cast<int>(last));
}

void FolderTableModel::rowsRemoved() {
    endRemoveRows();
}

void FolderTableModel::aboutToReset() {
    beginResetModel();
}

void FolderTableModel::reset() {
    endResetModel();
}

void FolderTableModel::scrollTo(std::size_t row) {
    emit scrollRequested(static_cast<int>(row));
}

} // namespace trellisk
