#include "platform/pulse/PulseInfoConversion.h"

#include <pulse/volume.h>

namespace {

QString text(const char* value)
{
    return value ? QString::fromUtf8(value) : QString();
}

PulseDeviceState stateOf(int state)
{
    // Sink and source states share their values.
    switch (state) {
    case PA_SOURCE_RUNNING:
        return PulseDeviceState::Running;
    case PA_SOURCE_IDLE:
        return PulseDeviceState::Idle;
    case PA_SOURCE_SUSPENDED:
        return PulseDeviceState::Suspended;
    default:
        return PulseDeviceState::Unknown;
    }
}

QString property(const pa_proplist* list, const char* key)
{
    return list ? text(pa_proplist_gets(list, key)) : QString();
}

} // namespace

namespace PulseInfoConversion {

PulseServerInfo server(const pa_server_info& info)
{
    PulseServerInfo result;
    result.serverName = text(info.server_name);
    result.serverVersion = text(info.server_version);
    result.defaultSinkName = text(info.default_sink_name);
    result.defaultSourceName = text(info.default_source_name);
    return result;
}

PulseSourceInfo source(const pa_source_info& info)
{
    PulseSourceInfo result;
    result.index = info.index;
    result.name = text(info.name);
    result.description = text(info.description);
    result.isMonitor = info.monitor_of_sink != PA_INVALID_INDEX;
    result.monitorOfSinkName = text(info.monitor_of_sink_name);
    result.state = stateOf(info.state);
    if (pa_cvolume_valid(&info.volume))
        result.volumeShare = double(pa_cvolume_avg(&info.volume)) / double(PA_VOLUME_NORM);
    result.isMuted = info.mute != 0;
    if (info.active_port)
        result.activePortName = text(info.active_port->name);
    return result;
}

PulseSinkInfo sink(const pa_sink_info& info)
{
    PulseSinkInfo result;
    result.index = info.index;
    result.name = text(info.name);
    result.description = text(info.description);
    result.monitorSourceName = text(info.monitor_source_name);
    result.state = stateOf(info.state);
    if (info.active_port) {
        result.activePortName = text(info.active_port->name);
        result.activePortDescription = text(info.active_port->description);
    }
    return result;
}

PulseSourceOutputInfo sourceOutput(const pa_source_output_info& info)
{
    PulseSourceOutputInfo result;
    result.index = info.index;
    result.clientIndex = info.client;
    result.sourceIndex = info.source;
    result.isCorked = info.corked != 0;
    result.applicationName = property(info.proplist, PA_PROP_APPLICATION_NAME);
    result.processBinary = property(info.proplist, PA_PROP_APPLICATION_PROCESS_BINARY);
    result.processId = property(info.proplist, PA_PROP_APPLICATION_PROCESS_ID);
    if (info.proplist) {
        void* state = nullptr;
        while (const char* key = pa_proplist_iterate(info.proplist, &state))
            result.properties.insert(text(key), property(info.proplist, key));
    }
    return result;
}

} // namespace PulseInfoConversion
