#pragma once

#include "desktop/models/table_model.h"
#include "engine/log/log_tables.h"

#include <cstddef>
#include <string>

namespace trellisk {

class LogEntriesModel final : public TableModelOver<LogRow> {
public:
    enum Column { File, Kind, Size, SizeChange, UpdateTime, DetectionTime, Folder, ColumnCount };
    explicit LogEntriesModel(ObservableTable<LogRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] const std::string& text(std::size_t at, int column) const override;
};

class UpdatedFilesModel final : public TableModelOver<UpdateRow> {
public:
    enum Column { File, Size, Date, Folder, Rate, ColumnCount };
    explicit UpdatedFilesModel(UpdateTable& table, QObject* parent = nullptr);

private:
    [[nodiscard]] const std::string& text(std::size_t at, int column) const override;
    [[nodiscard]] int image(std::size_t at, int column) const override;
};

class NewFilesModel final : public TableModelOver<NewRow> {
public:
    enum Column { File, Size, Folder, ColumnCount };
    explicit NewFilesModel(ObservableTable<NewRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] const std::string& text(std::size_t at, int column) const override;
    [[nodiscard]] int image(std::size_t at, int column) const override;
};

class DeletedFilesModel final : public TableModelOver<DeletedRow> {
public:
    enum Column { File, Folder, ColumnCount };
    explicit DeletedFilesModel(ObservableTable<DeletedRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] const std::string& text(std::size_t at, int column) const override;
};

class RenamedFilesModel final : public TableModelOver<RenameRow> {
public:
    enum Column { NewName, OldName, Folder, ColumnCount };
    explicit RenamedFilesModel(ObservableTable<RenameRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] const std::string& text(std::size_t at, int column) const override;
};

} // namespace trellisk
