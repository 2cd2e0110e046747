#pragma once

#include <cstddef>

// One second-order IIR section with the Audio EQ Cookbook's (RBJ) designs,
// run on two channels at once in transposed direct form II. Coefficients and
// state are doubles: at 44.1 kHz a section tuned below 100 Hz has poles so
// close to the unit circle that float coefficients would move its corner.
class Biquad {
public:
    struct Coefficients {
        double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0; // normalised: a0 = 1
    };

    // Bandwidths are in octaves between the -3 dB points (band-edge points
    // for the peaking filter), as the cookbook defines them; shelves take
    // the cookbook's slope S.
    static Coefficients highPass(double sampleRate, double frequency, double bandwidthOctaves);
    static Coefficients peaking(double sampleRate, double frequency, double bandwidthOctaves, double gainDb);
    static Coefficients lowShelf(double sampleRate, double frequency, double gainDb, double slope);
    static Coefficients highShelf(double sampleRate, double frequency, double gainDb, double slope);

    Biquad() = default;
    explicit Biquad(const Coefficients& coefficients) : m_c(coefficients) { }

    // Filters both channels in place.
    void process(float* left, float* right, size_t frames);
    void reset();

    const Coefficients& coefficients() const { return m_c; }
    // Magnitude of the response at `frequency`, for checks.
    double magnitudeAt(double sampleRate, double frequency) const;

private:
    Coefficients m_c;
    double m_left1 = 0, m_left2 = 0, m_right1 = 0, m_right2 = 0;
};
