#pragma once

#include <QFont>

class QLabel;

namespace trellisk {

// The user-interface font at the given pixel size: "ＭＳ Ｐゴシック" where installed, else the
// Japanese sans-serif that Linux desktops carry.
[[nodiscard]] QFont UiFont(int pixelSize);

// Labels that sit on the caption-text colour: the colour of text fields behind the colour of
// their text, which is white behind black on a light desktop, as the caption text was.
void SetCaptionTextBackground(QLabel& label);

} // namespace trellisk
