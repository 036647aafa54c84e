#include "desktop/appearance/appearance.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPalette>
#include <QWidget>

#include <cmath>

namespace trellisk {

QFont UiFont(int pixelSize) {
    QFont font;
    const QStringList installed = QFontDatabase::families();
    for (const QString& family :
         {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("Noto Sans CJK JP")}) {
        if (installed.contains(family)) {
            font.setFamilies({family});
            break;
        }
    }
    font.setPixelSize(pixelSize);
    return font;
}

void NarrowTextToFit(QWidget& widget, const QString& text, int room) {
    const int advance = widget.fontMetrics().horizontalAdvance(text);
    if (text.isEmpty() || advance <= room || room <= 0)
        return;
    QFont font = widget.font();
    font.setStretch(static_cast<int>(std::floor(100.0 * room / advance)));
    widget.setFont(font);
}

void SetCaptionTextBackground(QLabel& label) {
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
    label.setPalette(palette);
    label.setAutoFillBackground(true);
}

} // namespace trellisk
