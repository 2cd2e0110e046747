#pragma once

#include "models/TranscriptSegment.h"

#include <QList>
#include <QString>

#include <optional>

// What the start-up pass repairs in recordings left by earlier versions: the
// decisions alone, without files or threads.
namespace RepairRules {

// Bars of every waveform read back from a file, and the fewest a stored
// waveform may hold before it is rebuilt.
inline constexpr int barsPerWaveform = 120;

// Too few bars, or so flat (small range or small spread) that it shows
// nothing of the recording.
bool waveformNeedsRepair(const QList<float>& samples);

// The placeholder an earlier version stored instead of a real transcript:
// more than two segments, the first three starting at exactly 0, 2 and 4 s.
bool isPlaceholderTranscript(const std::optional<QList<TranscriptSegment>>& segments);

// The recap written in an older format, cleaned; nothing when it has none of
// that format's markers or when cleaning changes nothing.
std::optional<QString> cleanedOlderRecap(const std::optional<QString>& summary);

} // namespace RepairRules
