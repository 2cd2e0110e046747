#pragma once

#include <complex>
#include <cstddef>

// A real-to-complex FFT of one fixed size and its inverse, on FFTW's single
// precision. Each instance owns its (SIMD-aligned) buffers; the plans are
// made once per size and shared, so instances may run on different threads.
// Neither direction scales: inverse(forward(x)) is size() times x.
class RealFft {
public:
    explicit RealFft(size_t size);
    ~RealFft();
    RealFft(const RealFft&) = delete;
    RealFft& operator=(const RealFft&) = delete;

    size_t size() const { return m_size; }
    size_t bins() const { return m_size / 2 + 1; }

    // The time-domain buffer, size() samples: fill it, then `forward`;
    // after `inverse` it holds the result.
    float* time() { return m_time; }
    const float* time() const { return m_time; }
    // The spectrum, bins() values from DC to Nyquist.
    std::complex<float>* spectrum() { return m_spectrum; }

    void forward();
    void inverse();

private:
    size_t m_size;
    float* m_time;
    std::complex<float>* m_spectrum;
    void* m_forwardPlan;
    void* m_inversePlan;
};
