#include "views/logic/RecapRules.h"

#include "views/logic/WordCount.h"

namespace RecapRules {

namespace {

bool hasText(const std::optional<QString>& text)
{
    return text && !text->isEmpty();
}

} // namespace

Body body(const RecordingItem& item, const Situation& situation)
{
    if (!situation.modelFilePresent)
        return Body::modelDownload;
    if (situation.isBeingTranscribed)
        return Body::transcribing;
    if (situation.isBeingRecapped)
        return Body::generating;
    if (hasText(item.summary))
        return Body::recap;
    if (hasText(item.transcript))
        return Body::readyToGenerate;
    return Body::transcriptRequired;
}

QString subtitle(const RecordingItem& item)
{
    const QString type = RecordingTypes::displayName(item.effectiveRecordingType());
    QString text = QStringLiteral("Executive Recap • ");
    if (item.summary) {
        text += QString::number(WordCount::count(*item.summary)) + QStringLiteral(" words • ");
    }
    return text + type;
}

Header header(const RecordingItem& item, const Situation& situation)
{
    Header result;
    if (hasText(item.summary))
        result.buttons = Buttons::copyAndRegenerate;
    else if (item.transcript && situation.modelFilePresent)
        result.buttons = Buttons::generate; // an empty transcript counts here
    result.generateEnabled = !situation.isBeingRecapped && !situation.isBeingTranscribed;
    return result;
}

bool changesType(const RecordingItem& item, RecordingType chosen)
{
    return item.effectiveRecordingType() != chosen;
}

bool regeneratesAfterTypeChange(const RecordingItem& refreshed)
{
    return hasText(refreshed.summary);
}

} // namespace RecapRules
