#pragma once

#include "engines/speech/WhisperModelState.h"

#include <QString>

class NoticeCard;
class QPushButton;

// The notices the transcript pane shows instead of segments: the running
// transcription, and the speech-model cards.
namespace TranscriptCards {

// The headline takes the run's figure as it comes; "Cancel" stops the run.
NoticeCard* transcribing(const QString& title, QPushButton*& cancel);
// "Download Model (574 MB)" as its button.
NoticeCard* modelRequired(QPushButton*& download);
NoticeCard* downloading(const WhisperModelState& state);
// The failed download's reason in one line and "Retry Download".
NoticeCard* downloadFailed(const WhisperModelState& state, QPushButton*& retry);
NoticeCard* noTranscript(QPushButton*& transcribe);

} // namespace TranscriptCards
