#include "audio/AudioPlayerManager.h"

#include "audio/SoundServerPlaybackOutput.h"

#include <QTextStream>
#include <QUrl>

#include <algorithm>

namespace {

constexpr int kPositionIntervalMs = 30;
// Asked to play this close to the end, playback starts over.
constexpr double kRewindMargin = 0.1;

} // namespace

AudioPlayerManager::AudioPlayerManager(QObject* parent)
    : AudioPlayerManager(std::make_unique<SoundServerPlaybackOutput>(), parent)
{
}

AudioPlayerManager::AudioPlayerManager(std::unique_ptr<PlaybackOutput> output, QObject* parent)
    : QObject(parent)
    , m_output(std::move(output))
{
    m_timer.setInterval(kPositionIntervalMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &AudioPlayerManager::updatePosition);
}

AudioPlayerManager::~AudioPlayerManager()
{
    // No render call may reach the engine once it is gone.
    m_output->close();
}

void AudioPlayerManager::load(const QString& path)
{
    stop();
    if (m_currentLoadedURL != path) {
        m_currentLoadedURL = path;
        Q_EMIT currentLoadedURLChanged(m_currentLoadedURL);
    }
    // Opening scans the whole file: a new engine does that outside the output's
    // lock, the sound server's, whose thread also delivers what is recorded.
    auto engine = std::make_unique<PlaybackEngine>();
    engine->reposition(0, m_engine->tempo()); // the tempo carries over to the next file
    const bool opened = engine->open(path);
    m_output->locked([&] { std::swap(m_engine, engine); });
    engine.reset();
    if (!opened) {
        QTextStream(stdout) << "Failed to load audio file at " << QUrl::fromLocalFile(path).toString() << ": "
                            << m_engine->errorString() << Qt::endl;
        setDuration(0);
        setCurrentTime(0);
        setIsPlaying(false);
        return;
    }
    // A stream of another rate is made again at the next play.
    if (m_output->isOpen() && m_output->sampleRate() != m_engine->sampleRate())
        m_output->close();
    setDuration(m_engine->duration());
    setCurrentTime(0);
    setIsPlaying(false);
}

bool AudioPlayerManager::ensureOutput()
{
    if (m_output->isOpen() && m_output->sampleRate() == m_engine->sampleRate())
        return true;
    // The output calls these on its own thread; the destructor closes it
    // before the engine goes, and queued calls die with this object.
    PlaybackOutput::Handlers handlers;
    handlers.render = [this](float* interleaved, int64_t frames) { return m_engine->render(interleaved, frames); };
    handlers.drained = [this] {
        QMetaObject::invokeMethod(this, [this] { finishPlaying(); }, Qt::QueuedConnection);
    };
    handlers.failed = [this](const Error& error) {
        QMetaObject::invokeMethod(this, [this, error] { outputFailed(error); }, Qt::QueuedConnection);
    };
    // The new stream starts empty: render from the position shown.
    m_output->locked([&] { m_engine->reposition(m_currentTime, m_playbackRate); });
    try {
        m_output->open(m_engine->sampleRate(), PlaybackEngine::kChannels, std::move(handlers));
    } catch (const Error& error) {
        QTextStream(stdout) << "Playback failed: " << error.message() << Qt::endl;
        return false;
    }
    return true;
}

void AudioPlayerManager::moveTo(double seconds, double tempo)
{
    m_output->locked([&] {
        m_output->flush();
        m_engine->reposition(seconds, tempo);
    });
}

double AudioPlayerManager::clamped(double seconds) const
{
    return std::max(std::min(seconds, m_engine->duration()), 0.0);
}

void AudioPlayerManager::play()
{
    if (!hasFile())
        return;
    if (m_currentTime >= m_duration - kRewindMargin) {
        moveTo(0, m_engine->tempo());
        setCurrentTime(0);
    }
    if (!ensureOutput())
        return;
    m_output->locked([&] {
        if (m_engine->tempo() != static_cast<double>(m_playbackRate))
            restartAtRateLocked();
        m_output->setPaused(false);
    });
    setIsPlaying(true);
    m_timer.start();
}

