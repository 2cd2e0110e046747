#include "views/sourcebar/LevelMeterView.h"

#include "views/common/FrameClock.h"
#include "views/logic/LevelMeterRules.h"
#include "views/style/Style.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double cornerRadius = 3;

} // namespace

LevelMeterView::LevelMeterView(QWidget* parent)
    : QWidget(parent)
{
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
    FrameClock& clock = FrameClock::shared();
    if (!glide || !Style::animationsEnabled() || !FrameClock::isOnScreen(this)) {
        clock.stopAnimating(this);
        setShownFraction(fraction);
        return;
    }
    m_glideFrom = m_shownFraction;
    m_glideTo = fraction;
    m_glideMs = 0;
    if (!clock.isAnimating(this))
        clock.animate(this, [this](qint64 stepMs) { glideStep(stepMs); });
}

void LevelMeterView::glideStep(qint64 stepMs)
{
    m_glideMs += stepMs;
    const double progress = std::min(1.0, double(m_glideMs) / LevelMeterRules::glideMilliseconds);
    setShownFraction(m_glideFrom + (m_glideTo - m_glideFrom) * progress);
    if (progress >= 1.0)
        FrameClock::shared().stopAnimating(this);
}

void LevelMeterView::setShownFraction(double fraction)
{
    // Only a change of the drawn width is worth a frame.
    const bool redraw = std::lround(fraction * width() * 4) != std::lround(m_shownFraction * width() * 4);
    m_shownFraction = fraction;
    if (redraw)
        FrameClock::shared().requestUpdate(this);
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
