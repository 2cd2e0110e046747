#pragma once

#include "common/SerialQueue.h"
#include "engines/speech/LiveTranscriptionSession.h"
#include "engines/speech/Transcription.h"
#include "engines/speech/WhisperContext.h"
#include "engines/speech/WhisperModelState.h"

#include <QFuture>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <optional>

// Speech to text for finished recordings. The outside tool "whisper-cli" is
// tried first; when it or the model is missing, or it fails, the linked
// whisper.cpp library transcribes in process. Both run on one serial
// "whisper" queue, one transcription at a time. Published properties change
// on the engine's (the main) thread only.
class QFileSystemWatcher;

class WhisperEngine : public QObject {
    Q_OBJECT
    Q_PROPERTY(WhisperModelState modelState READ modelState NOTIFY modelStateChanged)
    Q_PROPERTY(bool isTranscribing READ isTranscribing NOTIFY isTranscribingChanged)

public:
    // The model that is downloaded, and a larger one used when it is present.
    static const QString turboModelFileName;
    static const QString fullModelFileName;

    static WhisperEngine& shared();

    // The application uses `shared()`; tests make engines of their own.
    explicit WhisperEngine(QObject* parent = nullptr);
    ~WhisperEngine() override;

    WhisperModelState modelState() const { return m_modelState; }
    // True while any transcription runs.
    bool isTranscribing() const { return m_activeTranscriptions > 0; }

    // The models folder (see ModelLocations), created when needed.
    QString modelsDirectory() const;
    // The turbo model's path when that file exists, else the full model's when
    // that exists; the files are not opened.
    std::optional<QString> preferredModelURL() const;

    // Sets `modelState` to ready or notDownloaded from the files present.
    void checkModelAvailability();
    // Brings `modelState` in line with the model files when a file was put
    // into or taken out of the models folder: notDownloaded and ready follow
    // the files both ways, an error gives way once the files changed, and
    // a download or a load in progress is left alone. The engine calls it
    // itself when the folder changes and after each transcription.
    void followModelFiles();
    // Downloads the turbo model into the models folder, unless a download runs.
    // Call on the engine's thread.
    void downloadTurboModel();
    // Loads `path` into the in-process context, through the loading state.
    void loadModel(const QString& path);

    // Transcribes the audio file at `path`. The future fails with `Error`
    // ("WhisperEngine" or the decoder's domain); cancelling it stops the tool
    // or the library and leaves the future cancelled, with no result. The
    // future's progress value (0 ... 100) follows the tool's or the library's
    // own figure.
    QFuture<Transcription> transcribeAudioFile(const QString& path);

    // The live session over the loaded model (see LiveTranscriptionSession).
    // The application does not use it: transcripts are made after a
    // recording stops. Without a loaded model it only collects audio.
    LiveTranscriptionSession& liveSession() { return *m_liveSession; }
    void startLiveSession() { m_liveSession->startLiveSession(); }
    void feedAudio(const std::vector<int16_t>& samples44kStereo) { m_liveSession->feedAudio(samples44kStereo); }
    QFuture<Transcription> stopLiveSession() { return m_liveSession->stopLiveSession(); }
    void finishLiveSession() { m_liveSession->finishLiveSession(); }

Q_SIGNALS:
    void modelStateChanged(const WhisperModelState& state);
    void isTranscribingChanged(bool isTranscribing);

private:
    void setModelState(const WhisperModelState& state);
    void watchModelsFolder();
    void changeActiveTranscriptions(int delta);
    // Runs on the whisper queue.
    Transcription transcribeOnQueue(const QString& path, const std::function<bool()>& isCancelled,
                                    const std::function<void(int)>& onProgress);
    Transcription transcribeInProcess(const QString& path, const std::function<bool()>& isCancelled,
                                      const std::function<void(int)>& onProgress);

    WhisperModelState m_modelState;
    QFileSystemWatcher* m_modelsWatcher;
    std::optional<QString> m_modelAtError; // the model file when the error was set
    int m_activeTranscriptions = 0;
    double m_publishedProgress = -1;
    std::atomic<bool> m_stopping{false};
    WhisperContext m_context; // touched on the whisper queue only
    // Set on the whisper queue, read by the live session on any thread.
    std::atomic<bool> m_contextLoaded{false};
    // File transcriptions queued or running; a live chunk waits for none.
    std::atomic<int> m_fileTranscriptions{0};
    LiveTranscriptionSession* m_liveSession; // a child: it moves with the engine
    // Declared last, so it drains (quickly, as jobs see m_stopping) before the
    // members its jobs use are destroyed.
    std::unique_ptr<SerialQueue> m_whisperQueue;
};
