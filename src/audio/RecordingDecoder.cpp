#include "audio/RecordingDecoder.h"

#include <QFile>

#include <algorithm>
#include <cmath>

#include <soxr.h>

namespace {

// Source frames decoded per step when resampling.
constexpr int64_t kSourceChunkFrames = 8192;

} // namespace

void RecordingDecoder::SoxrDeleter::operator()(soxr* resampler) const
{
    soxr_delete(resampler);
}

RecordingDecoder::RecordingDecoder() = default;
RecordingDecoder::~RecordingDecoder() = default;

RecordingDecoder::OpenResult RecordingDecoder::open(const QString& path)
{
    m_error.clear();
    m_resampler.reset();
    m_remainingSourceFrames = -1;
    m_sourceOffset = m_sourcePending = 0;
    m_sourceEnded = false;

    // libmpg123 opens anything, folders included, and only fails later; tell
    // a file we cannot read from one that holds no audio.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = file.errorString();
        return OpenResult::unreadable;
    }
    file.close();

    // Probe the file's rate first: at our own rate the decoder hands out the
    // final samples directly, otherwise floats for the resampler.
    if (!m_decoder.open(path, Mp3Decoder::SampleFormat::Int16, Mp3Decoder::Channels::Stereo)) {
        m_error = m_decoder.errorString();
        return OpenResult::noAudio;
    }
    m_sourceRate = m_decoder.sampleRate();
    if (m_sourceRate == kSampleRate)
        return OpenResult::opened;

    if (!m_decoder.open(path, Mp3Decoder::SampleFormat::Float32, Mp3Decoder::Channels::Stereo)) {
        m_error = m_decoder.errorString();
        return OpenResult::noAudio;
    }
    soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_INT16_I);
    // The result is encoded to MP3 at once; dither would only make it differ
    // from run to run.
    io.flags |= SOXR_NO_DITHER;
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
    soxr_error_t error = nullptr;
    m_resampler.reset(soxr_create(m_sourceRate, kSampleRate, kChannels, &error, &io, &quality, nullptr));
    if (!m_resampler) {
        m_error = QString::fromUtf8(error ? error : "Could not create the resampler.");
        m_decoder.close();
        return OpenResult::unreadable;
    }
    m_sourceBuffer.resize(static_cast<size_t>(kSourceChunkFrames * kChannels));
    return OpenResult::opened;
}

double RecordingDecoder::durationSeconds()
{
    return m_decoder.durationSeconds();
}

bool RecordingDecoder::setRange(double startSeconds, double endSeconds)
{
    const int64_t length = m_decoder.lengthFrames();
    const int64_t start = std::clamp<int64_t>(std::llround(startSeconds * m_sourceRate), 0, std::max<int64_t>(length, 0));
    const int64_t end = std::clamp<int64_t>(std::llround(endSeconds * m_sourceRate), start, std::max<int64_t>(length, start));
    if (!m_decoder.seekToFrame(start)) {
        m_error = m_decoder.errorString();
        return false;
    }
    m_remainingSourceFrames = end - start;
    if (m_resampler)
        soxr_clear(m_resampler.get());
    m_sourceOffset = m_sourcePending = 0;
    m_sourceEnded = false;
    return true;
}

int64_t RecordingDecoder::readSource(void* out, int64_t maxFrames)
{
    if (m_remainingSourceFrames >= 0)
        maxFrames = std::min(maxFrames, m_remainingSourceFrames);
    if (maxFrames <= 0)
        return 0;
    const int64_t frames = m_decoder.read(out, maxFrames);
    if (frames < 0) {
        m_error = m_decoder.errorString();
        return -1;
    }
    if (m_remainingSourceFrames >= 0)
        m_remainingSourceFrames -= frames;
    return frames;
}

int64_t RecordingDecoder::read(int16_t* out, int64_t maxFrames)
{
    if (!m_decoder.isOpen())
        return -1;
    return m_resampler ? readResampled(out, maxFrames) : readSource(out, maxFrames);
}

int64_t RecordingDecoder::readResampled(int16_t* out, int64_t maxFrames)
{
    int64_t produced = 0;
    while (produced < maxFrames) {
        if (!m_sourceEnded && m_sourcePending == 0) {
            const int64_t frames = readSource(m_sourceBuffer.data(), kSourceChunkFrames);
            if (frames < 0)
                return produced > 0 ? produced : -1;
            m_sourceOffset = 0;
            m_sourcePending = static_cast<size_t>(frames);
            m_sourceEnded = frames == 0;
        }
        size_t consumed = 0;
        size_t written = 0;
        int16_t* target = out + produced * kChannels;
        const auto room = static_cast<size_t>(maxFrames - produced);
        // Once the source is done, a null input drains what soxr still holds.
        const soxr_error_t error = m_sourceEnded
            ? soxr_process(m_resampler.get(), nullptr, 0, nullptr, target, room, &written)
            : soxr_process(m_resampler.get(), m_sourceBuffer.data() + m_sourceOffset * kChannels, m_sourcePending,
                           &consumed, target, room, &written);
        if (error) {
            m_error = QString::fromUtf8(error);
            return produced > 0 ? produced : -1;
        }
        m_sourceOffset += consumed;
        m_sourcePending -= consumed;
        produced += static_cast<int64_t>(written);
        if (m_sourceEnded && written == 0)
            break;
    }
    return produced;
}
