#pragma once

#include "engine/monitor/front_end.h"

#include <QIcon>

namespace trellisk {

// The program's own icon: a folder with an eye.
[[nodiscard]] QIcon ProgramIcon();

// The tray pictures: an open folder with an arrow pointing into it from the left, designed at
// 16 x 16 and redrawn, not stretched, at every size and device pixel ratio a tray asks for.
[[nodiscard]] QIcon TrayPictureIcon(TrayPicture picture);
// The tray picture drawn at `pixels` x `pixels`.
[[nodiscard]] QImage TrayPictureImage(TrayPicture picture, int pixels);

} // namespace trellisk
