#include "views/common/PixmapCache.h"

#include <QPainter>

namespace {
// A bound on what a cache holds; each picture is a few kilobytes.
constexpr qsizetype maxPixmaps = 1024;
} // namespace

const QPixmap& PixmapCache::pixmap(quint64 key, const QSize& size, qreal ratio, const Paint& paint)
{
    if (ratio != m_ratio) {
        m_pixmaps.clear();
        m_ratio = ratio;
    }
    auto found = m_pixmaps.find(key);
    if (found != m_pixmaps.end())
        return *found;
    if (m_pixmaps.size() >= maxPixmaps)
        m_pixmaps.clear();
    QPixmap picture(size * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        paint(painter);
    }
    return *m_pixmaps.insert(key, picture);
}