void AudioPlayerManager::pause()
{
    if (hasFile()) {
        m_output->locked([&] { m_output->setPaused(true); });
        updatePosition();
    }
    setIsPlaying(false);
    stopTimer();
}

void AudioPlayerManager::stop()
{
    if (hasFile()) {
        // Rewind what plays as well as what is shown, so the next play starts
        // at the beginning.
        m_output->locked([&] {
            m_output->setPaused(true);
            m_output->flush();
            m_engine->reposition(0, m_engine->tempo());
        });
    }
    setIsPlaying(false);
    stopTimer();
    setCurrentTime(0);
}

void AudioPlayerManager::togglePlayPause()
{
    if (m_isPlaying)
        pause();
    else
        play();
}

void AudioPlayerManager::seek(double seconds)
{
    if (!hasFile())
        return;
    const double target = clamped(seconds);
    moveTo(target, m_engine->tempo());
    setCurrentTime(target);
}

void AudioPlayerManager::skipBackward(double seconds)
{
    seek(m_currentTime - seconds);
}

void AudioPlayerManager::skipForward(double seconds)
{
    seek(m_currentTime + seconds);
}

void AudioPlayerManager::setRate(float rate)
{
    if (rate != m_playbackRate) {
        m_playbackRate = rate;
        Q_EMIT playbackRateChanged(m_playbackRate);
    }
    if (!m_isPlaying || !hasFile())
        return;
    m_output->locked([&] { restartAtRateLocked(); });
}

void AudioPlayerManager::restartAtRateLocked()
{
    const int64_t latency = m_output->latencyFrames();
    const double position = latency >= 0 ? m_engine->positionHeard(latency) : m_currentTime;
    m_output->flush();
    m_engine->reposition(position, m_playbackRate);
}

void AudioPlayerManager::updatePosition()
{
    if (!hasFile())
        return;
    double position = -1;
    m_output->locked([&] {
        const int64_t latency = m_output->latencyFrames();
        if (latency >= 0)
            position = m_engine->positionHeard(latency);
    });
    // Right after a move the output cannot tell yet; the position set by the
    // move stands until it can.
    if (position >= 0)
        setCurrentTime(position);
}

void AudioPlayerManager::finishPlaying()
{
    bool ended = false;
    m_output->locked([&] { ended = m_engine->atEnd(); });
    // A seek or a new file since the output drained: nothing has ended.
    if (!ended || !m_isPlaying)
        return;
    // A drained stream is done with; the next play opens a fresh one.
    m_output->close();
    m_output->locked([&] { m_engine->reposition(0, m_engine->tempo()); });
    setIsPlaying(false);
    setCurrentTime(0);
    stopTimer();
}

void AudioPlayerManager::outputFailed(const Error& error)
{
    QTextStream(stdout) << "Playback failed: " << error.message() << Qt::endl;
    // The next play makes a new stream and starts where this one stopped.
    m_output->close();
    setIsPlaying(false);
    stopTimer();
}

void AudioPlayerManager::stopTimer()
{
    m_timer.stop();
}

void AudioPlayerManager::setIsPlaying(bool value)
{
    if (m_isPlaying == value)
        return;
    m_isPlaying = value;
    Q_EMIT isPlayingChanged(m_isPlaying);
}

void AudioPlayerManager::setCurrentTime(double value)
{
    if (m_currentTime == value)
        return;
    m_currentTime = value;
    Q_EMIT currentTimeChanged(m_currentTime);
}

void AudioPlayerManager::setDuration(double value)
{
    if (m_duration == value)
        return;
    m_duration = value;
    Q_EMIT durationChanged(m_duration);
}
