#include "engines/recap/RecapCleaner.h"

#include "common/Text.h"

#include <QStringList>

#include <array>

namespace {

const QString kModelTurn = QStringLiteral("<start_of_turn>model");

// Where a recap starts, most specific first.
const std::array<QString, 7> kStartHeaders{
    QStringLiteral("# 📌 Executive Summary"),
    QStringLiteral("# 📌 Sintesi Esecutiva"),
    QStringLiteral("# 📌"),
    QStringLiteral("## 📌"),
    QStringLiteral("# Executive Summary"),
    QStringLiteral("# Sintesi Esecutiva"),
    QStringLiteral("# Sintesi"),
};

// Lines the runner prints after the completion.
const std::array<QString, 3> kTailMarkers{
    QStringLiteral("\n[ Prompt:"),
    QStringLiteral("\nExiting..."),
    QStringLiteral("\nllama_perf_"),
};

const std::array<QString, 4> kPlaceholderPrefixes{
    QStringLiteral("("),
    QStringLiteral("- ("),
    QStringLiteral("- [ ] ("),
    QStringLiteral("* ("),
};

const std::array<QString, 10> kPlaceholderPhrases{
    QStringLiteral("sentences"),       QStringLiteral("frasi sintetiche"),
    QStringLiteral("Takeaways"),       QStringLiteral("Elenco sintetico"),
    QStringLiteral("Decisions Made"),  QStringLiteral("Cosa è stato deciso"),
    QStringLiteral("Action Items"),    QStringLiteral("Compiti operativi"),
    QStringLiteral("primary objective"), QStringLiteral("alto impatto sul contesto"),
};

QString afterModelTurn(const QString& text)
{
    const qsizetype at = text.indexOf(kModelTurn);
    return at < 0 ? text : text.mid(at + kModelTurn.size());
}

// Start of the first line that begins with a level-1 header, before `limit`.
qsizetype firstLevelOneHeader(const QString& text, qsizetype limit)
{
    qsizetype lineStart = 0;
    while (lineStart < limit) {
        if (text.mid(lineStart, 2) == QLatin1String("# "))
            return lineStart;
        const qsizetype lineFeed = text.indexOf(u'\n', lineStart);
        if (lineFeed < 0)
            break;
        lineStart = lineFeed + 1;
    }
    return -1;
}

QString fromStartHeader(const QString& text)
{
    for (const QString& header : kStartHeaders) {
        qsizetype at = text.lastIndexOf(header);
        if (at < 0)
            continue;
        // The bare pin also opens the last section of a voice note; cutting
        // there would lose the sections above it, so only what comes before
        // the recap's first level-1 header goes.
        if (header.endsWith(QStringLiteral("📌"))) {
            const qsizetype first = firstLevelOneHeader(text, at);
            if (first >= 0)
                at = first;
        }
        return text.mid(at);
    }
    return text;
}

QString withoutTail(QString text)
{
    for (const QString& marker : kTailMarkers) {
        const qsizetype at = text.indexOf(marker);
        if (at >= 0)
            text.truncate(at);
    }
    return text;
}

// A template instruction the model copied instead of filling in.
bool isPlaceholder(const QString& line)
{
    const QString trimmed = Text::trimSpacesAndTabs(line);
    bool hasPrefix = false;
    for (const QString& prefix : kPlaceholderPrefixes)
        hasPrefix = hasPrefix || trimmed.startsWith(prefix);
    if (!hasPrefix)
        return false;
    for (const QString& phrase : kPlaceholderPhrases) {
        if (trimmed.contains(phrase, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

} // namespace

namespace RecapCleaner {

QString clean(const QString& output)
{
    const QString text = withoutTail(fromStartHeader(afterModelTurn(output)));
    QStringList kept;
    for (const QString& line : text.split(u'\n')) {
        if (!isPlaceholder(line))
            kept.append(line);
    }
    return kept.join(u'\n').trimmed();
}

} // namespace RecapCleaner
