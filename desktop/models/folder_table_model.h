#pragma once

#include "desktop/models/table_model.h"
#include "engine/settings/settings.h"

namespace trellisk {

// folderTable as a view of the settings' folder table, read in place.
class FolderTableModel final : public TableModelOver<FolderEntry> {
public:
    enum Column { kFolderName, kSubMonitor, kDepth, kColumnCount };

    explicit FolderTableModel(ObservableTable<FolderEntry>& table, QObject* parent = nullptr);

private:
    [[nodiscard]] std::string text(std::size_t at, int column) const override;
};

} // namespace trellisk
