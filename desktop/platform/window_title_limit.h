#pragma once

#include <cstddef>
#include <string>

namespace trellisk::platform {

// The longest title the window list keeps, in bytes.
inline constexpr std::size_t kMaxWindowTitleBytes = 255;

// Cuts a UTF-8 title to kMaxWindowTitleBytes without splitting a character.
void CutToTitleLimit(std::string& title);

} // namespace trellisk::platform
