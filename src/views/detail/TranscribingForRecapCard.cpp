#include "views/detail/TranscribingForRecapCard.h"

TranscribingForRecapCard::TranscribingForRecapCard(QWidget* parent)
    : NoticeCard(parent)
{
    setObjectName(QStringLiteral("transcribingForRecapCard"));
    setSpinner();
    setHeadline(QStringLiteral("Transcribing Audio..."), 15);
    setExplanation(QStringLiteral("Once the transcript is ready, the Executive Recap will be automatically generated."),
                   12, 380, true);
}
