#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// The test sound server, driven from outside the code under test: pactl for
// its modules and settings, pacat for tones played into its sinks.
namespace PulseTestTools {

// Runs pactl with `arguments`; returns its standard output, trimmed. Fails the
// current test when pactl fails.
QString pactl(const QStringList& arguments);

// Loads a module and returns its index, for `unloadModule`.
int loadModule(const QString& module, const QStringList& arguments);
void unloadModule(int index);

// Samples of a sine tone, interleaved stereo 16-bit at 44,100 Hz.
std::vector<int16_t> sineTone(double frequency, double seconds, double amplitude = 0.5);

// Plays interleaved stereo 16-bit 44,100 Hz samples into `sink` through pacat,
// in real time; `wait` returns once the sink has taken everything. A longer
// latency keeps a busy machine from starving the player, whose gaps would then
// be heard in everything that records the sink.
class TonePlayer {
public:
    TonePlayer(const QString& sink, const std::vector<int16_t>& samples, int latencyMs = 50);
    ~TonePlayer();
    bool wait(int timeoutMs = 15000);

private:
    struct Process;
    Process* m_process;
};

} // namespace PulseTestTools
