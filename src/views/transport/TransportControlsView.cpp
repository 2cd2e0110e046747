#include "views/transport/TransportControlsView.h"

#include "viewmodels/collaborators/PlayerService.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"
#include "views/common/PlainButton.h"
#include "views/logic/TransportRules.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"
#include "views/transport/RecordButton.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

namespace {

constexpr int sideZoneWidth = 140;

void apply(QWidget* button, const TransportRules::Button& look)
{
    button->setVisible(look.visible);
    button->setEnabled(look.enabled);
    button->setToolTip(look.tooltip);
}

} // namespace

TransportControlsView::TransportControlsView(LibraryViewModel& library, RecorderViewModel& recorder,
                                             PlayerService& player, QWidget* parent)
    : QWidget(parent)
    , m_library(library)
    , m_recorder(recorder)
    , m_player(player)
{
    setObjectName(QStringLiteral("transportBar"));
    auto* bar = new QHBoxLayout(this);
    bar->setContentsMargins(24, 14, 24, 14);

    auto* left = new QWidget(this);
    left->setFixedWidth(sideZoneWidth);
    auto* leftLayout = new QHBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(12);
    m_speed = new QToolButton(left);
    m_speed->setObjectName(QStringLiteral("speedMenu"));
    m_speed->setPopupMode(QToolButton::InstantPopup);
    m_speed->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_speed->setFocusPolicy(Qt::TabFocus);
    m_speed->setAccessibleName(QStringLiteral("Playback Speed"));
    m_speed->setFixedWidth(60);
    m_speed->setFont(Style::monospacedFont(12, TextWeight::bold));
    m_speed->setStyleSheet(QStringLiteral("QToolButton { color: %1; background: %2; border: none; border-radius: 6px;"
                                          " padding: 4px 8px; } QToolButton::menu-indicator { image: none; width: 0px; }")
                               .arg(Style::css(Style::color(ColorRole::secondary)),
                                    Style::css(palette().color(QPalette::Base))));
    auto* speeds = new QMenu(m_speed);
    for (const auto& row : TransportRules::speedRows()) {
        const float rate = row.rate;
        speeds->addAction(row.text, this, [this, rate] { m_player.setRate(rate); });
    }
    m_speed->setMenu(speeds);
    m_speedSpacer = new QWidget(left);
    m_speedSpacer->setFixedWidth(60);
    leftLayout->addWidget(m_speed);
    leftLayout->addWidget(m_speedSpacer);
    leftLayout->addStretch(1);
    bar->addWidget(left);
    bar->addStretch(1);

    auto* centre = new QHBoxLayout;
    centre->setSpacing(24);
    m_skipBack = new PlainButton(QStringLiteral("gobackward.15"), 22, {ColorRole::primary}, QString(), this);
    m_playPause = new PlainButton(QStringLiteral("play.circle.fill"), 44, {ColorRole::primary}, QString(), this);
    m_skipForward = new PlainButton(QStringLiteral("goforward.15"), 22, {ColorRole::primary}, QString(), this);
    m_record = new RecordButton(this);
    m_pauseResume = new PlainButton(QStringLiteral("pause.circle.fill"), 28, {ColorRole::orange}, QString(), this);
    m_stop = new RecordButton(this);
    m_stop->setFace(RecordButton::Face::stop);
    m_done = new QPushButton(QStringLiteral("Done"), this);
    m_done->setFocusPolicy(Qt::TabFocus);
    m_done->setCursor(Qt::PointingHandCursor);
    m_done->setFont(Style::font(13, TextWeight::semibold));
    m_done->setStyleSheet(QStringLiteral("QPushButton { color: %1; background: %2; border: none; border-radius: 6px;"
                                         " padding: 6px 12px; } QPushButton:disabled { color: %3; }")
                              .arg(Style::css(Style::color(ColorRole::primary)),
                                   Style::css(Style::color(ColorRole::gray, 0.2)),
                                   Style::css(Style::color(ColorRole::secondary))));
    m_skipBack->setObjectName(QStringLiteral("skipBackButton"));
    m_playPause->setObjectName(QStringLiteral("playPauseButton"));
    m_skipForward->setObjectName(QStringLiteral("skipForwardButton"));
    m_record->setObjectName(QStringLiteral("recordButton"));
    m_pauseResume->setObjectName(QStringLiteral("pauseResumeButton"));
    m_stop->setObjectName(QStringLiteral("stopButton"));
    m_done->setObjectName(QStringLiteral("doneButton"));
    for (QWidget* button : {static_cast<QWidget*>(m_skipBack), static_cast<QWidget*>(m_playPause),
                            static_cast<QWidget*>(m_skipForward), static_cast<QWidget*>(m_record),
                            static_cast<QWidget*>(m_pauseResume), static_cast<QWidget*>(m_stop),
                            static_cast<QWidget*>(m_done)})
        centre->addWidget(button, 0, Qt::AlignVCenter);
    bar->addLayout(centre);
    bar->addStretch(1);

    auto* right = new QWidget(this);
    right->setFixedWidth(sideZoneWidth);
    auto* rightLayout = new QHBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addStretch(1);
    m_export = new QPushButton(QStringLiteral("Export MP3"), right);
    m_export->setObjectName(QStringLiteral("exportButton"));
    m_export->setFocusPolicy(Qt::TabFocus);
    m_export->setCursor(Qt::PointingHandCursor);
    m_export->setIcon(Icons::icon(QStringLiteral("arrow.down.circle.fill"), Style::color(ColorRole::white)));
    m_export->setIconSize(QSize(14, 14));
    m_export->setFont(Style::font(12, TextWeight::semibold));
    m_export->setToolTip(QStringLiteral("Export selected MP3 to ~/Downloads folder"));
    m_export->setStyleSheet(QStringLiteral("QPushButton { color: white; background: %1; border: none; border-radius: 8px;"
                                           " padding: 7px 12px; }")
                                .arg(Style::css(Style::color(ColorRole::blue))));
    rightLayout->addWidget(m_export);
    bar->addWidget(right);

    connect(m_skipBack, &QToolButton::clicked, this, [this] { m_player.skipBackward(TransportRules::skipSeconds); });
    connect(m_skipForward, &QToolButton::clicked, this, [this] { m_player.skipForward(TransportRules::skipSeconds); });
    connect(m_playPause, &QToolButton::clicked, this, [this] {
        if (m_player.isPlaying())
            m_player.pause();
        else
            m_player.play();
    });
    connect(m_record, &QAbstractButton::clicked, this, &TransportControlsView::recordPressed);
    connect(m_stop, &QAbstractButton::clicked, this, &TransportControlsView::recordPressed);
    connect(m_pauseResume, &QToolButton::clicked, this, [this] { m_recorder.pauseResumeRecording(); });
    connect(m_done, &QPushButton::clicked, this, [this] { m_recorder.stopRecording(); });
    connect(m_export, &QPushButton::clicked, this, [this] {
        if (const auto& selected = m_library.selectedRecording())
            m_library.exportToDownloads(*selected);
    });

    connect(&m_recorder, &RecorderViewModel::recorderStateChanged, this, &TransportControlsView::refresh);
    connect(&m_library, &LibraryViewModel::selectedRecordingChanged, this, &TransportControlsView::refresh);
    connect(&m_player, &PlayerService::isPlayingChanged, this, &TransportControlsView::refresh);
    connect(&m_player, &PlayerService::playbackRateChanged, this, &TransportControlsView::refresh);
    refresh();
}

