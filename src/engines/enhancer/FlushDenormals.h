#pragma once

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

// While it lives, the calling thread treats denormal floats as zero. A filter
// ringing out after loud audio decays into denormals, which the processor
// handles many times slower than normal numbers; at that size they are far
// below anything a 16-bit file can hold. x86 (SSE) and ARM have a switch for
// it; elsewhere this does nothing.
class FlushDenormals {
public:
    FlushDenormals()
    {
#if defined(__SSE__)
        m_saved = _mm_getcsr();
        _mm_setcsr(m_saved | kFlushToZero | kDenormalsAreZero);
#elif defined(__aarch64__)
        __asm__ __volatile__("mrs %0, fpcr" : "=r"(m_saved));
        const unsigned long flushing = m_saved | kFlushToZero;
        __asm__ __volatile__("msr fpcr, %0" : : "r"(flushing));
#elif defined(__arm__) && defined(__ARM_FP)
        __asm__ __volatile__("vmrs %0, fpscr" : "=r"(m_saved));
        const unsigned flushing = m_saved | kFlushToZero;
        __asm__ __volatile__("vmsr fpscr, %0" : : "r"(flushing));
#endif
    }
    ~FlushDenormals()
    {
#if defined(__SSE__)
        _mm_setcsr(m_saved);
#elif defined(__aarch64__)
        __asm__ __volatile__("msr fpcr, %0" : : "r"(m_saved));
#elif defined(__arm__) && defined(__ARM_FP)
        __asm__ __volatile__("vmsr fpscr, %0" : : "r"(m_saved));
#endif
    }
    FlushDenormals(const FlushDenormals&) = delete;
    FlushDenormals& operator=(const FlushDenormals&) = delete;

private:
#if defined(__SSE__)
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned m_saved = 0;
#elif defined(__aarch64__)
    static constexpr unsigned long kFlushToZero = 1ul << 24; // FPCR.FZ
    unsigned long m_saved = 0;
#elif defined(__arm__) && defined(__ARM_FP)
    static constexpr unsigned kFlushToZero = 1u << 24; // FPSCR.FZ
    unsigned m_saved = 0;
#endif
};
