#pragma once

#include "engine/settings/settings.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace trellisk {

// The row added for a chosen folder: its path with one trailing separator, subfolders not
// watched, no depth limit.
[[nodiscard]] FolderEntry NewFolderEntry(std::string_view folder);

// The settings file keeps one field a line, so a folder whose path holds CR or LF cannot be
// kept: the message that refuses it, naming it readably; nothing for any other path.
[[nodiscard]] std::optional<std::string> UnstorableFolderMessage(std::string_view folder);

// The row open in the folder details. It follows the rows removed or inserted
// before it, so that the details are never written into another folder's row; once its own
// row is removed, or the table is reloaded, there is no edited row any more.
class EditedFolderRow : private TableObserver {
public:
    explicit EditedFolderRow(ObservableTable<FolderEntry>& table);
    ~EditedFolderRow() override;
    EditedFolderRow(const EditedFolderRow&) = delete;
    EditedFolderRow& operator=(const EditedFolderRow&) = delete;

    void open(std::size_t row) { row_ = row; }
    [[nodiscard]] std::optional<std::size_t> row() const { return row_; }

    // Writes the sub-monitor flag and the depth limit into the edited row. Returns false and
    // changes nothing when there is no edited row.
    bool apply(bool subfolders, int depthLimit);

private:
    void rowsAboutToBeInserted(std::size_t first, std::size_t last) override;
    void rowsInserted() override {}
    void rowChanged(std::size_t) override {}
    void rowsAboutToBeRemoved(std::size_t first, std::size_t last) override;
    void rowsRemoved() override {}
    void aboutToReset() override { row_.reset(); }
    void reset() override {}
    void scrollTo(std::size_t) override {}

    ObservableTable<FolderEntry>& table_;
    std::optional<std::size_t> row_;
};

} // namespace trellisk
