#pragma once

#include "engine/log/log_tables.h"

#include <QImage>

namespace trellisk {

// The 16 x 16 pictures of the updated-files and new-files tables, by marker (see Marker):
// blank, changed (filled red circle on white), complete (red ring on white).
inline constexpr int kMarkerImageCount = 3;
inline constexpr int kMarkerImageSize = 16;

// The picture for `index`, or a null image for an index outside the list.
[[nodiscard]] const QImage& MarkerImage(int index);
[[nodiscard]] inline const QImage& MarkerImage(Marker marker) {
    return MarkerImage(static_cast<int>(marker));
}

} // namespace trellisk
