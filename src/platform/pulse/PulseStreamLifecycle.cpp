#include "platform/pulse/PulseStreamLifecycle.h"

#include "platform/pulse/PulseContext.h"

#include <chrono>

namespace {

constexpr auto setupTimeout = std::chrono::seconds(5);

} // namespace

void PulseStreamLifecycle::begin()
{
    std::lock_guard lock(m_mutex);
    m_finished = false;
    m_error.reset();
}

void PulseStreamLifecycle::fail(const Error& error)
{
    std::lock_guard lock(m_mutex);
    m_error = error;
    m_finished = true;
}

std::optional<Error> PulseStreamLifecycle::wait()
{
    std::unique_lock lock(m_mutex);
    if (!m_done.wait_for(lock, setupTimeout, [this] { return m_finished; }))
        m_error = PulseContext::errorOf(PA_ERR_TIMEOUT);
    return m_error;
}

std::optional<Error> PulseStreamLifecycle::stateChanged(pa_stream* stream)
{
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state != PA_STREAM_READY && state != PA_STREAM_FAILED && state != PA_STREAM_TERMINATED)
        return std::nullopt;
    std::unique_lock lock(m_mutex);
    if (!m_finished) {
        if (state != PA_STREAM_READY)
            m_error = PulseContext::errorOf(pa_stream_get_context(stream));
        m_finished = true;
        m_done.notify_all();
        return std::nullopt;
    }
    lock.unlock();
    if (state == PA_STREAM_READY)
        return std::nullopt;
    return PulseContext::errorOf(pa_stream_get_context(stream));
}

void PulseStreamLifecycle::release(pa_stream*& stream)
{
    if (!stream)
        return;
    pa_stream_set_state_callback(stream, nullptr, nullptr);
    pa_stream_set_read_callback(stream, nullptr, nullptr);
    pa_stream_set_write_callback(stream, nullptr, nullptr);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state == PA_STREAM_READY || state == PA_STREAM_CREATING)
        pa_stream_disconnect(stream);
    pa_stream_unref(stream);
    stream = nullptr;
}
