#include "services/meetings/SystemAudioInputProbe.h"

#include "platform/proc/AppIdentityTable.h"

SystemAudioInputProbe::SystemAudioInputProbe(PulseContext& context, QObject* parent)
    : AudioInputProbe(parent)
    , m_monitor(context)
{
    connect(&m_monitor, &PulseCaptureMonitor::defaultSourceRunningChanged, this,
            &AudioInputProbe::defaultMicStateChanged);
}

QSet<QString> SystemAudioInputProbe::activeAudioInputBundleIDs()
{
    QSet<QString> ids;
    for (const PulseSourceOutputInfo& stream : m_monitor.otherCaptureStreams()) {
        AppIdentityTable::Hints hints;
        hints.executable = stream.processBinary;
        hints.audioApplicationName = stream.applicationName;
        const QString id = AppIdentityTable::resolve(hints).bundleID.toLower();
        if (!id.isEmpty())
            ids.insert(id);
    }
    return ids;
}

bool SystemAudioInputProbe::isDefaultMicRunning(bool excludingOwnStreams)
{
    return m_monitor.isDefaultSourceRunning(excludingOwnStreams);
}
