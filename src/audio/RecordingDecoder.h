#pragma once

#include "platform/media/Mp3Decoder.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

struct soxr;

// Decodes a recording to the app's common format: 44,100 Hz, two channels,
// interleaved signed 16-bit. Mono files are doubled to both channels and files
// at another rate are resampled, so any MP3 a user has can be edited.
class RecordingDecoder {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;

    enum class OpenResult { opened, unreadable, noAudio };

    RecordingDecoder();
    ~RecordingDecoder();
    RecordingDecoder(const RecordingDecoder&) = delete;
    RecordingDecoder& operator=(const RecordingDecoder&) = delete;

    // `unreadable` when the file cannot be opened for reading at all, `noAudio`
    // when it opens but holds no MP3 audio.
    OpenResult open(const QString& path);

    // Exact length of the whole file in seconds (scans it once), NaN on failure.
    double durationSeconds();
    // The file's own rate and its exact length in frames at that rate (scans
    // it once; negative on failure), before any resampling.
    int sourceSampleRate() const { return m_sourceRate; }
    int64_t sourceLengthFrames() { return m_decoder.lengthFrames(); }

    // Limits reading to [startSeconds, endSeconds) of the file, which must be
    // inside it; decoding starts at `startSeconds`. False when seeking fails.
    bool setRange(double startSeconds, double endSeconds);

    // Decodes up to `maxFrames` frames into `out` (2 samples per frame). Returns
    // the frames written, 0 at the end, -1 on a decoding error.
    int64_t read(int16_t* out, int64_t maxFrames);

    QString errorString() const { return m_error; }

private:
    int64_t readSource(void* out, int64_t maxFrames);
    int64_t readResampled(int16_t* out, int64_t maxFrames);

    struct SoxrDeleter {
        void operator()(soxr* resampler) const;
    };

    Mp3Decoder m_decoder;
    std::unique_ptr<soxr, SoxrDeleter> m_resampler;
    int m_sourceRate = 0;
    // Source frames still to be read; negative when the file is read to its end.
    int64_t m_remainingSourceFrames = -1;
    std::vector<float> m_sourceBuffer;
    size_t m_sourceOffset = 0;  // frames of m_sourceBuffer already resampled
    size_t m_sourcePending = 0; // frames of m_sourceBuffer not yet resampled
    bool m_sourceEnded = false;
    QString m_error;
};
