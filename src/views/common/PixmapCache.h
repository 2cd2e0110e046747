#pragma once

#include <QHash>
#include <QPixmap>

#include <functional>

class QPainter;

// Small pictures drawn once and copied after: an antialiased ring or a
// gradient bar costs far more to rasterise than to copy, and a live view
// draws the same few of them many times a second.
class PixmapCache {
public:
    using Paint = std::function<void(QPainter&)>;

    // The picture stored under `key`: `size` logical pixels at the device
    // pixel ratio `ratio`, drawn by `paint` (on a clear picture) the first time.
    const QPixmap& pixmap(quint64 key, const QSize& size, qreal ratio, const Paint& paint);
    void clear() { m_pixmaps.clear(); }

private:
    QHash<quint64, QPixmap> m_pixmaps;
    qreal m_ratio = 0;
};
