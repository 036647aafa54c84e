#pragma once

#include "engine/log/log_tables.h"

#include <QIcon>
#include <QImage>

namespace trellisk {

// The 16 x 16 pictures of the updated-files and new-files tables, by marker (see Marker):
// blank, changed (filled red circle on white), complete (red ring on white).
inline constexpr int kMarkerImageCount = 3;
inline constexpr int kMarkerImageSize = 16;

// The picture for `index` drawn at `pixels` x `pixels`, or a null image for an index outside
// the list.
[[nodiscard]] QImage MarkerImage(int index, int pixels = kMarkerImageSize);
[[nodiscard]] inline QImage MarkerImage(Marker marker, int pixels = kMarkerImageSize) {
    return MarkerImage(static_cast<int>(marker), pixels);
}

// The picture for `index` as an icon drawn at the size and device pixel ratio it is shown at,
// or a null icon for an index outside the list.
[[nodiscard]] QIcon MarkerIcon(int index);

} // namespace trellisk
