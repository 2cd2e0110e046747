#include "views/sourcebar/LevelMeterView.h"

#include "views/logic/LevelMeterRules.h"
#include "views/style/Style.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVariantAnimation>

#include <algorithm>

namespace {

constexpr double cornerRadius = 3;

} // namespace

LevelMeterView::LevelMeterView(QWidget* parent)
    : QWidget(parent)
    , m_glide(new QVariantAnimation(this))
{
    m_glide->setDuration(LevelMeterRules::glideMilliseconds);
    m_glide->setEasingCurve(QEasingCurve::Linear);
    connect(m_glide, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_shownFraction = value.toDouble();
        update();
    });
}

void LevelMeterView::setLevel(float level)
{
    if (level == m_level)
        return;
    m_level = level;
    moveTo(LevelMeterRules::fillWidth(1.0, m_level, m_active), true);
}

void LevelMeterView::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    moveTo(LevelMeterRules::fillWidth(1.0, m_level, m_active), false);
}

void LevelMeterView::moveTo(double fraction, bool glide)
{
    m_glide->stop();
    if (!glide || !Style::animationsEnabled() || !isVisible()) {
        m_shownFraction = fraction;
        update();
        return;
    }
    m_glide->setStartValue(m_shownFraction);
    m_glide->setEndValue(fraction);
    m_glide->start();
}

double LevelMeterView::shownFillWidth() const
{
    return m_shownFraction * width();
}

void LevelMeterView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF track(rect());
    painter.setPen(Qt::NoPen);
    painter.setBrush(Style::color(ColorRole::gray, 0.2));
    painter.drawRoundedRect(track, cornerRadius, cornerRadius);

    const double fill = shownFillWidth();
    if (fill <= 0)
        return;
    const QRectF bar(track.left(), track.top(), fill, track.height());
    // Spread over the fill itself, so even a short fill ends in red.
    QLinearGradient gradient(bar.topLeft(), bar.topRight());
    gradient.setColorAt(0.0, Style::color(ColorRole::green));
    gradient.setColorAt(0.5, Style::color(ColorRole::yellow));
    gradient.setColorAt(1.0, Style::color(ColorRole::red));
    painter.setBrush(gradient);
    painter.drawRoundedRect(bar, std::min(cornerRadius, fill / 2), cornerRadius);
}
