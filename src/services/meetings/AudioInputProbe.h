#pragma once

#include <QObject>
#include <QSet>
#include <QString>

// Who captures audio, and whether the default microphone runs.
class AudioInputProbe : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Lower-case identifiers of the applications capturing audio now; our own
    // process is never among them.
    virtual QSet<QString> activeAudioInputBundleIDs() = 0;
    // Whether any process records from the default microphone; with
    // `excludingOwnStreams`, whether any process other than ours does.
    virtual bool isDefaultMicRunning(bool excludingOwnStreams) = 0;

Q_SIGNALS:
    // The default microphone started or stopped being used, or another
    // microphone became the default.
    void defaultMicStateChanged();
};
