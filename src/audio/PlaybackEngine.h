#pragma once

#include "platform/media/Mp3Decoder.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace soundtouch {
class SoundTouch;
}

// Decodes one file for playback into interleaved float stereo at the file's
// own rate, stretched in time by SoundTouch when the tempo is not 1 (the pitch
// stays). It remembers where the rendered audio came from, so the position
// heard can be told from how much of it is still queued. Not thread-safe: the
// player calls it under its output's lock.
class PlaybackEngine {
public:
    static constexpr int kChannels = 2;

    PlaybackEngine();
    ~PlaybackEngine();
    PlaybackEngine(const PlaybackEngine&) = delete;
    PlaybackEngine& operator=(const PlaybackEngine&) = delete;

    bool open(const QString& path);
    void close();
    bool isOpen() const { return m_decoder.isOpen(); }
    QString errorString() const { return m_error; }

    int sampleRate() const { return m_sampleRate; }
    double duration() const { return m_duration; }
    double tempo() const { return m_tempo; }

    // Renders from `seconds` on at `tempo`; everything rendered before is
    // forgotten (the output drops it too).
    void reposition(double seconds, double tempo);

    // Fills up to `frames` frames; fewer only at the end of the file.
    int64_t render(float* interleaved, int64_t frames);
    // Everything up to the end of the file has been rendered.
    bool atEnd() const { return m_atEnd; }

    // Seconds into the file of what is heard now, when `latencyFrames` of the
    // rendered frames have not been heard yet.
    double positionHeard(int64_t latencyFrames) const;

private:
    int64_t renderStretched(float* interleaved, int64_t frames);

    Mp3Decoder m_decoder;
    std::unique_ptr<soundtouch::SoundTouch> m_stretch;
    std::vector<float> m_sourceChunk;
    QString m_error;
    int m_sampleRate = 0;
    double m_duration = 0;
    double m_tempo = 1.0;
    // Since the last reposition: where it started (source frames), how many
    // frames were rendered, how many source frames went in.
    int64_t m_startFrame = 0;
    int64_t m_renderedFrames = 0;
    int64_t m_sourceFramesRead = 0;
    bool m_sourceEnded = false;
    bool m_stretchFlushed = false;
    bool m_atEnd = false;
};
