#pragma once

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

// While it lives, the calling thread treats denormal floats as zero. A filter
// ringing out after loud audio decays into denormals, which the processor
// handles many times slower than normal numbers; at that size they are far
// below anything a 16-bit file can hold.
class FlushDenormals {
public:
    FlushDenormals()
    {
#if defined(__SSE__)
        m_saved = _mm_getcsr();
        _mm_setcsr(m_saved | kFlushToZero | kDenormalsAreZero);
#endif
    }
    ~FlushDenormals()
    {
#if defined(__SSE__)
        _mm_setcsr(m_saved);
#endif
    }
    FlushDenormals(const FlushDenormals&) = delete;
    FlushDenormals& operator=(const FlushDenormals&) = delete;

private:
#if defined(__SSE__)
    static constexpr unsigned kFlushToZero = 0x8000;
    static constexpr unsigned kDenormalsAreZero = 0x0040;
    unsigned m_saved = 0;
#endif
};
