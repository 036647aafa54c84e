#pragma once

#include "engine/platform/win32/wide_text.h"

#include <optional>
#include <string>

namespace trellisk::platform {

// The call that replaces one file with another: ReplaceFileW, unless a test stands in for it
// to give the failures that cannot be provoked at will.
using ReplaceFileCall = decltype(&::ReplaceFileW);

// Puts the file `from` in the place of `to`. ReplaceFileW keeps the old file's attributes and
// access list; where it cannot replace, a move does. A failure never costs the old file's
// content; the system's text says what failed.
[[nodiscard]] std::optional<std::string> PutInPlace(const std::string& from, const std::string& to,
                                                    ReplaceFileCall replace = ::ReplaceFileW);

} // namespace trellisk::platform
