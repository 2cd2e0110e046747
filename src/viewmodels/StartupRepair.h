#pragma once

#include <QObject>

#include <memory>

class LibraryViewModel;
class ProcessingRuns;
class RecordingsStorage;
class StartupRepairWorker;
class TranscriptionService;

// The start-up pass over recordings left by earlier versions: placeholder
// transcripts are transcribed again, recaps of an older format cleaned and
// missing waveforms read back from the audio files. Runs once, on a worker,
// after the library has arrived; findings are applied by id to whatever the
// library holds by then. Main thread only.
class StartupRepair : public QObject {
    Q_OBJECT

public:
    struct Collaborators {
        LibraryViewModel& library;
        ProcessingRuns& processing;
        TranscriptionService& whisperEngine;
        RecordingsStorage& storage;
    };
    explicit StartupRepair(Collaborators collaborators, QObject* parent = nullptr);
    // Its thread reads files for us and reports here: it ends first.
    ~StartupRepair() override;

    void start();

Q_SIGNALS:
    // The pass has looked at every recording and applied what it found.
    void finished();

private:
    LibraryViewModel& m_library;
    ProcessingRuns& m_processing;
    TranscriptionService& m_whisperEngine;
    RecordingsStorage& m_storage;
    std::unique_ptr<StartupRepairWorker> m_worker;
};
