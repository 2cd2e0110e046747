#include "CapturedAudio.h"

#include "support/ToneDetector.h"

#include <algorithm>

std::function<void(const CapturedBuffer&)> CapturedAudio::handler()
{
    return [this](const CapturedBuffer& buffer) {
        const bool wellFormed = buffer.sampleRate == 44100 && buffer.isFloat && !buffer.isNonInterleaved
            && buffer.channelsPerFrame == 2 && buffer.buffers.size() == 1
            && buffer.buffers.first().size() == qsizetype(buffer.frameCount) * 2 * qsizetype(sizeof(float));
        if (!wellFormed) {
            m_allWellFormed = false;
            return;
        }
        const auto* floats = reinterpret_cast<const float*>(buffer.buffers.first().constData());
        std::lock_guard lock(m_mutex);
        for (int i = 0; i < buffer.frameCount * 2; ++i)
            m_samples.push_back(int16_t(std::clamp(floats[i], -1.0f, 1.0f) * 32767));
        ++m_deliveries;
    };
}

size_t CapturedAudio::frames() const
{
    std::lock_guard lock(m_mutex);
    return m_samples.size() / 2;
}

std::vector<int16_t> CapturedAudio::samples() const
{
    std::lock_guard lock(m_mutex);
    return m_samples;
}

std::vector<int16_t> CapturedAudio::samplesFrom(size_t first) const
{
    std::lock_guard lock(m_mutex);
    if (first * 2 >= m_samples.size())
        return {};
    return std::vector<int16_t>(m_samples.begin() + std::ptrdiff_t(first * 2), m_samples.end());
}

double CapturedAudio::peakAmplitude(double frequency) const
{
    return ToneDetector::peakAmplitude(samples(), 2, 44100, frequency);
}

double CapturedAudio::peakAmplitudeFrom(size_t firstFrame, double frequency) const
{
    return ToneDetector::peakAmplitude(samplesFrom(firstFrame), 2, 44100, frequency);
}
