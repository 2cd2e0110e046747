#pragma once

#include "models/RecordingItem.h"
#include "views/logic/TranscriptRules.h"

#include <QPointer>
#include <QWidget>

#include <optional>

class DetailPanel;
class NoticeCard;
class QPushButton;
class QTextEdit;
class RecordingViewModel;
class TranscriptSegmentList;
class WhisperEngine;

// The transcript of one stored recording: title, word count and duration,
// Copy and (Re-)transcribe, and below them the timed segments with search
// matches highlighted, the plain text, or the card that stands in for them.
// The segment being played is highlighted and, while playing, kept in the
// middle of the list; a click on a segment plays from it. Built afresh for
// every recording.
class PlaybackTranscriptView : public QWidget {
    Q_OBJECT
public:
    PlaybackTranscriptView(RecordingViewModel& vm, const RecordingItem& item, WhisperEngine& whisper,
                           QWidget* parent = nullptr);

    const QUuid& recordingId() const { return m_item.id; }
    TranscriptRules::Content content() const { return m_content; }
    DetailPanel* panel() const { return m_panel; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* transcribeButton() const { return m_transcribe; }
    // The card's own button, when the card shows one.
    QPushButton* cardButton() const { return m_cardButton; }
    TranscriptSegmentList* segmentList() const { return m_list; }

    // Plays from a moment before the segment and marks it as the one playing.
    void seekTo(const TranscriptSegment& segment);

private:
    RecordingItem activeItem() const;
    void refresh();
    void refreshHeader(const RecordingItem& item);
    void refreshContent(const RecordingItem& item);
    void refreshSearch();
    qsizetype transcriptWords(const RecordingItem& item);
    void showContent(QWidget* widget);
    void listCameIntoView();
    void positionChanged(double seconds);
    TranscriptRules::SpeechModel currentSpeechModel() const;
    // The running transcription's figure in its card.
    void refreshProgress();

    RecordingViewModel& m_vm;
    const RecordingItem m_item;
    WhisperEngine& m_whisper;

    DetailPanel* m_panel;
    QPushButton* m_copy;
    QPushButton* m_transcribe;
    QPushButton* m_cardButton = nullptr;
    TranscriptSegmentList* m_list;
    QTextEdit* m_plainText;
    QString m_plainShown; // the text m_plainText was given
    QWidget* m_card = nullptr;
    QPointer<NoticeCard> m_transcribingCard;
    std::optional<TranscriptRules::Content> m_shown;
    TranscriptRules::Content m_content = TranscriptRules::Content::noTranscriptCard;
    std::optional<QString> m_countedText;
    qsizetype m_wordCount = 0;
};
