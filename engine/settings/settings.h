#pragma once

#include "engine/tables/observable_table.h"

#include <optional>
#include <string>

namespace trellisk {

// One watched folder, every field as text exactly as shown and stored.
struct FolderEntry {
    std::string path;       // "フォルダ名"
    std::string subMonitor; // "サブ監視": "する" watches subfolders too, anything else does not
    std::string depth;      // "階層数": depth limit, "0" = no limit
};

inline constexpr const char* kSubMonitorYes = "する";
inline constexpr const char* kSubMonitorNo = "しない";

inline constexpr int kMinInterval = 1;
inline constexpr int kMaxInterval = 3600;

// What the main window holds and the settings file keeps.
struct Settings {
    ObservableTable<FolderEntry> folders; // the watched folders, in order
    int interval = 3;                     // seconds shown in intervalField
    int timerIntervalMs = 3000;           // the cycle timer, set only when the file is loaded
    bool clearBaseAtStart = false;        // take a new baseline at the next start
};

// The depth limit of an entry, read as an integer like the file's other numbers (see
// ParseInteger); text that is not one reads as 0, no limit. A negative limit admits no
// subfolder.
int DepthLimit(const FolderEntry& entry);

} // namespace trellisk
