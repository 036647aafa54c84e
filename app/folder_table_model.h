#pragma once

#include "settings/settings.h"

#include <QAbstractTableModel>

namespace trellisk {

// ListView1 as a view of the settings' folder table: the model follows the table's
// notifications and reads its rows in place.
class FolderTableModel : public QAbstractTableModel, private TableObserver {
    Q_OBJECT
public:
    enum Column { kFolderName, kSubMonitor, kDepth, kColumnCount };

    explicit FolderTableModel(ObservableTable<FolderEntry>& table, QObject* parent = nullptr);
    ~FolderTableModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void scrollRequested(int row);

private:
    void rowsAboutToBeInserted(std::size_t first, std::size_t last) override;
    void rowsInserted() override;
    void rowChanged(std::size_t row) override;
    void rowsAboutToBeRemoved(std::size_t first, std::size_t last) override;
    void rowsRemoved() override;
    void aboutToReset() override;
    void reset() override;
    void scrollTo(std::size_t row) override;

    ObservableTable<FolderEntry>& table_;
};

} // namespace trellisk
