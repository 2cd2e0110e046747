#pragma once

#include <QObject>
#include <QString>

// The one player of the app: the view model loads the selected recording into
// it, and the transport controls drive it directly.
class PlayerService : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~PlayerService() override = default;

    virtual bool isPlaying() const = 0;
    virtual double currentTime() const = 0;
    virtual double duration() const = 0;
    virtual float playbackRate() const = 0;
    // The file last given to `load`; empty before the first.
    virtual QString currentLoadedURL() const = 0;

    // Stopped at the start of the file; a file that cannot be opened leaves
    // nothing playable.
    virtual void load(const QString& path) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    // Stops and rewinds.
    virtual void stop() = 0;
    virtual void togglePlayPause() = 0;
    // Clamped to the file; nothing without a loaded file.
    virtual void seek(double seconds) = 0;
    virtual void skipBackward(double seconds) = 0;
    virtual void skipForward(double seconds) = 0;
    virtual void setRate(float rate) = 0;

Q_SIGNALS:
    void isPlayingChanged(bool isPlaying);
    void currentTimeChanged(double currentTime);
    void durationChanged(double duration);
    void playbackRateChanged(float playbackRate);
    void currentLoadedURLChanged(const QString& currentLoadedURL);
};
