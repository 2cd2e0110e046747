#pragma once

#include "models/RecordingItem.h"

#include <QList>
#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class SerialQueue;

// Looks over a copy of the library on a worker thread of its own, one
// recording at a time: placeholder transcripts, recaps of an older format,
// and waveforms to read back from the audio files. Each finding reaches its
// handler on the receiver's thread, with the copy it was found in, so the
// receiver applies it by id to whatever the library holds by then.
class StartupRepairWorker {
public:
    struct Handlers {
        // Every recording holding a placeholder transcript, in one go.
        std::function<void(const QList<RecordingItem>& visited)> placeholderTranscripts;
        std::function<void(const RecordingItem& visited, const QString& cleanedSummary)> olderRecap;
        std::function<void(const RecordingItem& visited, const QList<float>& bars)> waveform;
        std::function<void()> finished;
    };

    StartupRepairWorker(QObject* receiver, Handlers handlers);
    // Stops after the recording in hand, whose findings are dropped.
    ~StartupRepairWorker();
    StartupRepairWorker(const StartupRepairWorker&) = delete;
    StartupRepairWorker& operator=(const StartupRepairWorker&) = delete;

    // Audio files are looked for in `storageDirectory`.
    void start(const QList<RecordingItem>& recordings, const QString& storageDirectory);

private:
    void run(const QList<RecordingItem>& recordings, const QString& storageDirectory);
    // Runs `work` on the receiver's thread unless the worker was stopped.
    void deliver(std::function<void()> work);

    QObject* m_receiver;
    Handlers m_handlers;
    std::shared_ptr<std::atomic_bool> m_cancelled;
    std::unique_ptr<SerialQueue> m_queue;
};
