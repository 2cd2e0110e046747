#pragma once

#include "views/common/PixmapCache.h"

#include <QList>
#include <QWidget>

// The rolling bars of a recording in progress: the newest values that fit,
// growing in from the right, red at the bottom to orange at the top. New
// values are only kept until the strip is drawn, with the next frame of the
// frame clock once it can be seen.
class LiveBarStrip : public QWidget {
    Q_OBJECT
public:
    explicit LiveBarStrip(QWidget* parent = nullptr);

    void setPoints(const QList<float>& points);
    // The newest values that fit.
    const QList<float>& shownValues() const;
    int capacity() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QList<float> m_points;
    mutable QList<float> m_shown;
    mutable bool m_shownStale = false;
    PixmapCache m_bars;
};
