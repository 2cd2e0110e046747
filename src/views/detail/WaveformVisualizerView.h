#pragma once

#include "views/logic/DetailAreaRules.h"

#include <QWidget>

class DetailHeader;
class DetailTabPicker;
class EmptyWaveformView;
class LiveRecordingWaveformView;
class PlaybackWaveformView;
class QStackedWidget;
class RecapContentView;
class RecapEngine;
class RecordingViewModel;
class Settings;
class TranscriptContentView;
class WhisperEngine;

// The detail area right of the sidebar: the header actions and the tab
// picker on top, and one pane below: the live waveform while a recording
// runs, otherwise the chosen tab's pane for the selected recording.
class WaveformVisualizerView : public QWidget {
    Q_OBJECT
public:
    // What the panes use besides the view model; empty ones are the shared instances.
    struct Services {
        WhisperEngine* whisper = nullptr;
        Settings* settings = nullptr;
        RecapEngine* recap = nullptr;
    };

    explicit WaveformVisualizerView(RecordingViewModel& vm, QWidget* parent = nullptr);
    WaveformVisualizerView(RecordingViewModel& vm, Services services, QWidget* parent = nullptr);

    DetailAreaRules::Layout layout() const { return m_layout; }
    QWidget* currentPane() const;
    DetailHeader* header() const { return m_header; }
    DetailTabPicker* tabPicker() const { return m_picker; }
    // Null unless shown.
    PlaybackWaveformView* playbackView() const { return m_playback; }
    LiveRecordingWaveformView* liveView() const { return m_live; }
    TranscriptContentView* transcriptView() const { return m_transcript; }
    RecapContentView* recapView() const { return m_recap; }

private:
    void refresh();
    void showPane(DetailAreaRules::Pane pane);

    RecordingViewModel& m_vm;
    WhisperEngine& m_whisper;
    RecapEngine& m_recapEngine;
    Settings& m_settings;
    DetailAreaRules::Layout m_layout;

    DetailHeader* m_header;
    DetailTabPicker* m_picker;
    QStackedWidget* m_panes;
    EmptyWaveformView* m_empty;
    TranscriptContentView* m_transcript;
    RecapContentView* m_recap;
    LiveRecordingWaveformView* m_live = nullptr;
    PlaybackWaveformView* m_playback = nullptr;
};
