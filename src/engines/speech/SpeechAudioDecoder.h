#pragma once

#include <QString>

#include <functional>
#include <vector>

// Turns a recording into what the speech model listens to: 16 kHz mono
// 32-bit float samples, decoded with libmpg123 and resampled with libsoxr a
// piece at a time, so only the 16 kHz result is ever held whole.
class SpeechAudioDecoder {
public:
    static constexpr int kSampleRate = 16000;

    // Throws `Error` ("Mp3Decoder") when the file cannot be opened or read,
    // ("WhisperEngine", -10, -12 or -13) when the conversion fails, and
    // `CancelledError` once `isCancelled` answers true. A readable file with no
    // decodable audio gives no samples.
    static std::vector<float> decodeTo16kMono(const QString& path, const std::function<bool()>& isCancelled = {});
};
