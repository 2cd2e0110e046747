#include "engines/speech/LiveTranscriptionSession.h"

#include <QPromise>

#include <algorithm>
#include <memory>

LiveTranscriptionSession::LiveTranscriptionSession(Inference inference, QObject* parent)
    : QObject(parent)
    , m_inference(std::move(inference))
{
}

std::vector<float> LiveTranscriptionSession::convert44kStereoTo16kMono(const int16_t* samples, size_t count)
{
    if (count < 2)
        return {};
    const size_t monoCount = count / 2;
    std::vector<float> mono(monoCount);
    for (size_t i = 0; i < monoCount; ++i)
        mono[i] = (float(samples[2 * i]) / 32768.0f + float(samples[2 * i + 1]) / 32768.0f) * 0.5f;

    const auto outputCount = static_cast<size_t>(double(monoCount) * kRateRatio);
    std::vector<float> output(outputCount);
    for (size_t i = 0; i < outputCount; ++i) {
        const double position = double(i) / kRateRatio;
        const auto k = static_cast<size_t>(position);
        const float a = mono[k];
        const float b = k + 1 < monoCount ? mono[k + 1] : a;
        output[i] = a + (b - a) * static_cast<float>(position - double(k));
    }
    return output;
}

void LiveTranscriptionSession::resetBuffer()
{
    std::lock_guard lock(m_mutex);
    m_liveAudioBuffer.clear();
    m_liveAudioBuffer.shrink_to_fit();
    m_lastTranscribedSampleCount = 0;
}

void LiveTranscriptionSession::startLiveSession()
{
    resetBuffer();
    publish(QString(), {}, QString());
}

void LiveTranscriptionSession::finishLiveSession()
{
    startLiveSession();
}

void LiveTranscriptionSession::feedAudio(const int16_t* samples44kStereo, size_t count)
{
    const std::vector<float> converted = convert44kStereoTo16kMono(samples44kStereo, count);
    if (converted.empty())
        return;
    bool due = false;
    {
        std::lock_guard lock(m_mutex);
        m_liveAudioBuffer.insert(m_liveAudioBuffer.end(), converted.begin(), converted.end());
        const auto length = static_cast<int64_t>(m_liveAudioBuffer.size());
        if (length - m_lastTranscribedSampleCount >= kTriggerSamples && !m_isProcessingLiveChunk) {
            m_lastTranscribedSampleCount = length;
            due = true;
        }
    }
    if (due && m_inference.isModelLoaded())
        runIncrementalLiveTranscribe();
}

void LiveTranscriptionSession::runIncrementalLiveTranscribe()
{
    if (!m_inference.isModelLoaded() || m_inference.isTranscribingFile())
        return;
    std::vector<float> chunk;
    {
        std::lock_guard lock(m_mutex);
        if (m_isProcessingLiveChunk)
            return;
        m_isProcessingLiveChunk = true;
        const size_t length = m_liveAudioBuffer.size();
        const size_t start = length > size_t(kWindowSamples) ? length - size_t(kWindowSamples) : 0;
        chunk.assign(m_liveAudioBuffer.begin() + static_cast<std::ptrdiff_t>(start), m_liveAudioBuffer.end());
    }
    m_inference.post([this, chunk = std::move(chunk)] {
        const std::optional<Transcription> result = m_inference.transcribe(chunk, true);
        // Each chunk's result replaces the last; its times count from the
        // chunk's start.
        if (result)
            publish(result->text, result->segments,
                    result->language.isEmpty() ? std::nullopt : std::optional<QString>(result->language));
        std::lock_guard lock(m_mutex);
        m_isProcessingLiveChunk = false;
    });
}

QFuture<Transcription> LiveTranscriptionSession::stopLiveSession()
{
    std::vector<float> samples;
    {
        std::lock_guard lock(m_mutex);
        samples.swap(m_liveAudioBuffer);
        m_lastTranscribedSampleCount = 0;
    }
    publish(QString(), {}, QString());

    auto promise = std::make_shared<QPromise<Transcription>>();
    QFuture<Transcription> future = promise->future();
    promise->start();
    if (samples.empty() || !m_inference.isModelLoaded()) {
        promise->addResult(Transcription());
        promise->finish();
        return future;
    }
    m_inference.post([this, promise, samples = std::move(samples)] {
        const std::optional<Transcription> result = m_inference.transcribe(samples, false);
        promise->addResult(result.value_or(Transcription()));
        promise->finish();
    });
    return future;
}

void LiveTranscriptionSession::publish(const QString& text, const QList<TranscriptSegment>& segments,
                                       const std::optional<QString>& language)
{
    QMetaObject::invokeMethod(this, [this, text, segments, language] {
        if (m_liveTranscript != text) {
            m_liveTranscript = text;
            Q_EMIT liveTranscriptChanged(m_liveTranscript);
        }
        if (m_liveSegments != segments) {
            m_liveSegments = segments;
            Q_EMIT liveSegmentsChanged(m_liveSegments);
        }
        if (language && m_detectedLanguage != *language) {
            m_detectedLanguage = *language;
            Q_EMIT detectedLanguageChanged(m_detectedLanguage);
        }
    }, Qt::QueuedConnection);
}

int64_t LiveTranscriptionSession::bufferedSamples() const
{
    std::lock_guard lock(m_mutex);
    return static_cast<int64_t>(m_liveAudioBuffer.size());
}

int64_t LiveTranscriptionSession::lastTranscribedSampleCount() const
{
    std::lock_guard lock(m_mutex);
    return m_lastTranscribedSampleCount;
}

bool LiveTranscriptionSession::isProcessingLiveChunk() const
{
    std::lock_guard lock(m_mutex);
    return m_isProcessingLiveChunk;
}
