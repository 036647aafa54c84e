#pragma once

#include <optional>
#include <string>
#include <vector>

namespace trellisk {

// An open window of a file manager as the file manager reports it: its name (an object path
// such as "/org/gnome/Nautilus/window/2") and the URIs of the folders it shows, one per tab.
struct FileManagerWindow {
    std::string name;
    std::vector<std::string> locations;
};

// The folder that a window title names, as the title writes it: the whole title when it is the
// absolute path of an existing folder, else PATH of "PATH - NAME" or "PATH — NAME" (a program's
// name after the last such separator) when PATH is. A relative path is never taken.
[[nodiscard]] std::optional<std::string> FolderOfTitle(const std::string& title);

// The folders open in file-manager windows, each existing folder once: first the locations
// the file managers report (windows in the natural order of their names, so that window/2
// comes before window/10; each window's tabs in their order), then the folders the window
// titles name, in the titles' order. Paths are compared with one trailing separator, and the
// first form met is kept.
[[nodiscard]] std::vector<std::string> FolderCandidates(std::vector<FileManagerWindow> windows,
                                                        const std::vector<std::string>& titles);

} // namespace trellisk
