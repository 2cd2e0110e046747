#include "viewmodels/adapters/AudioPlayerManagerAdapter.h"

AudioPlayerManagerAdapter::AudioPlayerManagerAdapter(QObject* parent)
    : PlayerService(parent)
{
    connect(&m_player, &AudioPlayerManager::isPlayingChanged, this, &PlayerService::isPlayingChanged);
    connect(&m_player, &AudioPlayerManager::currentTimeChanged, this, &PlayerService::currentTimeChanged);
    connect(&m_player, &AudioPlayerManager::durationChanged, this, &PlayerService::durationChanged);
    connect(&m_player, &AudioPlayerManager::playbackRateChanged, this, &PlayerService::playbackRateChanged);
    connect(&m_player, &AudioPlayerManager::currentLoadedURLChanged, this, &PlayerService::currentLoadedURLChanged);
}

bool AudioPlayerManagerAdapter::isPlaying() const { return m_player.isPlaying(); }
double AudioPlayerManagerAdapter::currentTime() const { return m_player.currentTime(); }
double AudioPlayerManagerAdapter::duration() const { return m_player.duration(); }
float AudioPlayerManagerAdapter::playbackRate() const { return m_player.playbackRate(); }
QString AudioPlayerManagerAdapter::currentLoadedURL() const { return m_player.currentLoadedURL(); }

void AudioPlayerManagerAdapter::load(const QString& path) { m_player.load(path); }
void AudioPlayerManagerAdapter::play() { m_player.play(); }
void AudioPlayerManagerAdapter::pause() { m_player.pause(); }
void AudioPlayerManagerAdapter::stop() { m_player.stop(); }
void AudioPlayerManagerAdapter::togglePlayPause() { m_player.togglePlayPause(); }
void AudioPlayerManagerAdapter::seek(double seconds) { m_player.seek(seconds); }
void AudioPlayerManagerAdapter::skipBackward(double seconds) { m_player.skipBackward(seconds); }
void AudioPlayerManagerAdapter::skipForward(double seconds) { m_player.skipForward(seconds); }
void AudioPlayerManagerAdapter::setRate(float rate) { m_player.setRate(rate); }
