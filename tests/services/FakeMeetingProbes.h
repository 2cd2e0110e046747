#pragma once

#include "services/meetings/AudioInputProbe.h"
#include "services/meetings/RunningApplicationsProvider.h"
#include "services/meetings/WindowListProvider.h"

// Window list, running applications and microphone state set by the test.
class FakeWindowList : public WindowListProvider {
public:
    std::optional<QList<MeetingWindow>> windows() override
    {
        ++calls;
        return list;
    }

    std::optional<QList<MeetingWindow>> list = QList<MeetingWindow>{};
    int calls = 0;
};

class FakeRunningApplications : public RunningApplicationsProvider {
public:
    QList<RunningApplication> runningApplications() override { return applications; }

    QList<RunningApplication> applications;
};

class FakeAudioInputs : public AudioInputProbe {
    Q_OBJECT
public:
    QSet<QString> activeAudioInputBundleIDs() override { return capturing; }
    bool isDefaultMicRunning(bool excludingOwnStreams) override
    {
        return micUsedByOthers || (micUsedByUs && !excludingOwnStreams);
    }

    void announceMicChange() { Q_EMIT defaultMicStateChanged(); }
    int listeners() const { return receivers(SIGNAL(defaultMicStateChanged())); }

    QSet<QString> capturing; // identifiers of other applications capturing audio
    bool micUsedByOthers = false;
    bool micUsedByUs = false;
};
