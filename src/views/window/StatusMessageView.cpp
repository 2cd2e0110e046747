#include "views/window/StatusMessageView.h"

#include "views/logic/StatusMessageRules.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>

StatusMessageView::StatusMessageView(QWidget* parent)
    : QWidget(parent)
    , m_icon(new QLabel(this))
    , m_text(new QLabel(this))
{
    setObjectName(QStringLiteral("statusMessage"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 10, 16, 10);
    layout->setSpacing(10);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setFont(Style::font(12, TextWeight::medium));
    layout->addWidget(m_icon, 0, Qt::AlignVCenter);
    layout->addWidget(m_text, 0, Qt::AlignVCenter);

    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(QColor(0, 0, 0, 51));
    shadow->setBlurRadius(10);
    shadow->setOffset(0, 4);
    setGraphicsEffect(shadow);

    if (Style::animationsEnabled()) {
        m_slide = new QPropertyAnimation(this, "pos", this);
        m_slide->setDuration(350);
        m_slide->setEasingCurve(QEasingCurve::OutBack);
    }
    hide();
}

void StatusMessageView::setMessage(const QString& message)
{
    const bool wasShown = !m_message.isEmpty();
    m_message = message;
    if (message.isEmpty()) {
        hide();
        return;
    }
    m_symbol = StatusMessageRules::symbol(message);
    m_icon->setPixmap(Icons::pixmap(m_symbol, 16, Style::color(StatusMessageRules::symbolTint(message)),
                                    devicePixelRatioF()));
    m_text->setText(message);
    adjustSize();
    placeAt(m_top);
    show();
    raise();
    if (m_slide && !wasShown) {
        // In from the top edge.
        const QPoint rest = pos();
        m_slide->stop();
        m_slide->setStartValue(QPoint(rest.x(), rest.y() - height() - m_top));
        m_slide->setEndValue(rest);
        m_slide->start();
    }
}

void StatusMessageView::placeAt(int top)
{
    m_top = top;
    if (!parentWidget())
        return;
    adjustSize();
    move((parentWidget()->width() - width()) / 2, top);
}

void StatusMessageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), 10, 10);
    painter.fillPath(shape, palette().color(QPalette::Window));
}
