#include "views/detail/LiveRecordingWaveformView.h"

#include "common/Settings.h"
#include "common/SettingsKeys.h"
#include "viewmodels/RecorderViewModel.h"
#include "views/common/ElidedLabel.h"
#include "views/common/TimerLabel.h"
#include "views/detail/LiveBarStrip.h"
#include "views/detail/RecapFormatSection.h"
#include "views/detail/StateDot.h"
#include "views/logic/LiveWaveformRules.h"
#include "views/logic/TimeTexts.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

LiveRecordingWaveformView::LiveRecordingWaveformView(RecorderViewModel& recorder, Settings& settings, QWidget* parent)
    : QWidget(parent)
    , m_recorder(recorder)
    , m_settings(settings)
    , m_dot(new StateDot)
    , m_word(new QLabel)
    , m_title(new ElidedLabel)
    , m_timer(new TimerLabel)
    , m_strip(new LiveBarStrip)
    , m_format(new RecapFormatSection(recorder))
{
    setObjectName(QStringLiteral("liveRecordingWaveformView"));
    m_word->setObjectName(QStringLiteral("liveStateWord"));
    m_title->setObjectName(QStringLiteral("liveTitle"));
    m_timer->setObjectName(QStringLiteral("liveTimer"));

    QFont wordFont = Style::font(13, TextWeight::bold);
    wordFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    m_word->setFont(wordFont);
    m_word->setTextFormat(Qt::PlainText);
    m_title->setFont(Style::font(16, TextWeight::semibold));
    m_title->setAlignment(Qt::AlignCenter); // one line; a long title is cut
    QFont timerFont = Style::monospacedFont(48, TextWeight::regular);
    timerFont.setWeight(QFont::Light);
    m_timer->setFont(timerFont);
    // On the pane's plain background: a tick redraws the digits alone.
    m_timer->setAttribute(Qt::WA_OpaquePaintEvent);

    auto* column = new QVBoxLayout(this);
    column->setSpacing(20);
    column->addStretch(1);

    auto* status = new QVBoxLayout;
    status->setSpacing(8);
    auto* stateLine = new QHBoxLayout;
    stateLine->setSpacing(8);
    stateLine->addStretch(1);
    stateLine->addWidget(m_dot);
    stateLine->addWidget(m_word);
    stateLine->addStretch(1);
    status->addLayout(stateLine);
    status->addWidget(m_title);
    // Only as wide as its text, so a tick redraws that and nothing beside it.
    status->addWidget(m_timer, 0, Qt::AlignHCenter);
    column->addLayout(status);

    column->addWidget(m_strip);
    column->addWidget(m_format);
    column->addStretch(1);

    connect(&m_recorder, &RecorderViewModel::recorderStateChanged, this, &LiveRecordingWaveformView::refreshState);
    connect(&m_recorder, &RecorderViewModel::activeRecordingTitleChanged, this,
            &LiveRecordingWaveformView::refreshTitle);
    connect(&m_recorder, &RecorderViewModel::recordingDurationChanged, this, &LiveRecordingWaveformView::refreshTimer);
    connect(&m_recorder, &RecorderViewModel::liveWaveformPointsChanged, this,
            [this] { m_strip->setPoints(m_recorder.liveWaveformPoints()); });
    connect(&m_settings, &Settings::valueChanged, this, [this](const QString& key) {
        if (key == SettingsKeys::autoGenerateRecap)
            refreshAutoRecap();
    });

    refreshState();
    refreshTitle();
    refreshTimer();
    refreshAutoRecap();
    m_strip->setPoints(m_recorder.liveWaveformPoints());
}

QString LiveRecordingWaveformView::timerText() const
{
    return m_timer->text();
}

void LiveRecordingWaveformView::refreshState()
{
    const LiveWaveformRules::StateLine line = LiveWaveformRules::stateLine(m_recorder.recorderState());
    m_dot->setLook(line.color, line.ring, line.ringScale, line.ringPulses);
    m_word->setText(line.word);
    QPalette p = m_word->palette();
    p.setColor(QPalette::WindowText, Style::color(line.color));
    m_word->setPalette(p);
}

void LiveRecordingWaveformView::refreshTitle()
{
    const std::optional<QString>& title = m_recorder.activeRecordingTitle();
    const bool shows = title && !title->isEmpty();
    m_title->setVisible(shows);
    m_title->setText(title.value_or(QString()));
}

void LiveRecordingWaveformView::refreshTimer()
{
    m_timer->setText(TimeTexts::timer(m_recorder.recordingDuration()));
}

void LiveRecordingWaveformView::refreshAutoRecap()
{
    // On unless the user turned it off.
    const QVariant value = m_settings.value(SettingsKeys::autoGenerateRecap);
    m_format->setVisible(!value.isValid() || value.toBool());
}
