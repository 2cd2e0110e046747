#include "views/common/ElidedLabel.h"

#include "views/common/LineText.h"

#include <QEvent>
#include <QPainter>

#include <cmath>

ElidedLabel::ElidedLabel(QWidget* parent)
    : QWidget(parent)
{
    // Its natural width when there is room, less (with an ellipsis) when not.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ElidedLabel::setText(const QString& text)
{
    if (text == m_text)
        return;
    m_text = text;
    updateGeometry();
    update();
}

void ElidedLabel::setColor(const QColor& color)
{
    m_color = color;
    update();
}

void ElidedLabel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

QSize ElidedLabel::sizeHint() const
{
    // Rounded up: a width cut to whole pixels would elide the text it was measured for.
    const QFontMetricsF metrics(font());
    return {static_cast<int>(std::ceil(metrics.horizontalAdvance(m_text))) + 1, static_cast<int>(std::ceil(metrics.height()))};
}

QSize ElidedLabel::minimumSizeHint() const
{
    return {0, QFontMetrics(font()).height()};
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(m_color.isValid() ? m_color : palette().color(QPalette::WindowText));
    // Measured the same way as the size hint, so a text given its full width is never cut.
    const bool fits = QFontMetricsF(font()).horizontalAdvance(m_text) <= width();
    painter.setFont(font());
    LineText::draw(painter, QRectF(rect()), m_alignment, m_text, fits);
}

void ElidedLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}
