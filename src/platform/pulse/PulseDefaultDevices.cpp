#include "platform/pulse/PulseDefaultDevices.h"

#include "platform/pulse/PulseContext.h"

namespace PulseDefaultDevices {

std::optional<PulseSourceInfo> defaultSource()
{
    PulseContext& pulse = PulseContext::shared();
    if (pulse.isMainloopThread())
        return std::nullopt;
    try {
        const QString name = PulseContext::wait(pulse.serverInfo()).defaultSourceName;
        if (name.isEmpty())
            return std::nullopt;
        return PulseContext::wait(pulse.source(name));
    } catch (const Error&) {
        return std::nullopt;
    }
}

std::optional<PulseSinkInfo> defaultSink()
{
    PulseContext& pulse = PulseContext::shared();
    if (pulse.isMainloopThread())
        return std::nullopt;
    try {
        const QString name = PulseContext::wait(pulse.serverInfo()).defaultSinkName;
        if (name.isEmpty())
            return std::nullopt;
        return PulseContext::wait(pulse.sink(name));
    } catch (const Error&) {
        return std::nullopt;
    }
}

} // namespace PulseDefaultDevices
