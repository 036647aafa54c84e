#pragma once

#include <QImage>

namespace trellisk {

// The 16 x 16 pictures of the updated-files and new-files tables, by RowImage index:
// blank, changed (filled red circle on white), complete (red ring on white).
inline constexpr int kMarkerImageCount = 3;
inline constexpr int kMarkerImageSize = 16;

// The picture for `index`, or a null image for an index outside the list.
[[nodiscard]] const QImage& MarkerImage(int index);

} // namespace trellisk
