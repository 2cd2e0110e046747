#include "views/detail/WaveformVisualizerView.h"

#include "common/Settings.h"
#include "engines/recap/RecapEngine.h"
#include "engines/speech/WhisperEngine.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"
#include "viewmodels/TrimSession.h"
#include "views/detail/DetailHeader.h"
#include "views/detail/DetailTabPicker.h"
#include "views/detail/EmptyWaveformView.h"
#include "views/detail/LiveRecordingWaveformView.h"
#include "views/detail/PlaybackWaveformView.h"
#include "views/detail/RecapContentView.h"
#include "views/detail/TranscriptContentView.h"

#include <QHBoxLayout>
#include <QStackedWidget>
#include <QVBoxLayout>

using DetailAreaRules::Pane;

namespace {

DetailAreaRules::Tab ruleTab(DetailViewTab tab)
{
    switch (tab) {
    case DetailViewTab::waveform:
        return DetailAreaRules::Tab::waveform;
    case DetailViewTab::transcript:
        return DetailAreaRules::Tab::transcript;
    case DetailViewTab::recap:
        break;
    }
    return DetailAreaRules::Tab::recap;
}

} // namespace

WaveformVisualizerView::WaveformVisualizerView(RecordingViewModel& vm, QWidget* parent)
    : WaveformVisualizerView(vm, Services{}, parent)
{
}

WaveformVisualizerView::WaveformVisualizerView(RecordingViewModel& vm, Services services, QWidget* parent)
    : QWidget(parent)
    , m_vm(vm)
    , m_whisper(services.whisper ? *services.whisper : WhisperEngine::shared())
    , m_recapEngine(services.recap ? *services.recap : RecapEngine::shared())
    , m_settings(services.settings ? *services.settings : Settings::shared())
    , m_header(new DetailHeader(vm.library(), vm.processing(), vm.trim()))
    , m_picker(new DetailTabPicker)
    , m_panes(new QStackedWidget)
    , m_empty(new EmptyWaveformView)
    , m_transcript(new TranscriptContentView(vm, m_whisper))
    , m_recap(new RecapContentView(vm, m_recapEngine))
{
    setObjectName(QStringLiteral("waveformVisualizerView"));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* top = new QHBoxLayout;
    top->setContentsMargins(24, 12, 24, 4);
    top->addWidget(m_header);
    top->addStretch(1);
    top->addWidget(m_picker);
    column->addLayout(top);
    column->addWidget(m_panes, 1);

    m_panes->addWidget(m_empty);
    m_panes->addWidget(m_transcript);
    m_panes->addWidget(m_recap);

    connect(m_picker, &DetailTabPicker::tabChosen, &m_vm.library(), &LibraryViewModel::setActiveDetailTab);
    connect(&m_vm.recorder(), &RecorderViewModel::recorderStateChanged, this, &WaveformVisualizerView::refresh);
    for (auto signal : {&LibraryViewModel::activeDetailTabChanged, &LibraryViewModel::selectedRecordingChanged,
                        &LibraryViewModel::isPlayingEnhancedChanged})
        connect(&m_vm.library(), signal, this, &WaveformVisualizerView::refresh);
    connect(&m_vm.trim(), &TrimSession::isTrimmingActiveChanged, this, &WaveformVisualizerView::refresh);
    connect(&m_vm.processing(), &ProcessingRuns::enhancingRecordingIDsChanged, this, &WaveformVisualizerView::refresh);
    refresh();
}

QWidget* WaveformVisualizerView::currentPane() const
{
    return m_panes->currentWidget();
}

void WaveformVisualizerView::refresh()
{
    const std::optional<RecordingItem>& selected = m_vm.library().selectedRecording();
    DetailAreaRules::Input input;
    input.recorderState = m_vm.recorder().recorderState();
    input.activeTab = ruleTab(m_vm.library().activeDetailTab());
    input.hasSelection = selected.has_value();
    input.isTrimmingActive = m_vm.trim().isTrimmingActive();
    input.hasEnhancedFile = selected && selected->enhancedFileName.has_value();
    input.isEnhancing = selected && m_vm.processing().enhancingRecordingIDs().contains(selected->id);
    m_layout = DetailAreaRules::layout(input);

    m_header->present(m_layout, selected, m_vm.library().isPlayingEnhanced());
    m_picker->setVisible(m_layout.showsTabPicker);
    m_picker->setTab(m_vm.library().activeDetailTab());
    showPane(m_layout.pane);
}

void WaveformVisualizerView::showPane(Pane pane)
{
    // The live pane lives only while a recording runs; a stored recording's
    // pane only as long as that recording stays selected.
    if (pane != Pane::live && m_live) {
        m_panes->removeWidget(m_live);
        m_live->deleteLater();
        m_live = nullptr;
    }
    const std::optional<RecordingItem>& selected = m_vm.library().selectedRecording();
    const bool keepPlayback
        = pane == Pane::playback && selected && m_playback && m_playback->recordingId() == selected->id;
    if (m_playback && !keepPlayback) {
        m_panes->removeWidget(m_playback);
        m_playback->deleteLater();
        m_playback = nullptr;
    }

    switch (pane) {
    case Pane::live:
        if (!m_live) {
            m_live = new LiveRecordingWaveformView(m_vm.recorder(), m_settings);
            m_panes->addWidget(m_live);
        }
        m_panes->setCurrentWidget(m_live);
        break;
    case Pane::empty:
        m_panes->setCurrentWidget(m_empty);
        break;
    case Pane::playback:
        if (!m_playback) {
            m_playback = new PlaybackWaveformView(m_vm.library(), m_vm.trim(), *selected, m_vm.playerManager());
            m_panes->addWidget(m_playback);
        }
        m_panes->setCurrentWidget(m_playback);
        break;
    case Pane::transcript:
        m_panes->setCurrentWidget(m_transcript);
        break;
    case Pane::recap:
        m_panes->setCurrentWidget(m_recap);
        break;
    }
}
