#pragma once

#include <QString>

// MP3 files for library fixtures, written with the project's own encoder:
// 44.1 kHz stereo, a 440 Hz tone.
namespace Mp3Fixture {

// Writes `seconds` of tone (rounded to whole samples) and returns the file's
// size. At 192 kbit/s a second takes about 24,000 bytes.
qint64 writeTone(const QString& path, double seconds, int bitrate = 192);

// Appends zero bytes until the file holds exactly `bytes`; decoders skip them,
// so the length in seconds stays. Returns false when the file is already larger.
bool padTo(const QString& path, qint64 bytes);

// `bytes` zero bytes: a file of a given size that is no audio.
void writeZeros(const QString& path, qint64 bytes);

// Samples per channel in one MP3 frame (MPEG-1 layer III).
constexpr int kFrameSamples = 1152;

} // namespace Mp3Fixture
