#pragma once

#include "audio/PlaybackEngine.h"
#include "audio/PlaybackOutput.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

// Plays one recording at a time: transport, seeking, skips and a playback rate
// that keeps the pitch. Publishes whether it plays, the position (every 0.03 s
// while playing, counting only what has been heard), the length and the rate.
// Main thread only.
class AudioPlayerManager : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(double currentTime READ currentTime NOTIFY currentTimeChanged)
    Q_PROPERTY(double duration READ duration NOTIFY durationChanged)
    Q_PROPERTY(float playbackRate READ playbackRate NOTIFY playbackRateChanged)
    Q_PROPERTY(QString currentLoadedURL READ currentLoadedURL NOTIFY currentLoadedURLChanged)

public:
    // Plays through the sound server's default output.
    explicit AudioPlayerManager(QObject* parent = nullptr);
    explicit AudioPlayerManager(std::unique_ptr<PlaybackOutput> output, QObject* parent = nullptr);
    ~AudioPlayerManager() override;

    bool isPlaying() const { return m_isPlaying; }
    double currentTime() const { return m_currentTime; }
    double duration() const { return m_duration; }
    float playbackRate() const { return m_playbackRate; }
    // The file last given to `load`, also when it could not be opened; empty
    // before the first load.
    const QString& currentLoadedURL() const { return m_currentLoadedURL; }

    // Opens the file, stopped at its start; never starts playing. A file that
    // cannot be opened leaves nothing loaded and prints why.
    void load(const QString& path);
    // From the current position at `playbackRate`; from the start when the
    // position is within 0.1 s of the end.
    void play();
    void pause();
    // Stops and rewinds to the start.
    void stop();
    void togglePlayPause();
    // Positions are clamped to the file.
    void seek(double seconds);
    void skipBackward(double seconds);
    void skipForward(double seconds);
    // Takes effect at once while playing, else at the next `play`.
    void setRate(float rate);

Q_SIGNALS:
    void isPlayingChanged(bool isPlaying);
    void currentTimeChanged(double currentTime);
    void durationChanged(double duration);
    void playbackRateChanged(float playbackRate);
    void currentLoadedURLChanged(const QString& currentLoadedURL);

private:
    bool hasFile() const { return m_engine->isOpen(); }
    bool ensureOutput();
    // Drops what is queued and renders from `seconds` at `tempo`.
    void moveTo(double seconds, double tempo);
    // Under the output's lock: renders again from what is heard now, at the
    // chosen rate.
    void restartAtRateLocked();
    double clamped(double seconds) const;
    void updatePosition();
    void finishPlaying();
    void outputFailed(const Error& error);
    void stopTimer();

    void setIsPlaying(bool value);
    void setCurrentTime(double value);
    void setDuration(double value);

    std::unique_ptr<PlaybackOutput> m_output;
    // Replaced whole by `load`, under the output's lock.
    std::unique_ptr<PlaybackEngine> m_engine = std::make_unique<PlaybackEngine>();
    QTimer m_timer;

    bool m_isPlaying = false;
    double m_currentTime = 0;
    double m_duration = 0;
    float m_playbackRate = 1.0f;
    QString m_currentLoadedURL;
};
