#pragma once

#include <QString>

#include <cstdint>
#include <cstdio>

struct mpg123_handle_struct;

// Reads an MP3 file with libmpg123: its exact length (every frame is scanned)
// and its samples, interleaved, at the file's own rate. Every place that reads
// a recording goes through this class.
class Mp3Decoder {
public:
    enum class SampleFormat { Int16, Float32 };
    // Output channel layout: the file's own, or mixed/duplicated to 1 or 2.
    enum class Channels { Native = 0, Mono = 1, Stereo = 2 };

    Mp3Decoder();
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    bool open(const QString& path, SampleFormat format = SampleFormat::Int16,
              Channels channels = Channels::Native);
    void close();
    bool isOpen() const { return m_handle != nullptr; }
    QString errorString() const { return m_error; }

    int sampleRate() const { return m_rate; }
    int channelCount() const { return m_channels; }
    SampleFormat sampleFormat() const { return m_format; }

    // Frames (samples per channel) in the whole file; scans it once.
    int64_t lengthFrames();
    double durationSeconds();

    // Reads up to `maxFrames` frames into `buffer`. Returns the frames read,
    // 0 at the end of the file, -1 on a decoding error.
    int64_t read(void* buffer, int64_t maxFrames);

    bool seekToFrame(int64_t frame);
    int64_t positionFrames();

    // Length of a file in seconds, or NaN when it cannot be read as MP3.
    static double durationOf(const QString& path);

private:
    mpg123_handle_struct* m_handle = nullptr;
    // The file, read through a buffer of our own: libmpg123's own reader
    // asks the system for every frame's header and body separately.
    std::FILE* m_file = nullptr;
    SampleFormat m_format = SampleFormat::Int16;
    int m_rate = 0;
    int m_channels = 0;
    int64_t m_length = -1;
    QString m_error;
};
