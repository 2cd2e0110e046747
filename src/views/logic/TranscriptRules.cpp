#include "views/logic/TranscriptRules.h"

#include <algorithm>

namespace TranscriptRules {

namespace {

bool hasText(const std::optional<QString>& text)
{
    return text && !text->isEmpty();
}

} // namespace

Header header(const RecordingItem& item, qsizetype transcriptWords, bool anyTranscribing)
{
    Header result;
    if (item.transcript) {
        result.subtitle = QString::asprintf("%lld", static_cast<long long>(transcriptWords))
            + QStringLiteral(" words • ") + item.formattedDuration();
    }
    result.showsCopy = hasText(item.transcript);
    // An empty transcript is still one that was made.
    result.transcribeLabel = item.transcript ? QStringLiteral("Re-transcribe") : QStringLiteral("Transcribe");
    result.transcribeEnabled = !anyTranscribing;
    return result;
}

Content content(const RecordingItem& item, bool isBeingTranscribed, SpeechModel model)
{
    if (isBeingTranscribed)
        return Content::transcribing;
    if (item.transcriptSegments && !item.transcriptSegments->isEmpty())
        return Content::segments;
    if (hasText(item.transcript))
        return Content::plainText;
    switch (model) {
    case SpeechModel::notDownloaded:
        return Content::modelCard;
    case SpeechModel::downloading:
        return Content::downloadCard;
    case SpeechModel::failed:
        return Content::failedDownloadCard;
    case SpeechModel::present:
        break;
    }
    return Content::noTranscriptCard;
}

QString transcribingText(const QString& title, std::optional<int> percent)
{
    const QString words = QStringLiteral("Transcribing \"") + title + QStringLiteral("\"...");
    return percent ? words + QStringLiteral(" %1%").arg(*percent) : words;
}

QString downloadingText(const QString& message, double progress)
{
    return message + QStringLiteral(" %1%").arg(static_cast<int>(std::clamp(progress, 0.0, 1.0) * 100));
}

RowStyle rowStyle(const RowFlags& flags)
{
    RowStyle style;
    if (flags.active) {
        style.background = {ColorRole::accent, 0.14};
        style.outline = {ColorRole::accent, 0.35};
        style.pillFill = {ColorRole::accent, 1.0};
        style.pillContent = ColorRole::white;
    } else if (flags.matching) {
        style.background = {ColorRole::yellow, 0.14};
        style.outline = {ColorRole::yellow, 0.40};
        style.pillFill = {ColorRole::orange, 0.20};
        style.pillContent = ColorRole::orange;
    } else if (flags.hovered) {
        style.background = {ColorRole::secondary, 0.08};
        style.outline = {};
        style.pillFill = {ColorRole::secondary, 0.12};
        style.pillContent = ColorRole::primary;
    } else {
        style.pillFill = {ColorRole::secondary, 0.12};
        style.pillContent = ColorRole::primary;
    }

    if (flags.active && flags.playing)
        style.pillSymbol = QStringLiteral("waveform");
    else if (flags.matching)
        style.pillSymbol = QStringLiteral("magnifyingglass");
    else if (flags.active)
        style.pillSymbol = QStringLiteral("pause.fill");
    else
        style.pillSymbol = QStringLiteral("play.fill");

    style.textWeight = (flags.active || flags.matching) ? TextWeight::semibold : TextWeight::regular;
    style.textColor = flags.active ? ColorRole::accent : ColorRole::primary;
    return style;
}

} // namespace TranscriptRules
