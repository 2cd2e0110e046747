#include "views/common/RoundedBox.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

QImage canvas()
{
    QImage image(160, 90, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(250, 250, 250));
    return image;
}

// The way the box is painted without a kept picture.
void paintDirectly(QPainter& painter, const QRectF& box, qreal radius, const QColor& fill, const QColor& outline)
{
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(box, radius, radius);
    painter.fillPath(shape, fill);
    if (outline.isValid()) {
        painter.setPen(QPen(outline, 1));
        painter.drawPath(shape);
    }
}

int largestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return largest;
}

} // namespace

// The kept picture looks as the shape painted in place: whole and half pixel
// positions, an outline, a translated and a scaled painter (a high-density
// screen), and the second use of a kept picture.
TEST(RoundedBox, LooksAsTheShapePaintedInPlace)
{
    const struct {
        const char* name;
        QRectF box;
        QColor outline;
        QPointF shift;
        qreal scale;
    } cases[] = {
        {"whole pixels", QRectF(8, 4, 120, 52), QColor(), {}, 1},
        {"half pixels with an outline", QRectF(8.5, 4.5, 119, 51), QColor(0, 0, 0, 60), {}, 1},
        {"translated", QRectF(8, 4, 120, 52), QColor(), {3, 17}, 1},
        {"scaled", QRectF(4.5, 2.5, 60, 30), QColor(255, 0, 0, 128), {}, 2},
        {"scaled again", QRectF(4.5, 2.5, 60, 30), QColor(255, 0, 0, 128), {}, 2},
    };
    const QColor fill(10, 132, 255, 38);
    for (const auto& each : cases) {
        QImage kept = canvas();
        QImage direct = canvas();
        for (QImage* image : {&kept, &direct}) {
            QPainter painter(image);
            painter.translate(each.shift);
            painter.scale(each.scale, each.scale);
            if (image == &kept)
                RoundedBox::paint(painter, each.box, 6, fill, each.outline);
            else
                paintDirectly(painter, each.box, 6, fill, each.outline);
        }
        EXPECT_LE(largestDifference(kept, direct), 2) << each.name;
    }
}
