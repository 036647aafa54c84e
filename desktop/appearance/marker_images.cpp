#include "desktop/appearance/marker_images.h"

#include "engine/log/log_tables.h"

#include <QPainter>

#include <array>

namespace trellisk {

namespace {

QImage DrawMarker(Marker marker) {
    QImage image(kMarkerImageSize, kMarkerImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(marker == Marker::None ? QColor(Qt::transparent) : QColor(Qt::white));
    if (marker == Marker::None)
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF disc(2.5, 2.5, 11, 11);
    if (marker == Marker::Changed) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::red);
    } else {
        painter.setPen(QPen(Qt::red, 2));
        painter.setBrush(Qt::NoBrush);
    }
    painter.drawEllipse(disc);
    return image;
}

} // namespace

const QImage& MarkerImage(int index) {
    // QImage, unlike QPixmap, may outlive the application object, so a static cache is safe.
    static const std::array<QImage, kMarkerImageCount> images = {
        DrawMarker(Marker::None), DrawMarker(Marker::Changed), DrawMarker(Marker::Complete)};
    static const QImage none;
    if (index < 0 || index >= kMarkerImageCount)
        return none;
    return images[static_cast<std::size_t>(index)];
}

} // namespace trellisk
