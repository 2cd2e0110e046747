#pragma once

#include "engines/speech/WhisperModelState.h"

#include <QString>

class NoticeCard;
class QPushButton;

// The notices the transcript pane shows instead of segments: the running
// transcription, and the three speech-model cards.
namespace TranscriptCards {

NoticeCard* transcribing(const QString& title);
// "Download Model (574 MB)" as its button.
NoticeCard* modelRequired(QPushButton*& download);
NoticeCard* downloading(const WhisperModelState& state);
NoticeCard* noTranscript(QPushButton*& transcribe);

} // namespace TranscriptCards
