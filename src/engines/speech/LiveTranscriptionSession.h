#pragma once

#include "engines/speech/Transcription.h"
#include "models/TranscriptSegment.h"

#include <QFuture>
#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

// Transcribes audio while it is being recorded: it is fed the mixed 44.1 kHz
// stereo 16-bit samples, keeps them as 16 kHz mono floats and, each time
// three seconds of new audio have come in, transcribes the last 24 seconds
// again and publishes the result, one chunk at a time. Published properties
// change on the session's (the main) thread only.
class LiveTranscriptionSession : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString liveTranscript READ liveTranscript NOTIFY liveTranscriptChanged)
    Q_PROPERTY(QList<TranscriptSegment> liveSegments READ liveSegments NOTIFY liveSegmentsChanged)
    Q_PROPERTY(QString detectedLanguage READ detectedLanguage NOTIFY detectedLanguageChanged)

public:
    // Three seconds of new 16 kHz audio since the last chunk start a chunk.
    static constexpr int64_t kTriggerSamples = 48000;
    // A chunk is at most the last 24 seconds of the buffer.
    static constexpr int64_t kWindowSamples = 384000;
    // Output samples per input frame of the conversion.
    static constexpr double kRateRatio = 16000.0 / 44100.0;

    // What the session runs on: the speech model and the thread it runs on.
    struct Inference {
        // True while a model is loaded; asked on the feeding thread.
        std::function<bool()> isModelLoaded;
        // True while a file transcription runs: no chunk starts then.
        std::function<bool()> isTranscribingFile;
        // One pass over 16 kHz mono samples; `isLive` keeps no context from an
        // earlier pass. Runs on the thread `post` runs work on.
        std::function<std::optional<Transcription>(const std::vector<float>& samples, bool isLive)> transcribe;
        // Runs work, in order, on the model's thread. That thread must have
        // finished all work before the session is destroyed.
        std::function<void(std::function<void()>)> post;
    };

    explicit LiveTranscriptionSession(Inference inference, QObject* parent = nullptr);

    // Empties the buffer and the published fields.
    void startLiveSession();
    // Appends interleaved 44.1 kHz stereo samples; may start a chunk. Any thread.
    void feedAudio(const int16_t* samples44kStereo, size_t count);
    void feedAudio(const std::vector<int16_t>& samples44kStereo) { feedAudio(samples44kStereo.data(), samples44kStereo.size()); }
    // Ends the session and transcribes everything it holds in one pass; an
    // empty session, or one without a model, gives an empty result at once.
    QFuture<Transcription> stopLiveSession();
    // Ends the session without a final transcription.
    void finishLiveSession();

    // Averages the pairs to mono (a trailing odd sample is ignored) and
    // resamples by linear interpolation, without filtering.
    static std::vector<float> convert44kStereoTo16kMono(const int16_t* samples, size_t count);

    QString liveTranscript() const { return m_liveTranscript; }
    QList<TranscriptSegment> liveSegments() const { return m_liveSegments; }
    QString detectedLanguage() const { return m_detectedLanguage; }

    // The session's state, for tests.
    int64_t bufferedSamples() const;
    int64_t lastTranscribedSampleCount() const;
    bool isProcessingLiveChunk() const;

Q_SIGNALS:
    void liveTranscriptChanged(const QString& text);
    void liveSegmentsChanged(const QList<TranscriptSegment>& segments);
    void detectedLanguageChanged(const QString& language);

private:
    void runIncrementalLiveTranscribe();
    void resetBuffer();
    // Posts the published fields' new values to the session's thread.
    void publish(const QString& text, const QList<TranscriptSegment>& segments, const std::optional<QString>& language);

    Inference m_inference;
    // Guards the buffer, the counter and the in-flight flag together, so the
    // check for a chunk in flight and the start of a new one are one step.
    mutable std::mutex m_mutex;
    std::vector<float> m_liveAudioBuffer;
    int64_t m_lastTranscribedSampleCount = 0;
    bool m_isProcessingLiveChunk = false;

    QString m_liveTranscript;
    QList<TranscriptSegment> m_liveSegments;
    QString m_detectedLanguage;
};
