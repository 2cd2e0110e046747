#include "platform/pulse/PulseRecordStream.h"

#include "platform/pulse/PulseContext.h"

#include <pulse/sample.h>
#include <pulse/timeval.h>

#include <chrono>

namespace {

constexpr auto setupTimeout = std::chrono::seconds(5);

const pa_sample_spec sampleSpec = {PA_SAMPLE_FLOAT32LE, PulseRecordStream::sampleRate,
                                   PulseRecordStream::channels};

} // namespace

PulseRecordStream::PulseRecordStream(Options options, DataHandler onData, EndHandler onEnded)
    : m_options(std::move(options))
    , m_onData(std::move(onData))
    , m_onEnded(std::move(onEnded))
{
}

PulseRecordStream::~PulseRecordStream()
{
    close();
}

void PulseRecordStream::open()
{
    PulseContext& pulse = PulseContext::shared();
    if (pulse.isMainloopThread())
        throw Error(QStringLiteral("PulseAudio"), PA_ERR_BADSTATE,
                    QStringLiteral("A stream cannot be opened on the sound server's own thread."));
    {
        std::lock_guard lock(m_setupMutex);
        m_setupFinished = false;
        m_setupError.reset();
    }
    pulse.withLock([this](pa_context* context) {
        closeLocked();
        if (!context) {
            m_setupError = Error(QStringLiteral("PulseAudio"), PA_ERR_CONNECTIONREFUSED,
                                 QStringLiteral("Not connected to the sound server."));
            m_setupFinished = true;
            return;
        }
        pa_channel_map map;
        pa_channel_map_init_stereo(&map);
        const QByteArray name = (m_options.streamName.isEmpty() ? QStringLiteral("Recording") : m_options.streamName).toUtf8();
        m_stream = pa_stream_new(context, name.constData(), &sampleSpec, &map);
        if (!m_stream) {
            m_setupError = PulseContext::errorOf(context);
            m_setupFinished = true;
            return;
        }
        pa_stream_set_state_callback(m_stream, &PulseRecordStream::onStateChanged, this);
        pa_stream_set_read_callback(m_stream, &PulseRecordStream::onReadable, this);

        pa_buffer_attr attributes;
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.tlength = static_cast<uint32_t>(-1);
        attributes.prebuf = static_cast<uint32_t>(-1);
        attributes.minreq = static_cast<uint32_t>(-1);
        attributes.fragsize = static_cast<uint32_t>(
            pa_usec_to_bytes(pa_usec_t(m_options.fragmentMilliseconds) * PA_USEC_PER_MSEC, &sampleSpec));
        int flags = PA_STREAM_ADJUST_LATENCY;
        if (m_options.dontMove)
            flags |= PA_STREAM_DONT_MOVE;
        const QByteArray source = m_options.sourceName.toUtf8();
        if (pa_stream_connect_record(m_stream, source.isEmpty() ? nullptr : source.constData(), &attributes,
                                     static_cast<pa_stream_flags_t>(flags))
            < 0) {
            m_setupError = PulseContext::errorOf(context);
            m_setupFinished = true;
            closeLocked();
        }
    });

    std::unique_lock lock(m_setupMutex);
    if (!m_setupDone.wait_for(lock, setupTimeout, [this] { return m_setupFinished; }))
        m_setupError = PulseContext::errorOf(PA_ERR_TIMEOUT);
    if (m_setupError) {
        const Error error = *m_setupError;
        lock.unlock();
        close();
        throw error;
    }
}

void PulseRecordStream::close()
{
    PulseContext::shared().withLock([this](pa_context*) { closeLocked(); });
}

void PulseRecordStream::closeLocked()
{
    if (!m_stream)
        return;
    pa_stream_set_state_callback(m_stream, nullptr, nullptr);
    pa_stream_set_read_callback(m_stream, nullptr, nullptr);
    const pa_stream_state_t state = pa_stream_get_state(m_stream);
    if (state == PA_STREAM_READY || state == PA_STREAM_CREATING)
        pa_stream_disconnect(m_stream);
    pa_stream_unref(m_stream);
    m_stream = nullptr;
}

void PulseRecordStream::onStateChanged(pa_stream* stream, void* userdata)
{
    auto* self = static_cast<PulseRecordStream*>(userdata);
    const pa_stream_state_t state = pa_stream_get_state(stream);
    if (state != PA_STREAM_READY && state != PA_STREAM_FAILED && state != PA_STREAM_TERMINATED)
        return;
    std::unique_lock lock(self->m_setupMutex);
    if (!self->m_setupFinished) {
        if (state != PA_STREAM_READY)
            self->m_setupError = PulseContext::errorOf(pa_stream_get_context(stream));
        self->m_setupFinished = true;
        self->m_setupDone.notify_all();
        return;
    }
    lock.unlock();
    if (state != PA_STREAM_READY && self->m_onEnded)
        self->m_onEnded(PulseContext::errorOf(pa_stream_get_context(stream)));
}

void PulseRecordStream::onReadable(pa_stream* stream, size_t, void* userdata)
{
    auto* self = static_cast<PulseRecordStream*>(userdata);
    while (pa_stream_readable_size(stream) > 0) {
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0)
            return;
        // A hole (no data, but a length) carries nothing worth delivering.
        if (data && self->m_onData)
            self->m_onData(QByteArray(static_cast<const char*>(data), static_cast<qsizetype>(bytes)));
        pa_stream_drop(stream);
    }
}
