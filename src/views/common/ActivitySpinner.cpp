#include "views/common/ActivitySpinner.h"

#include "views/style/Style.h"

#include <QPainter>
#include <QVariantAnimation>

ActivitySpinner::ActivitySpinner(int side, QWidget* parent)
    : QWidget(parent)
    , m_side(side)
{
    setFixedSize(side, side);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (Style::animationsEnabled()) {
        m_animation = new QVariantAnimation(this);
        m_animation->setStartValue(0);
        m_animation->setEndValue(spokes);
        m_animation->setDuration(turnMs);
        m_animation->setLoopCount(-1);
        connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
            const int step = value.toInt() % spokes;
            if (step != m_step) {
                m_step = step;
                update();
            }
        });
    }
}

void ActivitySpinner::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void ActivitySpinner::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paint(painter, QRectF(0, 0, m_side, m_side), m_color.isValid() ? m_color : Style::color(ColorRole::secondary),
          m_step);
}

void ActivitySpinner::paint(QPainter& painter, const QRectF& square, const QColor& color, int step)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(square.width(), square.height());
    const qreal radius = side / 2.0;
    const qreal width = std::max(1.0, side / 10.0);
    painter.translate(square.center());
    for (int i = 0; i < spokes; ++i) {
        QColor spoke = color;
        const int age = (step - i + spokes) % spokes;
        spoke.setAlphaF(color.alphaF() * (1.0f - 0.8f * age / spokes));
        painter.setPen(QPen(spoke, width, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius + width));
        painter.rotate(360.0 / spokes);
    }
    painter.restore();
}

void ActivitySpinner::showEvent(QShowEvent* event)
{
    if (m_animation)
        m_animation->start();
    QWidget::showEvent(event);
}

void ActivitySpinner::hideEvent(QHideEvent* event)
{
    if (m_animation)
        m_animation->stop();
    QWidget::hideEvent(event);
}
