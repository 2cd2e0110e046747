#include "views/detail/PlaybackWaveformView.h"

#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/TrimSession.h"
#include "viewmodels/collaborators/PlayerService.h"
#include "views/common/ElidedLabel.h"
#include "views/detail/PaneLabels.h"
#include "views/detail/PlaybackWaveformCanvas.h"
#include "views/detail/TrimBar.h"
#include "views/detail/TrimConfirmDialog.h"
#include "views/detail/TrimInfoLine.h"
#include "views/detail/TrimOverlay.h"
#include "views/logic/CurrentRecording.h"
#include "views/logic/TimeTexts.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

PlaybackWaveformView::PlaybackWaveformView(LibraryViewModel& library, TrimSession& trim, const RecordingItem& item,
                                           PlayerService& player, QWidget* parent)
    : QWidget(parent)
    , m_library(library)
    , m_trim(trim)
    , m_item(item)
    , m_player(player)
    , m_title(new ElidedLabel)
    , m_subtitle(PaneLabels::plain(QString(), Style::font(12), Style::color(ColorRole::secondary)))
    , m_canvas(new PlaybackWaveformCanvas)
    , m_timeRow(new QWidget)
    , m_elapsed(PaneLabels::plain(QString(), Style::monospacedFont(13, TextWeight::regular),
                                  Style::color(ColorRole::primary)))
    , m_remaining(PaneLabels::plain(QString(), Style::monospacedFont(13, TextWeight::regular),
                                    Style::color(ColorRole::secondary)))
    , m_trimInfo(new TrimInfoLine(trim))
    , m_trimBar(new TrimBar(trim))
{
    setObjectName(QStringLiteral("playbackWaveformView"));
    m_title->setObjectName(QStringLiteral("playbackTitle"));
    m_subtitle->setObjectName(QStringLiteral("playbackSubtitle"));
    m_elapsed->setObjectName(QStringLiteral("elapsedTime"));
    m_remaining->setObjectName(QStringLiteral("remainingTime"));
    m_title->setFont(Style::font(22, TextWeight::bold));
    m_title->setAlignment(Qt::AlignCenter); // one line; a long title is cut
    m_subtitle->setAlignment(Qt::AlignHCenter);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(20);
    column->addStretch(1);

    auto* titleBlock = new QVBoxLayout;
    titleBlock->setSpacing(6);
    titleBlock->addWidget(m_title);
    titleBlock->addWidget(m_subtitle);
    column->addLayout(titleBlock);
    column->addWidget(m_trimInfo, 0, Qt::AlignHCenter);

    auto* waveformRow = new QHBoxLayout;
    waveformRow->setContentsMargins(40, 0, 40, 0);
    waveformRow->addWidget(m_canvas);
    column->addLayout(waveformRow);
    // Over the waveform, in this pane.
    m_trimOverlay = new TrimOverlay(trim, m_canvas, this);

    auto* times = new QHBoxLayout(m_timeRow);
    times->setContentsMargins(44, 0, 44, 0);
    times->addWidget(m_elapsed);
    times->addStretch(1);
    times->addWidget(m_remaining);
    column->addWidget(m_timeRow);
    column->addWidget(m_trimBar);
    column->addStretch(1);

    connect(m_trimBar, &TrimBar::saveRequested, this, &PlaybackWaveformView::showTrimConfirmation);
    m_canvas->setSeekHandler([this](double seconds) { m_player.seek(seconds); });

    connect(&m_library, &LibraryViewModel::recordingsChanged, this, &PlaybackWaveformView::refreshRecording);
    connect(&m_library, &LibraryViewModel::selectedRecordingChanged, this,
            &PlaybackWaveformView::refreshRecording);
    connect(&m_library, &LibraryViewModel::isPlayingEnhancedChanged, this,
            &PlaybackWaveformView::refreshPlayedColor);
    connect(&m_trim, &TrimSession::isTrimmingActiveChanged, this, &PlaybackWaveformView::refreshTrimMode);
    connect(&m_player, &PlayerService::currentTimeChanged, m_canvas,
            [this](double seconds) { m_canvas->setCurrentTime(seconds); });
    connect(m_canvas, &PlaybackWaveformCanvas::displayTimeChanged, this, &PlaybackWaveformView::refreshTimes);

    m_canvas->setCurrentTime(m_player.currentTime());
    refreshRecording();
    refreshPlayedColor();
    refreshTrimMode();
}

RecordingItem PlaybackWaveformView::activeItem() const
{
    return CurrentRecording::resolve(m_library.recordings(), m_library.selectedRecording(), m_item);
}

void PlaybackWaveformView::refreshRecording()
{
    const RecordingItem item = activeItem();
    m_title->setText(item.title);
    m_subtitle->setText(item.formattedDate() + QStringLiteral(" • MP3 Audio (192 kbps)"));
    m_duration = item.duration;
    m_canvas->setDuration(item.duration);
    m_canvas->setSamples(item.waveformSamples);
    m_trimOverlay->setDuration(item.duration);
    refreshTimes();
}

void PlaybackWaveformView::refreshTimes()
{
    m_elapsed->setText(elapsedText());
    m_remaining->setText(remainingText());
}

QString PlaybackWaveformView::elapsedText() const
{
    return TimeTexts::minutesSeconds(m_canvas->displayTime());
}

QString PlaybackWaveformView::remainingText() const
{
    return TimeTexts::remaining(m_duration, m_canvas->displayTime());
}

void PlaybackWaveformView::refreshPlayedColor()
{
    // Purple while the enhanced copy plays.
    m_canvas->setPlayedColor(Style::color(m_library.isPlayingEnhanced() ? ColorRole::purple : ColorRole::accent));
}

void PlaybackWaveformView::refreshTrimMode()
{
    // Trim mode takes the waveform's clicks and the time labels' place.
    const bool trimming = m_trim.isTrimmingActive();
    m_canvas->setSeekEnabled(!trimming);
    m_timeRow->setVisible(!trimming);
    m_trimInfo->setVisible(trimming);
    m_trimOverlay->setVisible(trimming);
    m_trimBar->setVisible(trimming);
    if (!trimming && m_trimDialog)
        m_trimDialog->reject();
}

void PlaybackWaveformView::showTrimConfirmation()
{
    if (m_trimDialog)
        return;
    m_trimDialog = new TrimConfirmDialog(m_trim.trimStartTime(), m_trim.trimEndTime(), this);
    m_trimDialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_trimDialog, &TrimConfirmDialog::chosen, this,
            [this](bool saveAsNew) { m_trim.executeTrim(saveAsNew); });
    connect(m_trimDialog, &QObject::destroyed, this, [this] { m_trimDialog = nullptr; });
    m_trimDialog->open();
}
