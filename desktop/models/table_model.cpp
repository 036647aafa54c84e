#include "desktop/models/table_model.h"

#include "desktop/appearance/marker_images.h"

namespace trellisk {

TableModel::TableModel(std::span<const ColumnSpec> columns, QObject* parent)
    : QAbstractTableModel(parent), columns_(columns) {
    for (int picture = 0; picture < kMarkerImageCount; ++picture)
        markerIcons_[static_cast<std::size_t>(picture)] = MarkerIcon(picture);
}

int TableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows());
}

int TableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.parent().isValid() || index.row() >= rowCount() ||
        index.column() >= columnCount())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole:
        // Names that are not valid UTF-8 show replacement characters; the engine keeps the bytes.
        return QString::fromStdString(text(row, index.column()));
    case Qt::TextAlignmentRole:
        return static_cast<int>(columns_[static_cast<std::size_t>(index.column())].alignment |
                                Qt::AlignVCenter);
    case Qt::DecorationRole: {
        const int picture = image(row, index.column());
        if (picture < 0 || picture >= kMarkerImageCount)
            return {};
        return markerIcons_[static_cast<std::size_t>(picture)];
    }
    default:
        return {};
    }
}

QVariant TableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const ColumnSpec& column = columns_[static_cast<std::size_t>(section)];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(column.caption);
    case Qt::TextAlignmentRole:
        return static_cast<int>(column.alignment | Qt::AlignVCenter);
    case ColumnWidthRole:
        return column.width;
    case WidestValueRole:
        return QString::fromUtf8(column.widestValue);
    case MarkedRole:
        return column.marked;
    default:
        return {};
    }
}

Qt::ItemFlags TableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int TableModel::image(std::size_t, int) const {
    return -1;
}

void TableModel::rowsAboutToBeInserted(std::size_t first, std::size_t last) {
    beginInsertRows({}, static_cast<int>(first), static_cast<int>(last));
}

void TableModel::rowsInserted() {
    endInsertRows();
}

void TableModel::rowChanged(std::size_t row) {
    const int at = static_cast<int>(row);
    emit dataChanged(index(at, 0), index(at, columnCount() - 1),
                     {Qt::DisplayRole, Qt::DecorationRole});
}

void TableModel::rowsAboutToBeRemoved(std::size_t first, std::size_t last) {
    beginRemoveRows({}, static_cast<int>(first), static_cast<int>(last));
}

void TableModel::rowsRemoved() {
    endRemoveRows();
}

void TableModel::aboutToReset() {
    beginResetModel();
}

void TableModel::reset() {
    endResetModel();
}

void TableModel::scrollTo(std::size_t row) {
    emit scrollRequested(static_cast<int>(row));
}

} // namespace trellisk
