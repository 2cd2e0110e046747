#pragma once

#include "platform/pulse/PulseCaptureMonitor.h"
#include "services/meetings/AudioInputProbe.h"

// Record streams and the default source of the sound server, each stream
// known by its program (application.process.binary) or, failing that, the
// name it gives (application.name), through the identity table.
class SystemAudioInputProbe : public AudioInputProbe {
    Q_OBJECT
public:
    explicit SystemAudioInputProbe(PulseContext& context = PulseContext::shared(), QObject* parent = nullptr);

    QSet<QString> activeAudioInputBundleIDs() override;
    bool isDefaultMicRunning(bool excludingOwnStreams) override;

private:
    PulseCaptureMonitor m_monitor;
};
