#include "app/RecordingSleepGuard.h"

#include "common/ConsoleLine.h"
#include "services/sleep/SleepManager.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/RecordingViewModel.h"

RecordingSleepGuard::RecordingSleepGuard(SleepManager& sleep, RecordingViewModel& vm, QObject* parent)
    : QObject(parent)
    , m_sleep(sleep)
    , m_vm(&vm)
{
    connect(&vm.recorder(), &RecorderViewModel::recorderStateChanged, this, &RecordingSleepGuard::followState);
    m_sleep.onScreenSleepRequested = [this] {
        if (!m_vm)
            return;
        const RecorderState state = m_vm->recorder().recorderState();
        if (state == RecorderState::recording || state == RecorderState::paused) {
            ConsoleLine::print(QStringLiteral("[SleepManager] Stopping the recording before sleep"));
            // The lock is released once the stop has saved it (state idle).
            m_vm->recorder().stopRecording();
        }
    };
    followState();
}

RecordingSleepGuard::~RecordingSleepGuard()
{
    m_sleep.onScreenSleepRequested = {};
    m_sleep.stopRecordingSleepPrevention();
}

void RecordingSleepGuard::followState()
{
    if (m_vm && m_vm->recorder().recorderState() != RecorderState::idle)
        m_sleep.startRecordingSleepPrevention();
    else
        m_sleep.stopRecordingSleepPrevention();
}
