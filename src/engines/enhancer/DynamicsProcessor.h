#pragma once

#include <cstddef>

// Levels the voice: a linked-stereo peak envelope drives downward compression
// above the threshold (with a soft knee), 2:1 downward expansion below the
// expansion threshold, and a fixed make-up gain.
class DynamicsProcessor {
public:
    explicit DynamicsProcessor(double sampleRate);

    void process(float* left, float* right, size_t frames);
    // The same for a block whose right channel equals its left: only the
    // left one is processed (the right one would come out the same).
    void processSame(float* samples, size_t frames);

private:
    template <bool Same>
    void run(float* left, float* right, size_t frames);
    // Gain in dB that the static curve gives an envelope at `levelDb`,
    // make-up included.
    static double curveGainDb(double levelDb);

    double m_attackCoefficient;
    double m_releaseCoefficient;
    double m_envelope = 0;
    float m_gain; // linear, at the end of the last control step
    size_t m_stepFill = 0;
    float m_stepPeak = 0;
};
