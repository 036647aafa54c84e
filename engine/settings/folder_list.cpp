#include "engine/settings/folder_list.h"

#include "engine/text/text_helpers.h"

#include <utility>

namespace trellisk {

FolderEntry NewFolderEntry(std::string_view folder) {
    return {AddBackslash(folder), kSubMonitorNo, "0"};
}

EditedFolderRow::EditedFolderRow(ObservableTable<FolderEntry>& table) : table_(table) {
    table_.addObserver(this);
}

EditedFolderRow::~EditedFolderRow() {
    table_.removeObserver(this);
}

bool EditedFolderRow::apply(bool subMonitor, std::string depth) {
    if (!selfol_ || *selfol_ >= table_.count())
        return false;
    table_.change(*selfol_, [&](FolderEntry& entry) {
        entry.subMonitor = subMonitor ? kSubMonitorYes : kSubMonitorNo;
        entry.depth = std::move(depth);
    });
    return true;
}

void EditedFolderRow::rowsAboutToBeInserted(std::size_t first, std::size_t last) {
    if (selfol_ && first <= *selfol_)
        *selfol_ += last - first + 1;
}

void EditedFolderRow::rowsAboutToBeRemoved(std::size_t first, std::size_t last) {
    if (!selfol_ || *selfol_ < first)
        return;
    if (*selfol_ <= last)
        selfol_.reset();
    else
        *selfol_ -= last - first + 1;
}

} // namespace trellisk
