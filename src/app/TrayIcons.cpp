#include "app/TrayIcons.h"

#include <QPainter>
#include <QLinearGradient>
#include <QPixmap>

namespace TrayIcons {

namespace {

// Bar heights of the waveform, as fractions of the drawing's height.
constexpr double waveform[] = {0.30, 0.62, 1.0, 0.62, 0.30};

void drawBars(QPainter& painter, const QRectF& box, const QColor& color)
{
    const int count = std::size(waveform);
    const double pitch = box.width() / count;
    const double barWidth = pitch * 0.55;
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    for (int i = 0; i < count; ++i) {
        const double height = box.height() * waveform[i];
        const QRectF bar(box.left() + i * pitch + (pitch - barWidth) / 2, box.center().y() - height / 2, barWidth, height);
        painter.drawRoundedRect(bar, barWidth / 2, barWidth / 2);
    }
}

void drawPause(QPainter& painter, const QRectF& box, const QColor& color)
{
    const double barWidth = box.width() * 0.26;
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(box.left() + box.width() * 0.16, box.top(), barWidth, box.height()), barWidth / 3,
                            barWidth / 3);
    painter.drawRoundedRect(QRectF(box.right() - box.width() * 0.16 - barWidth, box.top(), barWidth, box.height()),
                            barWidth / 3, barWidth / 3);
}

QPixmap draw(TrayMenu::Look look, int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF full(0, 0, side, side);
    const QRectF inner = full.adjusted(side * 0.27, side * 0.27, -side * 0.27, -side * 0.27);
    switch (look) {
    case TrayMenu::Look::idle: {
        // A mid grey reads on light and on dark panels alike.
        const QRectF box = full.adjusted(side * 0.08, side * 0.14, -side * 0.08, -side * 0.14);
        drawBars(painter, box, QColor(0x76, 0x76, 0x80));
        break;
    }
    case TrayMenu::Look::recording:
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xe5, 0x39, 0x35));
        painter.drawEllipse(full.adjusted(0.5, 0.5, -0.5, -0.5));
        drawBars(painter, inner.adjusted(-side * 0.06, 0, side * 0.06, 0), Qt::white);
        break;
    case TrayMenu::Look::paused:
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(0xf5, 0x9e, 0x0b));
        painter.drawEllipse(full.adjusted(0.5, 0.5, -0.5, -0.5));
        drawPause(painter, inner, Qt::white);
        break;
    }
    return pixmap;
}

QPixmap drawAppIcon(int side)
{
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF tile(side * 0.04, side * 0.04, side * 0.92, side * 0.92);
    QLinearGradient fill(tile.topLeft(), tile.bottomRight());
    fill.setColorAt(0, QColor(0x8b, 0x5c, 0xf6));
    fill.setColorAt(1, QColor(0x5b, 0x3f, 0xd6));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(tile, side * 0.22, side * 0.22);
    drawBars(painter, tile.adjusted(side * 0.2, side * 0.24, -side * 0.2, -side * 0.24), Qt::white);
    return pixmap;
}

} // namespace

QIcon appIcon()
{
    QIcon result;
    for (int side : {16, 22, 32, 48, 64, 128, 256})
        result.addPixmap(drawAppIcon(side));
    return result;
}

QIcon icon(TrayMenu::Look look)
{
    QIcon result;
    for (int side : {16, 22, 24, 32, 48, 64})
        result.addPixmap(draw(look, side));
    return result;
}

} // namespace TrayIcons
