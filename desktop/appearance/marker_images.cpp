#include "desktop/appearance/marker_images.h"

#include "desktop/appearance/drawn_icon.h"

#include <QPainter>

namespace trellisk {

namespace {

bool IsMarker(int index) {
    return index >= 0 && index < kMarkerImageCount;
}

Drawing MarkerDrawing(Marker marker) {
    return [marker](QPainter& painter) {
        if (marker == Marker::None)
            return;
        painter.fillRect(QRectF(0, 0, kMarkerImageSize, kMarkerImageSize), Qt::white);
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
    };
}

} // namespace

QImage MarkerImage(int index, int pixels) {
    if (!IsMarker(index))
        return {};
    return RenderDrawing(MarkerDrawing(static_cast<Marker>(index)), kMarkerImageSize, pixels);
}

QIcon MarkerIcon(int index) {
    if (!IsMarker(index))
        return {};
    return DrawnIcon(QStringLiteral("marker%1").arg(index),
                     MarkerDrawing(static_cast<Marker>(index)), kMarkerImageSize);
}

} // namespace trellisk
