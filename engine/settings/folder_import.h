#pragma once

#include <string>
#include <vector>

namespace trellisk {

// The window titles that are paths of existing directories, in the given order and exactly as
// given (no separator added). A relative title is looked up from the current directory.
[[nodiscard]] std::vector<std::string> FolderCandidates(const std::vector<std::string>& titles);

} // namespace trellisk
