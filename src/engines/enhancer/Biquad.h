#pragma once

#include <array>
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

    // The high-pass takes its quality factor (1/sqrt(2) for Butterworth, no
    // peak above the corner); the peaking filter's bandwidth is in octaves
    // between its band-edge points, as the cookbook defines it; shelves take
    // the cookbook's slope S.
    static constexpr double kButterworthQ = 0.70710678118654752;
    static Coefficients highPass(double sampleRate, double frequency, double q);
    static Coefficients peaking(double sampleRate, double frequency, double bandwidthOctaves, double gainDb);
    static Coefficients lowShelf(double sampleRate, double frequency, double gainDb, double slope);
    static Coefficients highShelf(double sampleRate, double frequency, double gainDb, double slope);

    Biquad() = default;
    explicit Biquad(const Coefficients& coefficients) : m_c(coefficients) { }

    // Filters both channels in place.
    void process(float* left, float* right, size_t frames);
    // Runs both channels through `sections` in their order, in place: one
    // pass over the samples, each frame through every section while its
    // states stay in registers, the two channels side by side in one vector.
    // The same as each section's `process` in turn, less the rounding to
    // float between sections.
    template <size_t N>
    static void processCascade(std::array<Biquad, N>& sections, float* left, float* right, size_t frames);
    void reset();

    const Coefficients& coefficients() const { return m_c; }
    // Magnitude of the response at `frequency`, for checks.
    double magnitudeAt(double sampleRate, double frequency) const;

private:
    Coefficients m_c;
    double m_left1 = 0, m_left2 = 0, m_right1 = 0, m_right2 = 0;
};

template <size_t N>
void Biquad::processCascade(std::array<Biquad, N>& sections, float* left, float* right, size_t frames)
{
    // Two doubles, left and right, in one register.
    using Pair = double __attribute__((vector_size(16)));
    Pair b0[N], b1[N], b2[N], a1[N], a2[N], s1[N], s2[N];
    for (size_t k = 0; k < N; ++k) {
        const Coefficients& c = sections[k].m_c;
        b0[k] = Pair{c.b0, c.b0};
        b1[k] = Pair{c.b1, c.b1};
        b2[k] = Pair{c.b2, c.b2};
        a1[k] = Pair{c.a1, c.a1};
        a2[k] = Pair{c.a2, c.a2};
        s1[k] = Pair{sections[k].m_left1, sections[k].m_right1};
        s2[k] = Pair{sections[k].m_left2, sections[k].m_right2};
    }
    for (size_t i = 0; i < frames; ++i) {
        Pair x = {left[i], right[i]};
        for (size_t k = 0; k < N; ++k) {
            const Pair y = b0[k] * x + s1[k];
            s1[k] = b1[k] * x - a1[k] * y + s2[k];
            s2[k] = b2[k] * x - a2[k] * y;
            x = y;
        }
        left[i] = static_cast<float>(x[0]);
        right[i] = static_cast<float>(x[1]);
    }
    for (size_t k = 0; k < N; ++k) {
        sections[k].m_left1 = s1[k][0];
        sections[k].m_right1 = s1[k][1];
        sections[k].m_left2 = s2[k][0];
        sections[k].m_right2 = s2[k][1];
    }
}
