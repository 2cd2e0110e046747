#include "viewmodels/RepairRules.h"

#include "engines/recap/RecapCleaner.h"

#include <algorithm>
#include <array>

namespace {

constexpr float flatRange = 0.25f;
constexpr float flatVariance = 0.02f;

// Texts only the older recap format holds; the last one spans a line break.
const std::array<QString, 3>& olderRecapMarkers()
{
    static const std::array<QString, 3> markers{
        QStringLiteral("frasi sintetiche"),
        QStringLiteral("Elenco sintetico"),
        QString::fromUtf8("\xF0\x9F\x93\x8C Sintesi Esecutiva\n(2-3"),
    };
    return markers;
}

} // namespace

namespace RepairRules {

bool waveformNeedsRepair(const QList<float>& samples)
{
    if (samples.size() < barsPerWaveform)
        return true;
    const auto [lowest, highest] = std::minmax_element(samples.begin(), samples.end());
    if (*highest - *lowest < flatRange)
        return true;
    float sum = 0;
    for (const float value : samples)
        sum += value;
    const float mean = sum / static_cast<float>(samples.size());
    float squares = 0;
    for (const float value : samples)
        squares += (value - mean) * (value - mean);
    return squares / static_cast<float>(samples.size()) < flatVariance;
}

bool isPlaceholderTranscript(const std::optional<QList<TranscriptSegment>>& segments)
{
    return segments && segments->size() > 2 && segments->at(0).start == 0.0 && segments->at(1).start == 2.0
        && segments->at(2).start == 4.0;
}

std::optional<QString> cleanedOlderRecap(const std::optional<QString>& summary)
{
    if (!summary)
        return std::nullopt;
    const auto& markers = olderRecapMarkers();
    const bool older = std::any_of(markers.begin(), markers.end(),
                                   [&](const QString& marker) { return summary->contains(marker); });
    if (!older)
        return std::nullopt;
    QString cleaned = RecapCleaner::clean(*summary);
    if (cleaned == *summary)
        return std::nullopt;
    return cleaned;
}

} // namespace RepairRules
