#pragma once

#include <string>

namespace trellisk::test {

// Why a test skips on a platform that lacks what it tests.

inline const std::string kNoLinks =
    "no symbolic link can be made here (wine's call makes none; Windows needs developer mode)";

inline const std::string kNoPermissionBits =
    "Windows files have access lists, not permission bits (and wine applies neither)";

inline const std::string kNoSmallFileSystem =
    "no small file system can be mounted for a test on Windows, nor a file-size limit set";

inline const std::string kZoneFixedAtStart =
    "Windows takes its time zone once, when the process starts";

inline const std::string kNoCaseOnlyRename =
    "this system keeps the old name when a rename changes only letter case (wine does)";

inline const std::string kNoRawByteNames =
    "Windows names are UTF-16: bytes that are not UTF-8 name no file there";

} // namespace trellisk::test
