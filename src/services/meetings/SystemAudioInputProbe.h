#pragma once

#include "services/meetings/AudioInputProbe.h"

class SystemAudioInputProbe : public AudioInputProbe {
    Q_OBJECT
public:
    using AudioInputProbe::AudioInputProbe;
    QSet<QString> activeAudioInputBundleIDs() override { return {}; }
    bool isDefaultMicRunning(bool) override { return false; }
};
