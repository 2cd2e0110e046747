#pragma once

#include "views/detail/SelectionPaneStack.h"

class PlaybackTranscriptView;
class RecordingViewModel;
class WhisperEngine;

// The Transcript tab: the selected recording's transcript, or a placeholder
// when nothing is selected.
class TranscriptContentView : public SelectionPaneStack {
    Q_OBJECT
public:
    TranscriptContentView(RecordingViewModel& vm, WhisperEngine& whisper, QWidget* parent = nullptr);

    // Null while the placeholder shows.
    PlaybackTranscriptView* playbackView() const;

protected:
    QWidget* buildPane(const RecordingItem& item) override;

private:
    RecordingViewModel& m_vm;
    WhisperEngine& m_whisper;
};
