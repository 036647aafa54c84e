#pragma once

#include "engine/log/log_tables.h"
#include "desktop/models/table_model.h"

#include <cstddef>
#include <string>

namespace trellisk {

class LogListModel final : public TableModelOver<LogRow> {
public:
    enum Column { File, Kind, Size, SizeChange, UpdateTime, DetectionTime, Folder, ColumnCount };
    explicit LogListModel(ObservableTable<LogRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] const std::string& text(std::size_t at, int column) const override;
};

class UpdateListModel final : public TableModelOver<UpdateRow> {
public:
    enum Column { File, Size, Date, Folder, Rate, ColumnCount };
    explicit UpdateListModel(UpdateTable& table, QObject* parent = nullptr);

private:
    [[nodiscard]] const std::string& text(std::size_t at, int column) const override;
    [[nodiscard]] int image(std::size_t at, int column) const override;
};

class NewListModel final : public TableModelOver<NewRow> {
public:
    enum Column { File, Size, Folder, ColumnCount };
    explicit NewListModel(ObservableTable<NewRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] const std::string& text(std::size_t at, int column) const override;
    [[nodiscard]] int image(std::size_t at, int column) const override;
};

class DelListModel final : public TableModelOver<DelRow> {
public:
    enum Column { File, Folder, ColumnCount };
    explicit DelListModel(ObservableTable<DelRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] const std::string& text(std::size_t at, int column) const override;
};

class RenameListModel final : public TableModelOver<RenameRow> {
public:
    enum Column { NewName, OldName, Folder, ColumnCount };
    explicit RenameListModel(ObservableTable<RenameRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] const std::string& text(std::size_t at, int column) const override;
};

} // namespace trellisk
