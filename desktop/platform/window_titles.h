#pragma once

#include <string>
#include <vector>

namespace trellisk::platform {

// Titles of the visible top-level windows of the desktop, in the window manager's order
// (its client list, else the stacking order of the root window's children). Empty titles are
// left out; each title is at most 255 bytes, cut at a UTF-8 character boundary. Without an X11
// display (none set, unreachable, Wayland only) the list is empty.
[[nodiscard]] std::vector<std::string> VisibleWindowTitles();

} // namespace trellisk::platform
