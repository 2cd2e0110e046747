#pragma once

#include "viewmodels/collaborators/PlayerService.h"

#include <QFileInfo>
#include <QHash>
#include <QStringList>

#include <algorithm>

// A player that opens any existing file, with the length the test gives it.
class FakePlayer : public PlayerService {
public:
    bool isPlaying() const override { return m_isPlaying; }
    double currentTime() const override { return m_currentTime; }
    double duration() const override { return m_duration; }
    float playbackRate() const override { return 1.0f; }
    QString currentLoadedURL() const override { return m_loadedURL; }

    void load(const QString& path) override
    {
        stop();
        loads.append(path);
        m_loadedURL = path;
        m_hasFile = QFileInfo::exists(path);
        m_duration = m_hasFile ? durations.value(path, 60.0) : 0;
        Q_EMIT currentLoadedURLChanged(path);
    }
    void play() override
    {
        if (m_hasFile)
            setPlaying(true);
    }
    void pause() override
    {
        ++pauses;
        setPlaying(false);
    }
    void stop() override
    {
        ++stops;
        setPlaying(false);
        setTime(0);
    }
    void togglePlayPause() override { m_isPlaying ? pause() : play(); }
    void seek(double seconds) override
    {
        if (m_hasFile)
            setTime(std::clamp(seconds, 0.0, m_duration));
    }
    void skipBackward(double seconds) override { seek(m_currentTime - seconds); }
    void skipForward(double seconds) override { seek(m_currentTime + seconds); }
    void setRate(float) override {}

    // Playback moved on by itself.
    void advanceTo(double seconds) { setTime(seconds); }

    QHash<QString, double> durations;
    QStringList loads;
    int pauses = 0;
    int stops = 0;

private:
    void setPlaying(bool playing)
    {
        if (m_isPlaying == playing)
            return;
        m_isPlaying = playing;
        Q_EMIT isPlayingChanged(playing);
    }
    void setTime(double seconds)
    {
        m_currentTime = seconds;
        Q_EMIT currentTimeChanged(seconds);
    }

    bool m_isPlaying = false;
    bool m_hasFile = false;
    double m_currentTime = 0;
    double m_duration = 0;
    QString m_loadedURL;
};
