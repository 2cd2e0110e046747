#include "views/detail/LiveBarStrip.h"

#include "views/style/Style.h"
#include "views/logic/LiveWaveformRules.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

using namespace LiveWaveformRules;

LiveBarStrip::LiveBarStrip(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(int(stripHeight));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize LiveBarStrip::sizeHint() const
{
    return QSize(600, int(stripHeight));
}

int LiveBarStrip::capacity() const
{
    return LiveWaveformRules::capacity(width());
}

void LiveBarStrip::setPoints(const QList<float>& points)
{
    m_points = points;
    m_shown = LiveWaveformRules::shownValues(m_points, capacity());
    update();
}

void LiveBarStrip::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_shown = LiveWaveformRules::shownValues(m_points, capacity());
}

void LiveBarStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(rect());
    const double h = height();
    const QColor red = Style::color(ColorRole::red);
    const QColor orange = Style::color(ColorRole::orange);
    const int count = int(m_shown.size());
    for (int i = 0; i < count; ++i) {
        const double barH = barHeight(h, m_shown.at(i));
        const QRectF rect(barX(width(), i, count), (h - barH) / 2, barWidth, barH);
        // Each bar runs the whole gradient over its own height.
        QLinearGradient gradient(rect.bottomLeft(), rect.topLeft());
        gradient.setColorAt(0, red);
        gradient.setColorAt(1, orange);
        QPainterPath bar;
        bar.addRoundedRect(rect, 2, 2);
        painter.fillPath(bar, gradient);
    }
}
