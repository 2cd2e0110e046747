#include "platform/pulse/PulseHardwareProbe.h"

#include "platform/pulse/PulseContext.h"
#include "platform/pulse/PulseDefaultDevices.h"

#include <QStringList>

namespace {

// Moves whenever the default device or any device of that kind changes.
quint64 changesOf(PulseContext::Facility devices)
{
    PulseContext& pulse = PulseContext::shared();
    return pulse.changeCount(PulseContext::Facility::Server) + pulse.changeCount(devices);
}

} // namespace

std::optional<float> PulseHardwareProbe::defaultInputVolume()
{
    // Read before asking, so that a change during the query is not missed.
    const quint64 changes = changesOf(PulseContext::Facility::Source);
    {
        std::lock_guard lock(m_mutex);
        if (m_volume && m_volumeChanges == changes)
            return m_volume;
    }
    const std::optional<PulseSourceInfo> source = PulseDefaultDevices::defaultSource();
    if (!source)
        return std::nullopt;
    std::lock_guard lock(m_mutex);
    m_volume = float(source->volumeShare);
    m_volumeChanges = changes;
    return m_volume;
}

std::optional<QString> PulseHardwareProbe::defaultOutputDeviceName()
{
    const quint64 changes = changesOf(PulseContext::Facility::Sink);
    {
        std::lock_guard lock(m_mutex);
        if (m_outputName && m_outputChanges == changes)
            return m_outputName;
    }
    const std::optional<PulseSinkInfo> sink = PulseDefaultDevices::defaultSink();
    if (!sink)
        return std::nullopt;
    QStringList parts{sink->description};
    if (!sink->activePortName.isEmpty())
        parts.append(sink->activePortName);
    std::lock_guard lock(m_mutex);
    m_outputName = parts.join(QLatin1Char(' '));
    m_outputChanges = changes;
    return m_outputName;
}
