#pragma once

#include <QString>

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "common/Error.h"

struct shine_global_flags;

// Writes one MP3 file from interleaved signed 16-bit samples handed in pieces
// of any length. Samples are buffered into whole encoder passes; each pass's
// bytes reach the file at once, so an interrupted process leaves every whole
// pass on disk. Safe to call from several threads.
class MP3Encoder {
public:
    // Creates the folder, replaces any file at `outputPath` and starts the
    // encoder. Throws `Error` ("MP3Encoder", 1) when shine refuses the settings,
    // or a file-system error.
    MP3Encoder(const QString& outputPath, int sampleRate = 44100, int bitrate = 192, int channels = 2);
    ~MP3Encoder();
    MP3Encoder(const MP3Encoder&) = delete;
    MP3Encoder& operator=(const MP3Encoder&) = delete;

    // Throws `Error` ("MP3Encoder", 2) when the file cannot be written (a full
    // disk, a removed file system); the file then ends with the last whole
    // frame written before, so it still plays, and every later call throws the
    // same error.
    void encode(const int16_t* interleavedSamples, size_t count);
    void encode(const std::vector<int16_t>& interleavedSamples)
    {
        encode(interleavedSamples.data(), interleavedSamples.size());
    }
    // Pads the last pass with silence, flushes, syncs and closes. A second call
    // does nothing; so does `encode` afterwards. Throws like `encode`.
    void finish();

    int samplesPerPass() const { return m_samplesPerPass; }
    int sampleRate() const { return m_sampleRate; }
    int channels() const { return m_channels; }

private:
    void finishLocked();
    void writeBytes(const unsigned char* data, int count);
    void trackFrames(const unsigned char* data, size_t count);
    void completeLastFrame();
    void cutToWholeFrames();
    void encodePass(int16_t* samples);
    void throwIfFailed() const;

    shine_global_flags* m_shine = nullptr;
    int m_fd = -1;
    QString m_path;
    int m_sampleRate;
    int m_channels;
    int m_bitrate;
    std::vector<int16_t> m_pcmBuffer;
    int m_samplesPerPass = 0;
    std::optional<Error> m_writeError;
    // Frame boundaries of what was written, to complete the last frame.
    uint64_t m_bytesWritten = 0;
    uint64_t m_nextFrameStart = 0;
    uint64_t m_frameInProgressStart = 0; // of the last frame whose header was seen
    int m_frameBytes = 0; // without the padding byte
    unsigned char m_header[3] = {};
    int m_headerFill = 0;
    bool m_framesTracked = true;
    mutable std::mutex m_lock;
};
