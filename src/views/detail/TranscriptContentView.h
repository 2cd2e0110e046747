#pragma once

#include <QWidget>

class PlaybackTranscriptView;
class QStackedLayout;
class RecordingViewModel;
class WhisperEngine;

// The Transcript tab: the selected recording's transcript, or a placeholder
// when nothing is selected. Another selection builds a fresh transcript view.
class TranscriptContentView : public QWidget {
    Q_OBJECT
public:
    TranscriptContentView(RecordingViewModel& vm, WhisperEngine& whisper, QWidget* parent = nullptr);

    // Null while the placeholder shows.
    PlaybackTranscriptView* playbackView() const { return m_playback; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    RecordingViewModel& m_vm;
    WhisperEngine& m_whisper;
    QStackedLayout* m_stack;
    QWidget* m_empty;
    PlaybackTranscriptView* m_playback = nullptr;
    bool m_stale = true;
};
