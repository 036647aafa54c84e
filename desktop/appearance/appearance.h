#pragma once

#include <QFont>

class QLabel;
class QWidget;

namespace trellisk {

// The user-interface font at the given pixel size: "ＭＳ Ｐゴシック" where installed, else the
// Japanese sans-serif that Linux desktops carry.
[[nodiscard]] QFont UiFont(int pixelSize);

// Narrows the glyphs of the widget's font so that `text` takes at most `room` pixels; nothing
// changes where it fits already. Narrower glyphs keep a text whole and readable, where tighter
// letter spacing would make them overlap.
void NarrowTextToFit(QWidget& widget, const QString& text, int room);

// Labels that sit on the caption-text colour: the colour of text fields behind the colour of
// their text, which is white behind black on a light desktop, as the caption text was.
void SetCaptionTextBackground(QLabel& label);

} // namespace trellisk
