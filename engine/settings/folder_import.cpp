#include "engine/settings/folder_import.h"

#include "engine/platform/file_system.h"
#include "engine/text/text_helpers.h"

namespace trellisk {

std::vector<std::string> FolderCandidates(const std::vector<std::string>& titles) {
    std::vector<std::string> candidates;
    for (const std::string& title : titles) {
        // An empty title would become the separator alone, the file system root.
        if (!title.empty() && platform::DirectoryExists(WithTrailingSeparator(title)))
            candidates.push_back(title);
    }
    return candidates;
}

} // namespace trellisk
