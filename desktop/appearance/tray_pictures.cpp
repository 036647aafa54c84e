#include "desktop/appearance/tray_pictures.h"

#include "desktop/appearance/drawn_icon.h"

#include <QPainter>
#include <QPainterPath>

namespace trellisk {

namespace {

constexpr int kDesignSize = 16;

struct FolderColours {
    QColor body;
    QColor flap;
    QColor outline;
};

const FolderColours kYellowFolder{QColor(240, 200, 0), QColor(255, 232, 96), QColor(120, 90, 0)};
const FolderColours kRedFolder{QColor(200, 0, 0), QColor(255, 72, 72), QColor(100, 0, 0)};
const FolderColours kGreenFolder{QColor(0, 140, 96), QColor(64, 200, 150), QColor(0, 70, 48)};

QPen OutlinePen(const QColor& colour) {
    QPen pen(colour, 1.0);
    pen.setCosmetic(false);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void DrawOpenFolder(QPainter& painter, const FolderColours& colours) {
    painter.setPen(OutlinePen(colours.outline));
    // The back with its tab.
    QPainterPath back;
    back.moveTo(5.5, 13.5);
    back.lineTo(5.5, 3.5);
    back.lineTo(9.5, 3.5);
    back.lineTo(10.5, 4.5);
    back.lineTo(14.5, 4.5);
    back.lineTo(14.5, 13.5);
    back.closeSubpath();
    painter.setBrush(colours.body);
    painter.drawPath(back);
    // The open front flap, leaning out.
    QPainterPath flap;
    flap.moveTo(7.5, 7.5);
    flap.lineTo(15.5, 7.5);
    flap.lineTo(14.5, 13.5);
    flap.lineTo(5.5, 13.5);
    flap.closeSubpath();
    painter.setBrush(colours.flap);
    painter.drawPath(flap);
}

void DrawArrow(QPainter& painter, const QColor& fill, const QColor& outline) {
    QPainterPath arrow;
    arrow.moveTo(0.5, 8.5);
    arrow.lineTo(4.5, 8.5);
    arrow.lineTo(4.5, 6.5);
    arrow.lineTo(8.5, 10.0);
    arrow.lineTo(4.5, 13.5);
    arrow.lineTo(4.5, 11.5);
    arrow.lineTo(0.5, 11.5);
    arrow.closeSubpath();
    painter.setPen(OutlinePen(outline));
    painter.setBrush(fill);
    painter.drawPath(arrow);
}

void DrawEye(QPainter& painter) {
    painter.setPen(OutlinePen(QColor(0, 40, 80)));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(3.5, 7.0, 9.0, 5.0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 60, 160));
    painter.drawEllipse(QRectF(6.5, 7.5, 3.0, 4.0));
}

Drawing TrayPictureDrawing(TrayPicture picture) {
    const FolderColours& folder = picture == TrayPicture::Busy ? kRedFolder : kYellowFolder;
    const bool cyanArrow = picture == TrayPicture::Stopped;
    const QColor arrowFill = cyanArrow ? QColor(0, 230, 255) : QColor(230, 0, 0);
    const QColor arrowOutline = cyanArrow ? QColor(0, 80, 120) : QColor(90, 0, 0);
    return [folder, arrowFill, arrowOutline](QPainter& painter) {
        DrawOpenFolder(painter, folder);
        DrawArrow(painter, arrowFill, arrowOutline);
    };
}

} // namespace

QIcon ProgramIcon() {
    return DrawnIcon(
        QStringLiteral("program"),
        [](QPainter& painter) {
            painter.translate(-2.0, 0.0);
            DrawOpenFolder(painter, kGreenFolder);
            painter.translate(2.0, 0.0);
            DrawEye(painter);
        },
        kDesignSize);
}

QIcon TrayPictureIcon(TrayPicture picture) {
    return DrawnIcon(QStringLiteral("tray%1").arg(static_cast<int>(picture)),
                     TrayPictureDrawing(picture), kDesignSize);
}

QImage TrayPictureImage(TrayPicture picture, int pixels) {
    return RenderDrawing(TrayPictureDrawing(picture), kDesignSize, pixels);
}

} // namespace trellisk
