#include "views/badges/BadgeView.h"

#include "views/common/ActivitySpinner.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>

using StatusBadgeRules::Form;
using StatusBadgeRules::Leading;

namespace {

class Dot : public QWidget {
public:
    explicit Dot(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(7, 7);
    }
    QColor color;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
        painter.drawEllipse(rect());
    }
};

} // namespace

BadgeView::BadgeView(QWidget* parent)
    : QWidget(parent)
    , m_row(new QHBoxLayout(this))
    , m_spinner(new ActivitySpinner(10, this))
    , m_icon(new QLabel(this))
    , m_progress(new QProgressBar(this))
    , m_text(new QLabel(this))
{
    m_dot = new Dot(this);
    m_progress->setRange(0, 1000);
    m_progress->setTextVisible(false);
    m_progress->setFixedSize(45, 6);
    m_text->setTextFormat(Qt::PlainText);
    m_row->addWidget(m_spinner);
    m_row->addWidget(m_icon);
    m_row->addWidget(m_dot);
    m_row->addWidget(m_progress);
    m_row->addWidget(m_text);
    setLook({});
}

QString BadgeView::text() const
{
    return m_text->text();
}

bool BadgeView::isClickable() const
{
    return m_look.form == Form::button || m_look.form == Form::restartButton;
}

void BadgeView::setLook(const StatusBadgeRules::Look& look)
{
    m_look = look;
    setVisible(look.form != Form::nothing);
    if (look.form == Form::nothing)
        return;
    m_row->setSpacing(look.spacing);
    const int buttonPad = look.form == Form::button ? 2 : 0;
    m_row->setContentsMargins(look.horizontalPadding + buttonPad, look.verticalPadding, look.horizontalPadding + buttonPad,
                              look.verticalPadding);
    m_spinner->setVisible(look.leading == Leading::spinner);
    m_spinner->setFixedSize(QSize(10, 10) * (look.spinnerScale / 0.6));
    m_spinner->setColor(Style::color(ColorRole::secondary));
    m_icon->setVisible(look.leading == Leading::icon);
    if (look.leading == Leading::icon)
        m_icon->setPixmap(Icons::pixmap(look.icon, 11, Style::color(look.iconTint), devicePixelRatioF()));
    m_dot->setVisible(look.leading == Leading::dot);
    static_cast<Dot*>(m_dot)->color = Style::color(look.iconTint);
    m_progress->setVisible(look.leading == Leading::progressBar);
    m_progress->setValue(static_cast<int>(std::clamp(look.progress, 0.0, 1.0) * 1000));
    m_text->setText(look.text);
    m_text->setFont(look.monospaced ? Style::monospacedFont(look.textSize, look.weight)
                                    : Style::font(look.textSize, look.weight));
    QPalette palette = m_text->palette();
    palette.setColor(QPalette::WindowText, Style::color(look.textTint));
    m_text->setPalette(palette);
    setToolTip(look.toolTip);
    setCursor(isClickable() ? Qt::PointingHandCursor : Qt::ArrowCursor);
    // A badge that acts is a button for the keyboard and screen readers too.
    setFocusPolicy(isClickable() ? Qt::TabFocus : Qt::NoFocus);
    setAccessibleName(look.text.isEmpty() ? look.toolTip : look.text);
    setAccessibleDescription(look.toolTip);
    update();
}

void BadgeView::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (isClickable() && event->modifiers() == Qt::NoModifier
        && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        event->accept();
        Q_EMIT clicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void BadgeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal capsule = area.height() / 2;
    switch (m_look.form) {
    case Form::capsule:
        painter.setPen(Qt::NoPen);
        painter.setBrush(palette().color(QPalette::Window));
        painter.drawRoundedRect(area, capsule, capsule);
        break;
    case Form::button: {
        QColor fill = palette().color(QPalette::Button);
        if (m_pressed)
            fill = fill.darker(112);
        else if (m_hovered)
            fill = fill.lighter(104);
        painter.setPen(QPen(Style::color(ColorRole::secondary, 0.35), 1));
        painter.setBrush(fill);
        painter.drawRoundedRect(area, 5, 5);
        break;
    }
    case Form::restartButton:
        painter.setPen(Qt::NoPen);
        painter.setBrush(Style::color(ColorRole::green, m_pressed ? 0.8 : 1.0));
        painter.drawRoundedRect(area, capsule, capsule);
        break;
    case Form::plainRow:
    case Form::nothing:
        break;
    }
}

void BadgeView::mousePressEvent(QMouseEvent* event)
{
    if (!isClickable() || event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressed = true;
    update();
}

void BadgeView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressed)
        return QWidget::mouseReleaseEvent(event);
    m_pressed = false;
    update();
    if (rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

void BadgeView::enterEvent(QEnterEvent*)
{
    m_hovered = true;
    update();
}

void BadgeView::leaveEvent(QEvent*)
{
    m_hovered = false;
    update();
}
