#pragma once

#include <QObject>
#include <QPointer>

class RecordingViewModel;
class SleepManager;

// Holds the sleep manager's inhibitor from a recording's start to the end of
// its stop, and stops and saves the recording when the screen or the system
// goes to sleep with "stop recording when the display sleeps" on.
class RecordingSleepGuard : public QObject {
    Q_OBJECT
public:
    RecordingSleepGuard(SleepManager& sleep, RecordingViewModel& vm, QObject* parent = nullptr);
    ~RecordingSleepGuard() override;

private:
    void followState();

    SleepManager& m_sleep;
    QPointer<RecordingViewModel> m_vm;
};
