#pragma once

#include "engine/monitor/window_interface.h"

#include <QIcon>

namespace trellisk {

// The program's own icon: a folder with an eye.
[[nodiscard]] QIcon ProgramIcon();

// The tray pictures: an open folder with an arrow pointing into it from the left,
// drawn at 16 x 16 and redrawn, not stretched, at the larger sizes a tray may ask for.
[[nodiscard]] QIcon TrayPictureIcon(TrayPicture picture);

} // namespace trellisk
