#include "views/detail/TrimInfoLine.h"

#include "viewmodels/TrimSession.h"
#include "views/detail/PaneLabels.h"
#include "views/logic/TimeTexts.h"
#include "views/logic/TrimHandleRules.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {

QFont lineFont(TextWeight weight = TextWeight::regular)
{
    return Style::monospacedFont(12, weight);
}

// "Start:" and its value, 4 points apart.
QHBoxLayout* field(const QString& caption, QLabel* value)
{
    auto* pair = new QHBoxLayout;
    pair->setSpacing(4);
    pair->addWidget(PaneLabels::plain(caption, lineFont(), Style::color(ColorRole::secondary)));
    pair->addWidget(value);
    return pair;
}

QLabel* separator()
{
    return PaneLabels::plain(QStringLiteral("•"), lineFont(), Style::color(ColorRole::secondary, 0.5));
}

} // namespace

TrimInfoLine::TrimInfoLine(TrimSession& trim, QWidget* parent)
    : RoundedPanel({}, 6, parent)
    , m_trim(trim)
    , m_start(PaneLabels::plain(QString(), lineFont(TextWeight::semibold), Style::color(ColorRole::primary)))
    , m_end(PaneLabels::plain(QString(), lineFont(TextWeight::semibold), Style::color(ColorRole::primary)))
    , m_duration(PaneLabels::plain(QString(), lineFont(TextWeight::bold), Style::color(ColorRole::orange)))
{
    setObjectName(QStringLiteral("trimInfoLine"));
    setPaletteFill(QPalette::Base, 1.0);
    setOutline(Tint{ColorRole::orange, 0.35});
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    m_start->setObjectName(QStringLiteral("trimStartText"));
    m_end->setObjectName(QStringLiteral("trimEndText"));
    m_duration->setObjectName(QStringLiteral("trimDurationText"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 6, 14, 6);
    row->setSpacing(8);
    row->addLayout(field(QStringLiteral("Start:"), m_start));
    row->addWidget(separator());
    row->addLayout(field(QStringLiteral("End:"), m_end));
    row->addWidget(separator());
    row->addLayout(field(QStringLiteral("Duration:"), m_duration));

    connect(&m_trim, &TrimSession::trimStartTimeChanged, this, &TrimInfoLine::refresh);
    connect(&m_trim, &TrimSession::trimEndTimeChanged, this, &TrimInfoLine::refresh);
    refresh();
}

QString TrimInfoLine::startText() const
{
    return m_start->text();
}

QString TrimInfoLine::endText() const
{
    return m_end->text();
}

QString TrimInfoLine::durationText() const
{
    return m_duration->text();
}

void TrimInfoLine::refresh()
{
    const double start = m_trim.trimStartTime();
    const double end = m_trim.trimEndTime();
    m_start->setText(TimeTexts::minutesSeconds(start));
    m_end->setText(TimeTexts::minutesSeconds(end));
    m_duration->setText(TimeTexts::minutesSeconds(TrimHandleRules::selectedLength(start, end)));
}
