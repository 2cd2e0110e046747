#include "platform/pulse/PulseRecordStream.h"

#include "platform/pulse/PulseContext.h"

#include <pulse/sample.h>
#include <pulse/timeval.h>

namespace {

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
    m_lifecycle.begin();
    pulse.withLock([this](pa_context* context) {
        closeLocked();
        if (!context) {
            m_lifecycle.fail(PulseContext::notConnectedError());
            return;
        }
        pa_channel_map map;
        pa_channel_map_init_stereo(&map);
        const QByteArray name = (m_options.streamName.isEmpty() ? QStringLiteral("Recording") : m_options.streamName).toUtf8();
        m_stream = pa_stream_new(context, name.constData(), &sampleSpec, &map);
        if (!m_stream) {
            m_lifecycle.fail(PulseContext::errorOf(context));
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
            m_lifecycle.fail(PulseContext::errorOf(context));
            closeLocked();
        }
    });

    if (const std::optional<Error> error = m_lifecycle.wait()) {
        close();
        throw *error;
    }
}

void PulseRecordStream::close()
{
    PulseContext::shared().withLock([this](pa_context*) { closeLocked(); });
}

void PulseRecordStream::closeLocked()
{
    PulseStreamLifecycle::release(m_stream);
    m_pending = QByteArray();
}

void PulseRecordStream::onStateChanged(pa_stream* stream, void* userdata)
{
    auto* self = static_cast<PulseRecordStream*>(userdata);
    const std::optional<Error> ended = self->m_lifecycle.stateChanged(stream);
    if (ended && self->m_onEnded)
        self->m_onEnded(*ended);
}

void PulseRecordStream::onReadable(pa_stream* stream, size_t, void* userdata)
{
    auto* self = static_cast<PulseRecordStream*>(userdata);
    for (;;) {
        const void* data = nullptr;
        size_t bytes = 0;
        if (pa_stream_peek(stream, &data, &bytes) < 0 || bytes == 0)
            break;
        if (data)
            self->m_pending.append(static_cast<const char*>(data), static_cast<qsizetype>(bytes));
        else
            self->m_pending.append(static_cast<qsizetype>(bytes), '\0'); // a gap: zero bytes are silent floats
        pa_stream_drop(stream);
    }
    constexpr qsizetype minimumBytes = qsizetype(minimumDeliveryFrames) * channels * qsizetype(sizeof(float));
    if (self->m_pending.size() < minimumBytes)
        return;
    if (self->m_onData)
        self->m_onData(self->m_pending);
    self->m_pending = QByteArray();
}
