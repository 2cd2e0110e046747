#include "audio/AudioBufferExtractor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace AudioBufferExtractor {

namespace {

// Where the two sides of frame i are: L at left[i * stride], R at right[i * stride].
struct Sides {
    const char* left = nullptr;
    const char* right = nullptr;
    size_t stride = 1;
    bool isMono = false;
};

template <typename T>
T sampleAt(const char* base, size_t index)
{
    T value;
    std::memcpy(&value, base + index * sizeof(T), sizeof(T)); // QByteArray gives no alignment promise
    return value;
}

// A buffer must hold every sample the layout reads; a shorter one is unusable
// rather than read past its end.
bool holds(const QByteArray& buffer, size_t samples, size_t sampleSize)
{
    return !buffer.isEmpty() && static_cast<size_t>(buffer.size()) >= samples * sampleSize;
}

bool locateSides(const CapturedBuffer& buffer, size_t frames, size_t sampleSize, Sides& sides)
{
    if (buffer.buffers.size() >= 2) {
        const QByteArray& first = buffer.buffers[0];
        const QByteArray& second = buffer.buffers[1];
        if (!holds(first, frames, sampleSize) || !holds(second, frames, sampleSize))
            return false;
        sides = {first.constData(), second.constData(), 1, false};
        return true;
    }
    const QByteArray& data = buffer.buffers[0];
    const int channels = buffer.channelsPerFrame;
    if (channels < 1)
        return false;
    if (channels == 1) {
        if (!holds(data, frames, sampleSize))
            return false;
        sides = {data.constData(), data.constData(), 1, true};
        return true;
    }
    if (buffer.isNonInterleaved) {
        // Only the first two planes are read.
        if (!holds(data, 2 * frames, sampleSize))
            return false;
        sides = {data.constData(), data.constData() + frames * sampleSize, 1, false};
        return true;
    }
    if (!holds(data, frames * static_cast<size_t>(channels), sampleSize))
        return false;
    sides = {data.constData(), data.constData() + sampleSize, static_cast<size_t>(channels), false};
    return true;
}

// Truncate toward zero, then clamp to the 16-bit range.
inline int16_t toInt16(float value)
{
    value = std::clamp(value, -32768.0f, 32767.0f);
    return static_cast<int16_t>(static_cast<int32_t>(value));
}

inline int16_t floatToSample(float v)
{
    if (std::isnan(v))
        return 0;
    v = std::clamp(v, -1.0f, 1.0f);
    return toInt16(32767.0f * v);
}

inline float level(float v) { return v; }
inline float level(int16_t v) { return static_cast<float>(v) / 32768.0f; }

template <typename T>
float sideRms(const char* base, size_t stride, size_t frames)
{
    double sum = 0;
    for (size_t i = 0; i < frames; ++i) {
        const double v = level(sampleAt<T>(base, i * stride));
        sum += v * v;
    }
    return static_cast<float>(std::sqrt(sum / static_cast<double>(frames)));
}

inline int16_t convert(float v) { return floatToSample(v); }
inline int16_t convert(int16_t v) { return v; }

inline float average(float l, float r) { return (l + r) * 0.5f; }
inline int16_t average(int16_t l, int16_t r)
{
    return static_cast<int16_t>((static_cast<int32_t>(l) + static_cast<int32_t>(r)) / 2);
}

enum class Fold { Keep, BothLeft, BothRight, Average };

Fold chooseFold(float rmsL, float rmsR, bool isMicrophone)
{
    if (isMicrophone) {
        if (rmsL > 0.005f && rmsR < 0.001f)
            return Fold::BothLeft;
        if (rmsR > 0.005f && rmsL < 0.001f)
            return Fold::BothRight;
        return Fold::Average;
    }
    // A dead side takes the live one; both cannot be dead at once.
    if (rmsL < 0.0001f && rmsR > 0.0005f)
        return Fold::BothRight;
    if (rmsR < 0.0001f && rmsL > 0.0005f)
        return Fold::BothLeft;
    return Fold::Keep;
}

// Converts N frames into interleaved stereo; returns the sum of squared output samples.
template <typename T>
uint64_t convertFrames(const Sides& sides, size_t frames, bool isMicrophone, int16_t* out)
{
    Fold fold = Fold::BothLeft; // mono: the one channel on both sides
    if (!sides.isMono) {
        const float rmsL = sideRms<T>(sides.left, sides.stride, frames);
        const float rmsR = sideRms<T>(sides.right, sides.stride, frames);
        fold = chooseFold(rmsL, rmsR, isMicrophone);
    }
    uint64_t squares = 0;
    for (size_t i = 0; i < frames; ++i) {
        const T l = sampleAt<T>(sides.left, i * sides.stride);
        const T r = sampleAt<T>(sides.right, i * sides.stride);
        int16_t left = 0;
        int16_t right = 0;
        switch (fold) {
        case Fold::Keep:
            left = convert(l);
            right = convert(r);
            break;
        case Fold::BothLeft:
            left = right = convert(l);
            break;
        case Fold::BothRight:
            left = right = convert(r);
            break;
        case Fold::Average:
            left = right = convert(average(l, r));
            break;
        }
        out[2 * i] = left;
        out[2 * i + 1] = right;
        squares += static_cast<uint64_t>(int64_t(left) * left) + static_cast<uint64_t>(int64_t(right) * right);
    }
    return squares;
}

} // namespace

