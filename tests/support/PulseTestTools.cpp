#include "support/PulseTestTools.h"

#include <QProcess>

#include <cmath>

#include <gtest/gtest.h>

namespace PulseTestTools {

QString pactl(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    const bool finished = process.waitForFinished(10000);
    EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << "pactl " << arguments.join(QLatin1Char(' ')).toStdString() << ": "
        << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

bool isPipeWire()
{
    static const bool pipeWire = pactl({QStringLiteral("info")}).contains(QStringLiteral("PipeWire"));
    return pipeWire;
}

int loadModule(const QString& module, const QStringList& arguments)
{
    bool ok = false;
    const int index = pactl(QStringList{QStringLiteral("load-module"), module} + arguments).toInt(&ok);
    if (!ok || index <= 0) {
        ADD_FAILURE() << "no module index for " << module.toStdString();
        return -1;
    }
    return index;
}

void unloadModule(int index)
{
    if (index <= 0) {
        ADD_FAILURE() << "refused to unload module " << index;
        return;
    }
    pactl({QStringLiteral("unload-module"), QString::number(index)});
}

ModuleLoad nullSource(const QString& name, const QString& description)
{
    if (!isPipeWire()) {
        QStringList arguments{QStringLiteral("source_name=") + name};
        if (!description.isEmpty())
            arguments.append(QStringLiteral("description=") + description);
        return {QStringLiteral("module-null-source"), arguments};
    }
    QStringList arguments{QStringLiteral("media.class=Audio/Source/Virtual"), QStringLiteral("sink_name=") + name};
    if (!description.isEmpty())
        arguments.append(QStringLiteral("sink_properties=device.description=") + description);
    return {QStringLiteral("module-null-sink"), arguments};
}

std::vector<int16_t> sineTone(double frequency, double seconds, double amplitude)
{
    const size_t frames = size_t(seconds * 44100);
    std::vector<int16_t> samples(frames * 2);
    for (size_t i = 0; i < frames; ++i) {
        const auto value = int16_t(std::lround(32767 * amplitude * std::sin(2 * M_PI * frequency * double(i) / 44100)));
        samples[2 * i] = samples[2 * i + 1] = value;
    }
    return samples;
}

struct TonePlayer::Process {
    QProcess process;
};

TonePlayer::TonePlayer(const QString& sink, const std::vector<int16_t>& samples, int latencyMs)
    : m_process(new Process)
{
    m_process->process.start(QStringLiteral("pacat"),
                             {QStringLiteral("--playback"), QStringLiteral("--device=") + sink,
                              QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                              QStringLiteral("--rate=44100"), QStringLiteral("--channels=2"),
                              QStringLiteral("--latency-msec=%1").arg(latencyMs)});
    EXPECT_TRUE(m_process->process.waitForStarted(5000));
    m_process->process.write(reinterpret_cast<const char*>(samples.data()),
                             qint64(samples.size() * sizeof(int16_t)));
    m_process->process.closeWriteChannel();
}

TonePlayer::~TonePlayer()
{
    if (m_process->process.state() != QProcess::NotRunning) {
        m_process->process.kill();
        m_process->process.waitForFinished(2000);
    }
    delete m_process;
}

bool TonePlayer::wait(int timeoutMs)
{
    QProcess& process = m_process->process;
    // waitForFinished answers false for a player that is already done.
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(timeoutMs))
        return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace PulseTestTools
