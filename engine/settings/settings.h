#pragma once

#include "engine/tables/observable_table.h"

#include <string>

namespace trellisk {

// One watched folder.
struct FolderEntry {
    std::string path; // "フォルダ名": as chosen or as stored, bytes as the file system gives them
    bool subfolders = false; // "サブ監視": its subfolders are watched too
    int depthLimit = 0;      // "階層数": how deep the subfolders are watched; 0 = no limit,
                             // a negative limit admits none
};

inline constexpr int kMinInterval = 1;
inline constexpr int kMaxInterval = 3600;

// What the main window holds and the settings file keeps.
struct Settings {
    ObservableTable<FolderEntry> folders; // the watched folders, in order
    int interval = 3;                     // seconds shown in intervalField
    int timerIntervalMs = 3000;           // the cycle timer, set only when the file is loaded
    bool clearBaseAtStart = false;        // take a new baseline at the next start
};

} // namespace trellisk
