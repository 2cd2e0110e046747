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

// Whether the test sound server is PipeWire's PulseAudio service rather than
// the PulseAudio daemon. Asked once, of the server the process starts with.
bool isPipeWire();

// Loads a module and returns its index, for `unloadModule`; -1 (and the
// current test failed) when the server refuses it.
int loadModule(const QString& module, const QStringList& arguments);
// Index 0 is refused: on the test server it is the module that serves the
// socket, and unloading it would take the server away from every later test.
void unloadModule(int index);

// A module and its arguments, as `pactl load-module` takes them.
struct ModuleLoad {
    QString module;
    QStringList arguments;
};

// A source that hears nothing, named `name`. The PulseAudio daemon has a
// module for it; PipeWire's service has not, and makes a null sink of the
// source class instead.
ModuleLoad nullSource(const QString& name, const QString& description = {});

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
