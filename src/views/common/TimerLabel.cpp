#include "views/common/TimerLabel.h"

#include "views/common/FrameClock.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>

TimerLabel::TimerLabel(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TimerLabel::setText(const QString& text)
{
    if (text == m_text)
        return;
    const bool resized = text.size() != m_text.size();
    m_text = text;
    if (resized)
        updateGeometry();
    FrameClock::shared().requestUpdate(this);
}

QSize TimerLabel::sizeHint() const
{
    // As wide as the same number of digits, whatever the digits are.
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(QString(m_text.size(), QLatin1Char('0'))) + 2, metrics.height());
}

void TimerLabel::paintEvent(QPaintEvent*)
{
    // Character by character from pictures drawn once: shaping the text
    // anew ten times a second costs more than the rest of the pane.
    const QFontMetrics metrics(font());
    const int advance = metrics.horizontalAdvance(QLatin1Char('0'));
    // A margin for glyphs that reach past their advance.
    const int margin = 4;
    const QSize cell(advance + 2 * margin, metrics.height());
    const QColor color = palette().color(QPalette::WindowText);
    QPainter painter(this);
    if (testAttribute(Qt::WA_OpaquePaintEvent))
        painter.fillRect(rect(), palette().brush(QPalette::Window));
    int x = (width() - advance * int(m_text.size())) / 2;
    const int y = (height() - cell.height()) / 2;
    for (const QChar character : m_text) {
        painter.drawPixmap(x - margin, y, m_glyphs.pixmap(character.unicode(), cell, devicePixelRatioF(), [&](QPainter& glyph) {
            glyph.setFont(font());
            glyph.setPen(color);
            glyph.drawText(QRect(QPoint(0, 0), cell), Qt::AlignCenter, QString(character));
        }));
        x += advance;
    }
}

void TimerLabel::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange) {
        m_glyphs.clear();
        updateGeometry();
    }
}
