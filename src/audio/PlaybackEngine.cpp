#include "audio/PlaybackEngine.h"

#include <soundtouch/SoundTouch.h>

#include <algorithm>
#include <cmath>

namespace {

// Source frames decoded at a time for the stretcher.
constexpr int64_t kSourceChunkFrames = 2048;

} // namespace

PlaybackEngine::PlaybackEngine() = default;
PlaybackEngine::~PlaybackEngine() = default;

bool PlaybackEngine::open(const QString& path)
{
    close();
    if (!m_decoder.open(path, Mp3Decoder::SampleFormat::Float32, Mp3Decoder::Channels::Stereo)) {
        m_error = m_decoder.errorString();
        return false;
    }
    const double duration = m_decoder.durationSeconds();
    if (std::isnan(duration)) {
        m_error = m_decoder.errorString().isEmpty() ? QStringLiteral("Not a readable MP3 file.") : m_decoder.errorString();
        m_decoder.close();
        return false;
    }
    m_error.clear();
    m_sampleRate = m_decoder.sampleRate();
    m_duration = duration;
    m_stretch = std::make_unique<soundtouch::SoundTouch>();
    m_stretch->setSampleRate(static_cast<unsigned>(m_sampleRate));
    m_stretch->setChannels(kChannels);
    m_sourceChunk.resize(static_cast<size_t>(kSourceChunkFrames * kChannels));
    reposition(0, m_tempo);
    return true;
}

void PlaybackEngine::close()
{
    m_decoder.close();
    m_stretch.reset();
    m_sampleRate = 0;
    m_duration = 0;
    m_startFrame = m_renderedFrames = m_sourceFramesRead = 0;
    m_atEnd = false;
}

void PlaybackEngine::reposition(double seconds, double tempo)
{
    m_tempo = tempo > 0 ? tempo : 1.0;
    if (!isOpen())
        return;
    const int64_t length = m_decoder.lengthFrames();
    m_startFrame = std::clamp<int64_t>(std::llround(seconds * m_sampleRate), 0, std::max<int64_t>(length, 0));
    m_decoder.seekToFrame(m_startFrame);
    m_stretch->clear();
    m_stretch->setTempo(m_tempo);
    m_renderedFrames = 0;
    m_sourceFramesRead = 0;
    m_sourceEnded = false;
    m_stretchFlushed = false;
    m_atEnd = false;
}

int64_t PlaybackEngine::render(float* interleaved, int64_t frames)
{
    if (!isOpen() || m_atEnd || frames <= 0)
        return 0;
    int64_t produced = 0;
    if (m_tempo == 1.0) {
        // At normal speed the decoded samples go out untouched.
        const int64_t read = m_decoder.read(interleaved, frames);
        produced = std::max<int64_t>(read, 0);
        m_sourceFramesRead += produced;
        m_atEnd = produced < frames;
    } else {
        produced = renderStretched(interleaved, frames);
    }
    m_renderedFrames += produced;
    return produced;
}

int64_t PlaybackEngine::renderStretched(float* interleaved, int64_t frames)
{
    int64_t produced = 0;
    while (produced < frames) {
        int64_t wanted = frames - produced;
        if (m_stretchFlushed) {
            // The stretcher pads its last block with silence; stop where the
            // file's own audio ends.
            const auto expected = static_cast<int64_t>(std::ceil(m_sourceFramesRead / m_tempo));
            wanted = std::min(wanted, expected - (m_renderedFrames + produced));
            if (wanted <= 0) {
                m_stretch->clear();
                m_atEnd = true;
                break;
            }
        }
        const unsigned got = m_stretch->receiveSamples(interleaved + produced * kChannels, static_cast<unsigned>(wanted));
        produced += got;
        if (produced >= frames)
            break;
        if (got > 0)
            continue;
        if (m_sourceEnded) {
            if (m_stretchFlushed) {
                m_atEnd = true;
                break;
            }
            m_stretch->flush();
            m_stretchFlushed = true;
            continue;
        }
        const int64_t read = m_decoder.read(m_sourceChunk.data(), kSourceChunkFrames);
        if (read <= 0) {
            m_sourceEnded = true;
            continue;
        }
        m_sourceFramesRead += read;
        m_stretch->putSamples(m_sourceChunk.data(), static_cast<unsigned>(read));
    }
    return produced;
}

double PlaybackEngine::positionHeard(int64_t latencyFrames) const
{
    if (!isOpen())
        return 0;
    const int64_t heard = std::max<int64_t>(0, m_renderedFrames - std::max<int64_t>(latencyFrames, 0));
    // Never ahead of what was decoded: the stretcher holds some input back.
    const double frame = static_cast<double>(m_startFrame)
        + std::min(static_cast<double>(heard) * m_tempo, static_cast<double>(m_sourceFramesRead));
    return std::min(frame / m_sampleRate, m_duration);
}
