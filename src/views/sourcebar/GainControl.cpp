#include "views/sourcebar/GainControl.h"

#include "views/common/Accessibility.h"
#include "views/logic/SourceBarRules.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {

// Slider positions per unit of gain: fine enough to feel continuous.
constexpr int positionsPerUnit = 1000;

} // namespace

GainControl::GainControl(const QString& symbol, float maximum, std::function<QString(float)> tooltip, QWidget* parent)
    : QWidget(parent)
    , m_maximum(maximum)
    , m_tooltip(std::move(tooltip))
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(3);

    auto* icon = new QLabel(this);
    icon->setPixmap(Icons::pixmap(symbol, 9, Style::color(ColorRole::secondary), devicePixelRatioF()));
    row->addWidget(icon, 0, Qt::AlignVCenter);

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("gainSlider"));
    m_slider->setRange(0, static_cast<int>(std::lround(maximum * positionsPerUnit)));
    m_slider->setFocusPolicy(Qt::TabFocus);
    Accessibility::nameFromToolTip(m_slider, this);
    m_slider->setFixedHeight(14);
    row->addWidget(m_slider, 0, Qt::AlignVCenter);

    m_percentage = new QLabel(this);
    m_percentage->setObjectName(QStringLiteral("gainPercentage"));
    m_percentage->setFont(Style::monospacedFont(10, TextWeight::semibold));
    m_percentage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_percentage->setFixedWidth(32);
    QPalette secondary = m_percentage->palette();
    secondary.setColor(QPalette::WindowText, Style::color(ColorRole::secondary));
    m_percentage->setPalette(secondary);
    row->addWidget(m_percentage, 0, Qt::AlignVCenter);

    connect(m_slider, &QSlider::valueChanged, this, [this](int position) {
        m_gain = static_cast<float>(position) / positionsPerUnit;
        showGain();
        Q_EMIT gainChosen(m_gain);
    });
    showGain();
}

void GainControl::setGain(float gain)
{
    m_gain = gain;
    const QSignalBlocker blocker(m_slider);
    if (std::isfinite(gain))
        m_slider->setValue(static_cast<int>(std::lround(std::clamp(gain, 0.0f, m_maximum) * positionsPerUnit)));
    showGain();
}

void GainControl::setSliderWidth(int width)
{
    m_slider->setFixedWidth(width);
}

void GainControl::setPercentageShown(bool shown)
{
    m_percentage->setVisible(shown);
}

int GainControl::percentageWidth() const
{
    return m_percentage->minimumWidth() + layout()->spacing();
}

void GainControl::showGain()
{
    m_percentage->setText(SourceBarRules::percentText(m_gain));
    setToolTip(m_tooltip(m_gain));
}