void TransportControlsView::recordPressed()
{
    switch (TransportRules::recordAction(m_recorder.recorderState())) {
    case TransportRules::RecordAction::start:
        m_recorder.startNewRecording();
        break;
    case TransportRules::RecordAction::stop:
        m_recorder.stopRecording();
        break;
    case TransportRules::RecordAction::none:
        break;
    }
}

void TransportControlsView::refresh()
{
    const auto layout = TransportRules::layout(
        {m_recorder.recorderState(), m_library.selectedRecording().has_value(), m_player.isPlaying()});

    m_speed->setVisible(layout.showsSpeedMenu);
    m_speedSpacer->setVisible(!layout.showsSpeedMenu);
    m_speed->setText(TransportRules::speedLabel(m_player.playbackRate()));
    m_export->setVisible(layout.showsExport);

    apply(m_skipBack, layout.skipBack);
    apply(m_playPause, layout.playPause);
    if (!layout.playPause.symbol.isEmpty())
        m_playPause->setSymbol(layout.playPause.symbol);
    apply(m_skipForward, layout.skipForward);
    apply(m_record, layout.record);

    apply(m_pauseResume, layout.pauseResume);
    if (!layout.pauseResume.symbol.isEmpty())
        m_pauseResume->setSymbol(layout.pauseResume.symbol);
    apply(m_stop, layout.stop);
    m_stop->setFace(layout.stopShowsSpinner ? RecordButton::Face::saving : RecordButton::Face::stop);
    apply(m_done, layout.done);
}

void TransportControlsView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // The under-page colour, a shade below the window's, with a divider on top.
    painter.fillRect(rect(), palette().color(QPalette::Window).darker(104));
    painter.setPen(Style::color(ColorRole::gray, 0.3));
    painter.drawLine(0, 0, width(), 0);
}
