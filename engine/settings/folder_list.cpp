#include "engine/settings/folder_list.h"

#include "engine/text/text_helpers.h"

namespace trellisk {

FolderEntry NewFolderEntry(std::string_view folder) {
    return {WithTrailingSeparator(folder), false, 0};
}

std::optional<std::string> UnstorableFolderMessage(std::string_view folder) {
    if (folder.find_first_of("\r\n") == std::string_view::npos)
        return std::nullopt;
    return "改行を含むフォルダ名は登録できません: " + VisibleText(folder);
}

EditedFolderRow::EditedFolderRow(ObservableTable<FolderEntry>& table) : table_(table) {
    table_.addObserver(this);
}

EditedFolderRow::~EditedFolderRow() {
    table_.removeObserver(this);
}

bool EditedFolderRow::apply(bool subfolders, int depthLimit) {
    if (!row_ || *row_ >= table_.count())
        return false;
    table_.change(*row_, [&](FolderEntry& entry) {
        entry.subfolders = subfolders;
        entry.depthLimit = depthLimit;
    });
    return true;
}

void EditedFolderRow::rowsAboutToBeInserted(std::size_t first, std::size_t last) {
    if (row_ && first <= *row_)
        *row_ += last - first + 1;
}

void EditedFolderRow::rowsAboutToBeRemoved(std::size_t first, std::size_t last) {
    if (!row_ || *row_ < first)
        return;
    if (*row_ <= last)
        row_.reset();
    else
        *row_ -= last - first + 1;
}

} // namespace trellisk
