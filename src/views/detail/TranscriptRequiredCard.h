#pragma once

#include "models/RecordingItem.h"
#include "views/detail/NoticeCard.h"

class QPushButton;
class ProcessingRuns;

// Asks for a transcript before a recap can be written, and starts one.
class TranscriptRequiredCard : public NoticeCard {
    Q_OBJECT
public:
    TranscriptRequiredCard(ProcessingRuns& processing, const RecordingItem& item, QWidget* parent = nullptr);

    QPushButton* transcribeButton() const { return m_transcribe; }

private:
    void refresh();

    ProcessingRuns& m_processing;
    const RecordingItem m_item;
    QPushButton* m_transcribe;
};