Extracted extractStereo44k(const CapturedBuffer& buffer, bool isMicrophone)
{
    if (buffer.buffers.isEmpty() || buffer.frameCount < 1)
        return {};
    const size_t frames = static_cast<size_t>(buffer.frameCount);
    const size_t sampleSize = buffer.isFloat ? sizeof(float) : sizeof(int16_t);
    Sides sides;
    if (!locateSides(buffer, frames, sampleSize, sides))
        return {};

    Extracted result;
    result.samples.resize(2 * frames);
    const uint64_t squares = buffer.isFloat
        ? convertFrames<float>(sides, frames, isMicrophone, result.samples.data())
        : convertFrames<int16_t>(sides, frames, isMicrophone, result.samples.data());
    result.rms = static_cast<float>(std::sqrt(static_cast<double>(squares) / static_cast<double>(2 * frames)) / 32768.0);

    const double rate = buffer.sampleRate;
    if (std::abs(rate - targetSampleRate) > 1.0 && rate > 0)
        result.samples = resampleStereo(result.samples, rate, targetSampleRate);
    return result;
}

std::vector<int16_t> resampleStereo(const std::vector<int16_t>& samples, double fromRate, double toRate)
{
    const size_t frames = samples.size() / 2;
    const double ratio = fromRate / toRate;
    // frames / ratio rounded twice: 480 / (48,000 / 44,100) gives 440.99999999999994,
    // and one frame lost per 10 ms delivery. Multiplying first is exact for whole results.
    const double wanted = static_cast<double>(frames) * toRate / fromRate;
    if (!(wanted >= 1) || !std::isfinite(wanted))
        return {};
    const size_t outFrames = static_cast<size_t>(wanted);
    std::vector<int16_t> out(2 * outFrames);
    size_t written = 0;
    for (size_t j = 0; j < outFrames; ++j) {
        const double position = ratio * static_cast<double>(j);
        const size_t k = static_cast<size_t>(position);
        const float t = static_cast<float>(position - static_cast<double>(k));
        if (k + 1 < frames) {
            for (size_t side = 0; side < 2; ++side) {
                const float a = samples[2 * k + side];
                const float b = samples[2 * (k + 1) + side];
                out[written++] = toInt16(a + (b - a) * t);
            }
        } else if (k < frames) {
            out[written++] = samples[2 * k];
            out[written++] = samples[2 * k + 1];
        }
    }
    out.resize(written);
    return out;
}

} // namespace AudioBufferExtractor
