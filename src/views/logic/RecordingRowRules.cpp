#include "views/logic/RecordingRowRules.h"

#include "common/Text.h"

#include <QTextBoundaryFinder>

namespace RecordingRowRules {

namespace {

constexpr qsizetype charactersBefore = 20;
constexpr qsizetype charactersAfter = 35;

// Positions (in UTF-16 units) where user-perceived characters begin, plus the end.
QList<qsizetype> graphemeBoundaries(const QString& text)
{
    QList<qsizetype> boundaries;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype position = 0; position != -1; position = finder.toNextBoundary())
        boundaries.append(position);
    if (boundaries.isEmpty() || boundaries.last() != text.size())
        boundaries.append(text.size());
    return boundaries;
}

// Index of the character that holds `position`.
qsizetype characterAt(const QList<qsizetype>& boundaries, qsizetype position)
{
    const auto after = std::upper_bound(boundaries.begin(), boundaries.end(), position);
    return std::max<qsizetype>(0, (after - boundaries.begin()) - 1);
}

// Index of the first boundary at or after `position`.
qsizetype characterEndingAt(const QList<qsizetype>& boundaries, qsizetype position)
{
    return std::lower_bound(boundaries.begin(), boundaries.end(), position) - boundaries.begin();
}

} // namespace

std::optional<QString> transcriptSnippet(const RecordingItem& item, const QString& query)
{
    const QString needle = query.trimmed();
    if (needle.isEmpty() || !item.transcript)
        return std::nullopt;
    const QString& transcript = *item.transcript;
    const qsizetype match = transcript.indexOf(needle, 0, Qt::CaseInsensitive);
    if (match < 0)
        return std::nullopt;

    const QList<qsizetype> boundaries = graphemeBoundaries(transcript);
    const qsizetype characterCount = boundaries.size() - 1;
    const qsizetype first = std::max<qsizetype>(0, characterAt(boundaries, match) - charactersBefore);
    const qsizetype last
        = std::min(characterCount, characterEndingAt(boundaries, match + needle.size()) + charactersAfter);

    QString excerpt = transcript.mid(boundaries[first], boundaries[last] - boundaries[first]);
    excerpt.replace(QLatin1Char('\n'), QLatin1Char(' '));
    excerpt = Text::trimSpacesAndTabs(excerpt);

    const QString ellipsis(QChar(0x2026));
    return (first > 0 ? ellipsis : QString()) + excerpt + (last < characterCount ? ellipsis : QString());
}

QList<Badge> badges(const State& state)
{
    QList<Badge> result;
    if (state.hasEnhancedFile)
        result.append(Badge::enhancedAvailable);
    if (state.isTranscribing)
        result.append(Badge::transcribing);
    if (state.isEnhancing)
        result.append(Badge::enhancing);
    return result;
}

Tint fill(const State& state)
{
    if (state.isMergeSource)
        return {ColorRole::accent, 0.12};
    if (state.isMergeSelected || (state.isSelected && !state.isMergeModeActive))
        return {ColorRole::accent, 0.18};
    if (state.isHovered)
        return {ColorRole::gray, 0.08};
    return {ColorRole::none, 0};
}

TextWeight titleWeight(const State& state)
{
    return state.isSelected ? TextWeight::semibold : TextWeight::medium;
}

bool showsRowButtons(const State& state)
{
    return !state.isEditing && !state.isMergeModeActive;
}

double renameButtonOpacity(const State& state)
{
    return state.isHovered || state.isSelected ? 0.85 : 0.0;
}

double exportButtonOpacity(const State& state)
{
    return state.isHovered || state.isSelected ? 1.0 : 0.0;
}

bool clickSelects(const State& state)
{
    return !state.isEditing;
}

bool doubleClickRenames(const State& state)
{
    return !state.isEditing && !state.isMergeModeActive;
}

MergeCheck mergeCheck(const State& state)
{
    if (!state.isMergeModeActive)
        return MergeCheck::none;
    return state.isMergeSource ? MergeCheck::sourceMark : MergeCheck::box;
}

MergeCheckLook mergeCheckLook(const State& state)
{
    switch (mergeCheck(state)) {
    case MergeCheck::none:
        break;
    case MergeCheck::sourceMark:
        return {QStringLiteral("checkmark.circle.fill"), {ColorRole::accent}, QStringLiteral("Base recording (source)")};
    case MergeCheck::box:
        if (state.isMergeSelected)
            return {QStringLiteral("checkmark.square.fill"), {ColorRole::accent}, QStringLiteral("Deselect recording")};
        return {QStringLiteral("square"), {ColorRole::secondary}, QStringLiteral("Select for merge")};
    }
    return {};
}

QString badgeText(Badge badge, const State& state)
{
    const auto withFigure = [](const QString& words, const std::optional<int>& percent) {
        return percent ? words + QStringLiteral(" %1%").arg(*percent) : words;
    };
    switch (badge) {
    case Badge::transcribing:
        return withFigure(QStringLiteral("Transcribing..."), state.transcriptionPercent);
    case Badge::enhancing:
        return withFigure(QStringLiteral("Enhancing..."), state.enhancementPercent);
    case Badge::enhancedAvailable:
        break;
    }
    return {};
}

QList<MenuEntry<Action>> contextMenu(const State& state)
{
    // In merge mode only the file manager is at hand.
    const bool free = !state.isMergeModeActive;
    QList<MenuEntry<Action>> entries;
    entries.append({Action::rename, QStringLiteral("Rename"), QStringLiteral("pencil"), free});
    entries.append({Action::trim, QStringLiteral("Trim Recording..."), QStringLiteral("scissors"), free});
    entries.append({Action::startMerge, QStringLiteral("Merge with other recordings..."),
                    QStringLiteral("arrow.triangle.merge"), free});
    if (state.hasEnhancedFile) {
        const bool enhancedPlays = state.isSelected && state.isPlayingEnhanced;
        entries.append({Action::toggleEnhanced,
                        enhancedPlays ? QStringLiteral("Switch to Original Audio")
                                      : QStringLiteral("Switch to Studio Enhanced"),
                        QStringLiteral("sparkles"), free});
    } else {
        entries.append({Action::enhance,
                        state.isEnhancing ? QStringLiteral("Enhancing Voice...")
                                          : QStringLiteral("Enhance Voice"),
                        QStringLiteral("sparkles"), free && !state.isEnhancing});
    }
    // Long runs stop from where their progress shows.
    if (state.isTranscribing)
        entries.append({Action::cancelTranscription, QStringLiteral("Cancel Transcription"),
                        QStringLiteral("xmark.circle"), free});
    if (state.isEnhancing)
        entries.append(
            {Action::cancelEnhancement, QStringLiteral("Cancel Enhancement"), QStringLiteral("xmark.circle"), free});
    entries.append({Action::exportToDownloads, QStringLiteral("Export MP3 to Downloads"),
                     QStringLiteral("arrow.down.circle"), free});
    entries.append({Action::showInFileManager, QStringLiteral("Show in File Manager"), QStringLiteral("folder")});
    entries.append({Action::remove, QStringLiteral("Delete Recording"), QStringLiteral("trash"), free, true, true});
    return entries;
}

} // namespace RecordingRowRules
