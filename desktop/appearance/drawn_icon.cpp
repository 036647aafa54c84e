#include "desktop/appearance/drawn_icon.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>

#include <algorithm>

namespace trellisk {

namespace {

class DrawnIconEngine final : public QIconEngine {
public:
    DrawnIconEngine(QString name, Drawing draw, int designSize)
        : name_(std::move(name)), draw_(std::move(draw)), designSize_(designSize) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size() * ratio, mode, state, ratio));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // `size` is in device pixels already, `scale` the ratio it will be shown at.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode, QIcon::State, qreal scale) override {
        const int pixels = std::min(size.width(), size.height());
        if (pixels <= 0)
            return {};
        const QString cacheKey = name_ + QLatin1Char('@') + QString::number(pixels);
        QPixmap pixmap;
        if (!QPixmapCache::find(cacheKey, &pixmap)) {
            pixmap = QPixmap::fromImage(RenderDrawing(draw_, designSize_, pixels));
            QPixmapCache::insert(cacheKey, pixmap);
        }
        pixmap.setDevicePixelRatio(scale);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return {side, side};
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {22, 22}, {24, 24}, {32, 32}, {48, 48}, {64, 64}};
    }

    QIconEngine* clone() const override { return new DrawnIconEngine(name_, draw_, designSize_); }
    QString key() const override { return QStringLiteral("trellisk-drawn"); }

private:
    QString name_;
    Drawing draw_;
    int designSize_;
};

} // namespace

QImage RenderDrawing(const Drawing& draw, int designSize, int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, pixels > designSize);
    painter.scale(double(pixels) / designSize, double(pixels) / designSize);
    draw(painter);
    return image;
}

QIcon DrawnIcon(const QString& name, Drawing draw, int designSize) {
    return QIcon(
        new DrawnIconEngine(QStringLiteral("trellisk/") + name, std::move(draw), designSize));
}

} // namespace trellisk
