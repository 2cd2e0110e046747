#include "views/common/RoundedBox.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPixmapCache>

#include <cmath>

namespace {

void paintShape(QPainter& painter, const QRectF& box, qreal radius, const QColor& fill, const QColor& outline)
{
    QPainterPath shape;
    shape.addRoundedRect(box, radius, radius);
    if (fill.alpha() > 0)
        painter.fillPath(shape, fill);
    if (outline.isValid() && outline.alpha() > 0) {
        painter.setPen(QPen(outline, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(shape);
    }
}

// Positions and sizes in 1/64 of a device pixel, as the rasterizer sees them.
int sixtyFourths(qreal value)
{
    return qRound(value * 64);
}

} // namespace

namespace RoundedBox {

void paint(QPainter& painter, const QRectF& box, qreal radius, const QColor& fill, const QColor& outline)
{
    if (box.isEmpty() || (fill.alpha() == 0 && (!outline.isValid() || outline.alpha() == 0)))
        return;
    const QTransform toDevice = painter.deviceTransform();
    const qreal scale = toDevice.m11();
    // Rotated, sheared or unevenly scaled painting gains nothing from a kept picture.
    if (toDevice.type() > QTransform::TxScale || scale <= 0 || toDevice.m22() != scale) {
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        paintShape(painter, box, radius, fill, outline);
        painter.restore();
        return;
    }
    // The outline reaches half its width beyond the box.
    const qreal margin = outline.isValid() ? std::ceil(scale) : 0;
    const QPointF origin = toDevice.map(box.topLeft()) - QPointF(margin, margin);
    const QPointF whole(std::floor(origin.x()), std::floor(origin.y()));
    const QPointF offset = origin - whole + QPointF(margin, margin);
    const QSizeF size = box.size() * scale;

    const QString key = QStringLiteral("nimbrel-rounded:%1:%2:%3:%4:%5:%6:%7:%8")
                            .arg(sixtyFourths(size.width()))
                            .arg(sixtyFourths(size.height()))
                            .arg(sixtyFourths(offset.x()))
                            .arg(sixtyFourths(offset.y()))
                            .arg(sixtyFourths(radius))
                            .arg(sixtyFourths(scale))
                            .arg(fill.rgba(), 8, 16)
                            .arg(outline.isValid() ? outline.rgba() : 0u, 8, 16);
    QPixmap picture;
    if (!QPixmapCache::find(key, &picture)) {
        QImage image(static_cast<int>(std::ceil(offset.x() + size.width() + margin)),
                     static_cast<int>(std::ceil(offset.y() + size.height() + margin)),
                     QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter shapePainter(&image);
        shapePainter.setRenderHint(QPainter::Antialiasing);
        shapePainter.translate(offset);
        shapePainter.scale(scale, scale);
        paintShape(shapePainter, QRectF(QPointF(0, 0), box.size()), radius, fill, outline);
        shapePainter.end();
        picture = QPixmap::fromImage(std::move(image));
        picture.setDevicePixelRatio(scale);
        QPixmapCache::insert(key, picture);
    }
    // At a whole device pixel and the device's own scale the picture is copied as it is.
    painter.drawPixmap(toDevice.inverted().map(whole), picture);
}

} // namespace RoundedBox
