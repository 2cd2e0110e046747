#include "platform/pulse/PulsePlaybackOutput.h"

#include "platform/pulse/PulseContext.h"

#include <pulse/stream.h>
#include <pulse/timeval.h>

namespace {

// Audio queued ahead of the device: short, so seeking and pausing answer at once.
constexpr pa_usec_t kTargetLatencyUsec = 100 * PA_USEC_PER_MSEC;

} // namespace

PulsePlaybackOutput::~PulsePlaybackOutput()
{
    close();
}

void PulsePlaybackOutput::open(int sampleRate, int channels, Handlers handlers)
{
    PulseContext& pulse = PulseContext::shared();
    m_lifecycle.begin();
    pulse.withLock([&](pa_context* context) {
        closeLocked();
        m_handlers = std::move(handlers);
        m_sampleRate = sampleRate;
        m_channels = channels;
        m_sourceEnded = false;
        m_failed = false;
        if (!context) {
            m_lifecycle.fail(PulseContext::notConnectedError());
            return;
        }
        const pa_sample_spec spec = {PA_SAMPLE_FLOAT32LE, static_cast<uint32_t>(sampleRate),
                                     static_cast<uint8_t>(channels)};
        pa_channel_map map;
        pa_channel_map_init_auto(&map, static_cast<unsigned>(channels), PA_CHANNEL_MAP_DEFAULT);
        pa_proplist* properties = pa_proplist_new();
        pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "music");
        m_stream = pa_stream_new_with_proplist(context, "Playback", &spec, &map, properties);
        pa_proplist_free(properties);
        if (!m_stream) {
            m_lifecycle.fail(PulseContext::errorOf(context));
            return;
        }
        pa_stream_set_state_callback(m_stream, &PulsePlaybackOutput::onStateChanged, this);
        pa_stream_set_write_callback(m_stream, &PulsePlaybackOutput::onWritable, this);

        pa_buffer_attr attributes;
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.tlength = static_cast<uint32_t>(pa_usec_to_bytes(kTargetLatencyUsec, &spec));
        attributes.prebuf = static_cast<uint32_t>(-1);
        attributes.minreq = static_cast<uint32_t>(-1);
        attributes.fragsize = static_cast<uint32_t>(-1);
        const auto flags = static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_INTERPOLATE_TIMING
                                                          | PA_STREAM_AUTO_TIMING_UPDATE | PA_STREAM_ADJUST_LATENCY);
        if (pa_stream_connect_playback(m_stream, nullptr, &attributes, flags, nullptr, nullptr) < 0) {
            m_lifecycle.fail(PulseContext::errorOf(context));
            closeLocked();
        }
    });

    if (const std::optional<Error> error = m_lifecycle.wait()) {
        close();
        throw *error;
    }
}

void PulsePlaybackOutput::close()
{
    PulseContext::shared().withLock([this](pa_context*) { closeLocked(); });
}

void PulsePlaybackOutput::closeLocked()
{
    cancelDrain();
    PulseStreamLifecycle::release(m_stream);
    m_handlers = {};
    m_sampleRate = 0;
}

bool PulsePlaybackOutput::isOpen() const
{
    bool open = false;
    PulseContext::shared().withLock([&](pa_context*) {
        open = m_stream && !m_failed && pa_stream_get_state(m_stream) == PA_STREAM_READY;
    });
    return open;
}

void PulsePlaybackOutput::locked(const std::function<void()>& work)
{
    PulseContext::shared().withLock([&](pa_context*) { work(); });
}

void PulsePlaybackOutput::setPaused(bool paused)
{
    PulseContext::shared().withLock([&](pa_context*) {
        if (!m_stream || pa_stream_get_state(m_stream) != PA_STREAM_READY)
            return;
        if (pa_operation* op = pa_stream_cork(m_stream, paused ? 1 : 0, nullptr, nullptr))
            pa_operation_unref(op);
    });
}

void PulsePlaybackOutput::flush()
{
    PulseContext::shared().withLock([&](pa_context*) {
        cancelDrain();
        m_sourceEnded = false;
        if (!m_stream || pa_stream_get_state(m_stream) != PA_STREAM_READY)
            return;
        // The server asks for new data once it has dropped the old.
        if (pa_operation* op = pa_stream_flush(m_stream, nullptr, nullptr))
            pa_operation_unref(op);
    });
}

int64_t PulsePlaybackOutput::latencyFrames()
{
    int64_t frames = -1;
    PulseContext::shared().withLock([&](pa_context*) {
        if (!m_stream || pa_stream_get_state(m_stream) != PA_STREAM_READY)
            return;
        pa_usec_t usec = 0;
        int negative = 0;
        // Unknown right after a flush, until the server has answered.
        if (pa_stream_get_latency(m_stream, &usec, &negative) < 0)
            return;
        frames = negative ? 0 : static_cast<int64_t>(usec * static_cast<uint64_t>(m_sampleRate) / PA_USEC_PER_SEC);
    });
    return frames;
}

void PulsePlaybackOutput::cancelDrain()
{
    if (m_drain) {
        pa_operation_cancel(m_drain);
        pa_operation_unref(m_drain);
        m_drain = nullptr;
    }
}

void PulsePlaybackOutput::onStateChanged(pa_stream* stream, void* userdata)
{
    auto* self = static_cast<PulsePlaybackOutput*>(userdata);
    const std::optional<Error> error = self->m_lifecycle.stateChanged(stream);
    if (error && !self->m_failed) {
        self->m_failed = true;
        self->cancelDrain();
        if (self->m_handlers.failed)
            self->m_handlers.failed(*error);
    }
}

void PulsePlaybackOutput::onWritable(pa_stream* stream, size_t bytes, void* userdata)
{
    auto* self = static_cast<PulsePlaybackOutput*>(userdata);
    if (self->m_sourceEnded || !self->m_handlers.render)
        return;
    const size_t frameBytes = sizeof(float) * static_cast<size_t>(self->m_channels);
    while (bytes >= frameBytes && !self->m_sourceEnded) {
        void* data = nullptr;
        size_t size = bytes;
        if (pa_stream_begin_write(stream, &data, &size) < 0 || !data || size < frameBytes)
            return;
        const auto wanted = static_cast<int64_t>(size / frameBytes);
        const int64_t frames = self->m_handlers.render(static_cast<float*>(data), wanted);
        if (frames > 0)
            pa_stream_write(stream, data, static_cast<size_t>(frames) * frameBytes, nullptr, 0, PA_SEEK_RELATIVE);
        else
            pa_stream_cancel_write(stream);
        bytes -= std::min(bytes, size);
        if (frames < wanted) {
            // Play out what is queued, however little, and say when it is heard.
            self->m_sourceEnded = true;
            self->m_drain = pa_stream_drain(stream, &PulsePlaybackOutput::onDrained, self);
        }
    }
}

void PulsePlaybackOutput::onDrained(pa_stream*, int success, void* userdata)
{
    auto* self = static_cast<PulsePlaybackOutput*>(userdata);
    if (self->m_drain) {
        pa_operation_unref(self->m_drain);
        self->m_drain = nullptr;
    }
    if (success && self->m_handlers.drained)
        self->m_handlers.drained();
}
