#pragma once

#include <QIcon>
#include <QImage>

#include <functional>

class QPainter;

namespace trellisk {

// Draws a picture in square design units onto a painter already scaled to the target size.
using Drawing = std::function<void(QPainter&)>;

// The drawing on a transparent square image of `pixels` pixels, `designSize` design units
// wide; antialiased where it is drawn larger than designed.
[[nodiscard]] QImage RenderDrawing(const Drawing& draw, int designSize, int pixels);

// An icon that draws itself at every size and device pixel ratio it is asked for, so that it
// stays sharp at 1.5x and 2x instead of being stretched from a smaller picture. Drawings are
// kept in the pixmap cache under `name` and their size.
[[nodiscard]] QIcon DrawnIcon(const QString& name, Drawing draw, int designSize);

} // namespace trellisk
