#pragma once

#include "desktop/models/table_model.h"
#include "engine/log/log_tables.h"
#include "engine/log/log_texts.h"

#include <cstddef>
#include <string>

namespace trellisk {

// The log window's tables. Each cell's text is made when the view asks for it, by the same
// functions that write the saved log; the columns are the engine's.
class LogEntriesModel final : public TableModelOver<LogRow> {
public:
    explicit LogEntriesModel(ObservableTable<LogRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] std::string text(std::size_t at, int column) const override;
};

class UpdatedFilesModel final : public TableModelOver<UpdateRow> {
public:
    explicit UpdatedFilesModel(UpdateTable& table, QObject* parent = nullptr);

private:
    [[nodiscard]] std::string text(std::size_t at, int column) const override;
    [[nodiscard]] int image(std::size_t at, int column) const override;
};

class NewFilesModel final : public TableModelOver<NewRow> {
public:
    explicit NewFilesModel(ObservableTable<NewRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] std::string text(std::size_t at, int column) const override;
    [[nodiscard]] int image(std::size_t at, int column) const override;
};

class DeletedFilesModel final : public TableModelOver<DeletedRow> {
public:
    explicit DeletedFilesModel(ObservableTable<DeletedRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] std::string text(std::size_t at, int column) const override;
};

class RenamedFilesModel final : public TableModelOver<RenameRow> {
public:
    explicit RenamedFilesModel(ObservableTable<RenameRow>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] std::string text(std::size_t at, int column) const override;
};

// A column of the engine's as the model's column number.
template <class Column> [[nodiscard]] constexpr int ModelColumn(Column column) {
    return static_cast<int>(column);
}

} // namespace trellisk
