// Runs against a sound server of its own, which it stops and starts again;
// the shared test server is never touched.
#include "platform/pulse/PulseContext.h"
#include "platform/pulse/PulseRecordStream.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <atomic>

#include <gtest/gtest.h>

namespace {

class PrivateServer {
public:
    PrivateServer()
    {
        QFile config(m_dir.filePath(QStringLiteral("pulse.pa")));
        config.open(QIODevice::WriteOnly);
        config.write(QStringLiteral("load-module module-native-protocol-unix auth-anonymous=1 socket=%1\n"
                                    "load-module module-null-sink sink_name=private_sink\n")
                         .arg(socketPath())
                         .toUtf8());
    }
    ~PrivateServer() { stop(); }

    QString socketPath() const { return m_dir.filePath(QStringLiteral("native")); }

    bool start()
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PULSE_RUNTIME_PATH"), m_dir.filePath(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("PULSE_STATE_PATH"), m_dir.filePath(QStringLiteral("state")));
        m_server.setProcessEnvironment(environment);
        m_server.start(QStringLiteral("pulseaudio"),
                       {QStringLiteral("-n"), QStringLiteral("-F"), m_dir.filePath(QStringLiteral("pulse.pa")),
                        QStringLiteral("--daemonize=no"), QStringLiteral("--exit-idle-time=-1"),
                        QStringLiteral("--use-pid-file=no"), QStringLiteral("--log-target=stderr")});
        return m_server.waitForStarted(5000) && TestEnvironment::waitUntil([this] { return answers(); }, 10000);
    }

    void stop()
    {
        if (m_server.state() == QProcess::NotRunning)
            return;
        m_server.terminate();
        if (!m_server.waitForFinished(5000)) {
            m_server.kill();
            m_server.waitForFinished(2000);
        }
        QFile::remove(socketPath());
    }

private:
    bool answers() const
    {
        QProcess pactl;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + socketPath());
        pactl.setProcessEnvironment(environment);
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
        return pactl.waitForFinished(2000) && pactl.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    QProcess m_server;
};

} // namespace

TEST(PulseContextReconnect, ComesBackWhenTheServerRestarts)
{
    PrivateServer server;
    ASSERT_TRUE(server.start());
    qputenv("PULSE_SERVER", ("unix:" + server.socketPath()).toUtf8());
    PulseContext& pulse = PulseContext::shared();
    ASSERT_TRUE(pulse.isConnected());
    // Let the first connection's own signal pass before counting.
    TestEnvironment::waitUntil([] { return false; }, 100);
    QSignalSpy connected(&pulse, &PulseContext::connected);
    QSignalSpy disconnected(&pulse, &PulseContext::disconnected);
    QSignalSpy events(&pulse, &PulseContext::serverEvent);

    std::atomic<bool> ended = false;
    PulseRecordStream stream({QStringLiteral("private_sink.monitor"), QStringLiteral("Across a restart")}, {},
                             [&](const Error&) { ended = true; });
    stream.open();

    server.stop();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return disconnected.count() == 1; }));
    EXPECT_TRUE(ended) << "a stream of the lost connection tells its owner";
    EXPECT_FALSE(pulse.isConnected());
    try {
        PulseContext::wait(pulse.serverInfo());
        FAIL() << "answered without a server";
    } catch (const Error& error) {
        EXPECT_EQ(error.domain(), QStringLiteral("PulseAudio"));
    }

    ASSERT_TRUE(server.start());
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return connected.count() >= 1; }, 10000));
    EXPECT_TRUE(pulse.isConnected());
    EXPECT_EQ(PulseContext::wait(pulse.serverInfo()).defaultSinkName, QStringLiteral("private_sink"));
    // Subscriptions are made again on the new connection.
    PulseRecordStream again({QStringLiteral("private_sink.monitor"), QStringLiteral("After the restart")}, {}, {});
    again.open();
    EXPECT_TRUE(TestEnvironment::waitUntil([&] {
        for (const QList<QVariant>& event : events)
            if (event.at(0).value<PulseContext::Facility>() == PulseContext::Facility::SourceOutput)
                return true;
        return false;
    }));
    again.close();
    stream.close();
}
