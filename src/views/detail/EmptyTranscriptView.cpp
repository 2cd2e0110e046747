#include "views/detail/EmptyTranscriptView.h"

EmptyTranscriptView::EmptyTranscriptView(QWidget* parent)
    : PlaceholderView(QStringLiteral("waveform.and.mic"), 44, QStringLiteral("No Recording Selected"),
                      QStringLiteral("Select a recording on the left to view its transcript, or start recording."),
                      parent)
{
    setObjectName(QStringLiteral("emptyTranscriptView"));
}
