#include "views/common/FocusRing.h"

#include "views/style/Style.h"

#include <QApplication>
#include <QFocusEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int ringWidth = 2;
constexpr int ringOutset = 2;
constexpr double ringRadius = 6;

bool cameByKeyboard(Qt::FocusReason reason)
{
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
}

// Reasons of a focus that leaves for a while and comes back where it was.
bool returns(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

FocusRing::FocusRing(QWidget* host)
    : QWidget(host)
    , m_host(host)
{
    setObjectName(QStringLiteral("focusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
    qApp->installEventFilter(this);
}

bool FocusRing::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::FocusIn: {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Back from another window or a menu, the ring comes back with the focus.
        if (returns(reason) && widget == m_target)
            place();
        else if (m_host->isAncestorOf(widget) && cameByKeyboard(reason))
            follow(widget);
        else
            follow(nullptr);
        break;
    }
    case QEvent::FocusOut:
        if (widget == m_target) {
            if (returns(static_cast<QFocusEvent*>(event)->reason()))
                hide();
            else
                follow(nullptr);
        }
        break;
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        // The target or one of its parents moved, resized or went away.
        if (m_target && (widget == m_target || widget->isAncestorOf(m_target)))
            place();
        break;
    default:
        break;
    }
    return false;
}

void FocusRing::follow(QWidget* widget)
{
    m_target = widget;
    place();
}

void FocusRing::place()
{
    if (!m_target || !m_target->isVisibleTo(m_host) || !m_target->hasFocus()) {
        hide();
        return;
    }
    const QPoint topLeft = m_target->mapTo(m_host, QPoint(0, 0));
    const int grow = ringWidth + ringOutset;
    setGeometry(QRect(topLeft, m_target->size()).adjusted(-grow, -grow, grow, grow));
    raise();
    show();
    update();
}

void FocusRing::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(Style::color(ColorRole::accent), ringWidth);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    const double inset = ringWidth / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), ringRadius, ringRadius);
}
