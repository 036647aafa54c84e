#pragma once

#include <string>
#include <vector>

namespace trellisk::platform {

// Titles of the visible top-level windows of the desktop, in the order the system keeps them:
// on Windows the z-order, topmost first; on X11 the window manager's client list, else the
// stacking order of the root window's children. Empty titles are left out; each title is at
// most kMaxWindowTitleBytes long, cut at a UTF-8 character boundary. Without a desktop to ask
// (no X11 display set or reachable, Wayland only) the list is empty.
[[nodiscard]] std::vector<std::string> VisibleWindowTitles();

} // namespace trellisk::platform
