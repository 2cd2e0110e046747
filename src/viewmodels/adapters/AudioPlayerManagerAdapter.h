#pragma once

#include "audio/AudioPlayerManager.h"
#include "viewmodels/collaborators/PlayerService.h"

// The player service over the real player, which it owns.
class AudioPlayerManagerAdapter : public PlayerService {
    Q_OBJECT
public:
    explicit AudioPlayerManagerAdapter(QObject* parent = nullptr);

    bool isPlaying() const override;
    double currentTime() const override;
    double duration() const override;
    float playbackRate() const override;
    QString currentLoadedURL() const override;

    void load(const QString& path) override;
    void play() override;
    void pause() override;
    void stop() override;
    void togglePlayPause() override;
    void seek(double seconds) override;
    void skipBackward(double seconds) override;
    void skipForward(double seconds) override;
    void setRate(float rate) override;

private:
    AudioPlayerManager m_player;
};
