#pragma once

#include <QString>

#include <cstdint>
#include <vector>

// Real speech for the speech engine's tests and benchmark: espeak-ng speaks a
// text, and our own encoder writes it as a 44.1 kHz stereo MP3, as the app's
// recordings are.
namespace SpeechFixture {

// Writes `text` spoken to `mp3Path`. With `exactSeconds` > 0 the speech is
// repeated, one second of silence between, and cut to exactly that length.
// Returns the length in seconds; throws `Error` when espeak-ng is missing or fails.
double writeSpeechMp3(const QString& mp3Path, const QString& text, double exactSeconds = 0);

// `text` spoken by espeak-ng in `voice` (its -v argument; empty for the
// default), as 44.1 kHz mono samples. Throws `Error` as above.
std::vector<int16_t> speak(const QString& text, const QString& voice = {});

// A random-weight model that the project's generator wrote into the build
// folder (tests/models/<name>).
QString generatedModel(const QString& name);

} // namespace SpeechFixture
