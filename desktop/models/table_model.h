#pragma once

#include "desktop/appearance/marker_images.h"
#include "engine/tables/observable_table.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <array>
#include <cstddef>
#include <span>
#include <string>

namespace trellisk {

// One column as the view shows it.
struct ColumnSpec {
    const char* caption; // UTF-8
    int width;           // pixels, at least; wider where the caption or widest value needs it
    Qt::AlignmentFlag alignment;
    const char* widestValue = ""; // the widest text a cell must show whole (numbers, dates)
    bool marked = false;          // its cells may show a marker picture before the text
};

// A read-only model over one of the engine's observable tables. It keeps no rows of its own:
// each cell is read from the table when a view asks for it, and the table's notifications
// become the model's signals, so a table of any length costs the view only its visible cells.
class TableModel : public QAbstractTableModel, public TableObserver {
    Q_OBJECT
public:
    // Header data of a horizontal section: the column's width in pixels.
    static constexpr int ColumnWidthRole = Qt::UserRole + 1;
    // Header data of a horizontal section: the widest text a cell must show whole, or an empty
    // text where any value may be cut.
    static constexpr int WidestValueRole = Qt::UserRole + 2;
    // Header data of a horizontal section: whether its cells may show a marker picture.
    static constexpr int MarkedRole = Qt::UserRole + 3;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index,
                                int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // The engine asked for this row to be shown.
    void scrollRequested(int row);

protected:
    TableModel(std::span<const ColumnSpec> columns, QObject* parent);

    [[nodiscard]] virtual std::size_t rows() const = 0;
    // The cell's text as shown, made when the view asks for it.
    [[nodiscard]] virtual std::string text(std::size_t row, int column) const = 0;
    // The marker image index of a cell, or -1 for a cell without a picture.
    [[nodiscard]] virtual int image(std::size_t row, int column) const;

private:
    void rowsAboutToBeInserted(std::size_t first, std::size_t last) override;
    void rowsInserted() override;
    void rowChanged(std::size_t row) override;
    void rowsAboutToBeRemoved(std::size_t first, std::size_t last) override;
    void rowsRemoved() override;
    void aboutToReset() override;
    void reset() override;
    void scrollTo(std::size_t row) override;

    std::span<const ColumnSpec> columns_;
    std::array<QIcon, kMarkerImageCount> markerIcons_;
};

// Binds a model to its table for the model's lifetime.
template <class Row> class TableModelOver : public TableModel {
protected:
    TableModelOver(ObservableTable<Row>& table, std::span<const ColumnSpec> columns,
                   QObject* parent)
        : TableModel(columns, parent), table_(table) {
        table_.addObserver(this);
    }
    ~TableModelOver() override { table_.removeObserver(this); }

    [[nodiscard]] std::size_t rows() const override { return table_.count(); }
    [[nodiscard]] const Row& row(std::size_t at) const { return table_[at]; }

private:
    ObservableTable<Row>& table_;
};

} // namespace trellisk
