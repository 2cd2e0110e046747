#pragma once

#include "platform/pulse/PulseServerInfo.h"
#include "platform/pulse/PulseSinkInfo.h"
#include "platform/pulse/PulseSourceInfo.h"
#include "platform/pulse/PulseSourceOutputInfo.h"

#include <pulse/introspect.h>

// libpulse's info structures, valid only inside their callback, copied into
// plain records.
namespace PulseInfoConversion {

PulseServerInfo server(const pa_server_info& info);
PulseSourceInfo source(const pa_source_info& info);
PulseSinkInfo sink(const pa_sink_info& info);
PulseSourceOutputInfo sourceOutput(const pa_source_output_info& info);

} // namespace PulseInfoConversion
