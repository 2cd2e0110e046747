#include "engines/enhancer/RealFft.h"

#include <fftw3.h>

#include <map>
#include <mutex>
#include <new>
#include <utility>

namespace {

// FFTW's planner is not thread-safe; executing a plan on other arrays of the
// same alignment is. Plans live as long as the process.
std::pair<fftwf_plan, fftwf_plan> plansFor(size_t size)
{
    static std::mutex mutex;
    static std::map<size_t, std::pair<fftwf_plan, fftwf_plan>> plans;
    const std::lock_guard lock(mutex);
    auto found = plans.find(size);
    if (found != plans.end())
        return found->second;
    const int n = static_cast<int>(size);
    float* time = fftwf_alloc_real(size);
    fftwf_complex* spectrum = fftwf_alloc_complex(size / 2 + 1);
    if (!time || !spectrum)
        throw std::bad_alloc();
    // Estimated plans: measuring would take longer than most files need, and
    // gives plans (and last bits of the output) that differ from run to run.
    const unsigned flags = FFTW_ESTIMATE | FFTW_DESTROY_INPUT;
    const std::pair<fftwf_plan, fftwf_plan> made{fftwf_plan_dft_r2c_1d(n, time, spectrum, flags),
                                                 fftwf_plan_dft_c2r_1d(n, spectrum, time, flags)};
    fftwf_free(time);
    fftwf_free(spectrum);
    plans.emplace(size, made);
    return made;
}

} // namespace

RealFft::RealFft(size_t size)
    : m_size(size)
    , m_time(fftwf_alloc_real(size))
    , m_spectrum(reinterpret_cast<std::complex<float>*>(fftwf_alloc_complex(size / 2 + 1)))
{
    if (!m_time || !m_spectrum) {
        fftwf_free(m_time);
        fftwf_free(m_spectrum);
        throw std::bad_alloc();
    }
    const auto [forwardPlan, inversePlan] = plansFor(size);
    m_forwardPlan = forwardPlan;
    m_inversePlan = inversePlan;
}

RealFft::~RealFft()
{
    fftwf_free(m_time);
    fftwf_free(m_spectrum);
}

void RealFft::forward()
{
    fftwf_execute_dft_r2c(static_cast<fftwf_plan>(m_forwardPlan), m_time, reinterpret_cast<fftwf_complex*>(m_spectrum));
}

void RealFft::inverse()
{
    fftwf_execute_dft_c2r(static_cast<fftwf_plan>(m_inversePlan), reinterpret_cast<fftwf_complex*>(m_spectrum), m_time);
}
