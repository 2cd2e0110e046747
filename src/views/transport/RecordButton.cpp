#include "views/transport/RecordButton.h"

#include "views/common/Accessibility.h"
#include "views/common/ActivitySpinner.h"
#include "views/style/Style.h"

#include <QPainter>
#include <QPainterPath>

RecordButton::RecordButton(QWidget* parent)
    : QAbstractButton(parent)
    , m_spinner(new ActivitySpinner(22, this))
{
    setFixedSize(56, 56);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    Accessibility::nameFromToolTip(this);
    m_spinner->setColor(Style::color(ColorRole::red));
    m_spinner->move((width() - m_spinner->width()) / 2, (height() - m_spinner->height()) / 2);
    m_spinner->hide();
}

void RecordButton::setFace(Face face)
{
    if (face == m_face)
        return;
    m_face = face;
    m_spinner->setVisible(face == Face::saving);
    update();
}

bool RecordButton::hitButton(const QPoint& position) const
{
    const QPointF offset = QPointF(position) - QPointF(width() / 2.0, height() / 2.0);
    return offset.x() * offset.x() + offset.y() * offset.y() <= 28.0 * 28.0;
}

void RecordButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        painter.setOpacity(0.4);
    else if (isDown())
        painter.setOpacity(0.7);
    const QColor red = Style::color(ColorRole::red);
    const QPointF centre(width() / 2.0, height() / 2.0);

    painter.setPen(QPen(red, 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(centre, 26.5, 26.5);

    painter.setPen(Qt::NoPen);
    painter.setBrush(red);
    switch (m_face) {
    case Face::record:
        painter.drawEllipse(centre, 22.0, 22.0);
        break;
    case Face::stop: {
        QPainterPath square;
        square.addRoundedRect(QRectF(centre.x() - 11, centre.y() - 11, 22, 22), 6, 6);
        painter.drawPath(square);
        break;
    }
    case Face::saving:
        break;
    }
}
