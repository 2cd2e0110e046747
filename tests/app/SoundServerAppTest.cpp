// The real app on the test X server with a sound server of the test's own,
// which is not there when the app starts and is restarted while it runs.
#include "AppUnderTest.h"

#include "platform/media/Mp3Decoder.h"
#include "support/PrivatePulseServer.h"
#include "support/PulseTestTools.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QPoint>
#include <QSize>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

using TestEnvironment::waitUntil;

namespace {

// The bottom bar, where the record button and, while recording, the stop
// button are the red ones.
constexpr int transportBarHeight = 84;

class SoundServerApp : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(qgetenv("QT_QPA_PLATFORM"), QByteArray("xcb")) << "runs on the test X server";
        ASSERT_TRUE(m_app.isValid());
        // Which kind of server to start is read from the shared one.
        PulseTestTools::isPipeWire();
        m_server = std::make_unique<PrivatePulseServer>(QStringList{
            QStringLiteral("load-module module-null-sink sink_name=private_out"),
            QStringLiteral("set-default-sink private_out"),
            QStringLiteral("load-module module-null-sink sink_name=private_mic_feed"),
            QStringLiteral("load-module module-remap-source source_name=private_mic master=private_mic_feed.monitor "
                           "source_properties=device.description=Private_Mic"),
            QStringLiteral("set-default-source private_mic")});
        m_app.environment().insert(QStringLiteral("PULSE_SERVER"), m_server->address());
        // Recordings are filed without waiting for a speech model.
        m_app.storeSetting(QStringLiteral("nimbrel_autoTranscribe"), QStringLiteral("false"));
    }

    // The app's output so far.
    QString output()
    {
        m_output += QString::fromUtf8(m_process->readAll());
        return m_output;
    }
    bool saysWithin(const QString& text, int ms)
    {
        return waitUntil([&] { return output().contains(text); }, ms);
    }
    // Says `text` again after what it has said so far.
    bool saysAgainWithin(const QString& text, int ms)
    {
        const qsizetype before = output().size();
        return waitUntil([&] { return output().indexOf(text, before) >= 0; }, ms);
    }

    void clickRedButton()
    {
        // A window just mapped may not have been drawn yet.
        std::optional<QPoint> button;
        const auto found = [&] {
            button = AppUnderTest::redButtonIn(m_window, transportBarHeight);
            return button.has_value();
        };
        ASSERT_TRUE(waitUntil(found, 5000)) << "no red button in the bottom bar";
        AppUnderTest::clickIn(m_window, button->x(), button->y());
    }
    void clickRecord() { clickRedButton(); }
    void clickStop() { clickRedButton(); }

    // Record gives the one-line error and nothing starts.
    void expectRecordRefused()
    {
        const qsizetype before = output().size();
        clickRecord();
        ASSERT_TRUE(saysAgainWithin(QStringLiteral("Failed to start recording: No sound server is running: "), 5000))
            << qPrintable(output().mid(before));
    }

    // Record, a few seconds, stop: a new recording of two seconds at least that decodes.
    void expectARecording()
    {
        const QStringList before = recordings();
        const qsizetype said = output().size();
        clickRecord();
        // Longer than two seconds: the first audio of a source can take a moment.
        waitUntil([] { return false; }, 4000);
        ASSERT_LT(output().indexOf(QStringLiteral("Failed to start"), said), 0) << qPrintable(output().mid(said));
        clickStop();
        ASSERT_TRUE(waitUntil([&] { return recordings().size() == before.size() + 1; }, 10000))
            << qPrintable(output());
        for (const QString& path : recordings()) {
            if (!before.contains(path)) {
                EXPECT_GE(Mp3Decoder::durationOf(path), 2.0) << "the recording decodes";
            }
        }
    }

    QStringList recordings() const
    {
        QStringList found;
        QDirIterator files(m_app.dataDir(), {QStringLiteral("*.mp3")}, QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext())
            found.append(files.next());
        return found;
    }

    AppUnderTest m_app;
    std::unique_ptr<PrivatePulseServer> m_server;
    QProcess* m_process = nullptr;
    QString m_window;
    QString m_output;
};

} // namespace

TEST_F(SoundServerApp, StartsWithoutAServerAndUsesOneThatComesOrComesBack)
{
    m_process = &m_app.start();
    std::optional<QString> window;
    ASSERT_TRUE(waitUntil([&] { return (window = AppUnderTest::visibleWindow()).has_value(); }, 20000))
        << qPrintable(output());
    m_window = *window;
    EXPECT_TRUE(saysWithin(QStringLiteral("[AudioDeviceManager] No sound server is reachable."), 5000));

    // It stays up and its event loop answers: a second start is answered.
    waitUntil([] { return false; }, 1500);
    ASSERT_EQ(m_process->state(), QProcess::Running) << qPrintable(output());
    QProcess& second = m_app.start();
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(saysWithin(QStringLiteral("[App] asked to show the main window"), 5000));
    expectRecordRefused();

    // A server comes: within 10 s its microphone is listed and recording works.
    ASSERT_TRUE(m_server->start());
    ASSERT_TRUE(saysWithin(QStringLiteral("Microphones: Private_Mic (default)"), 10000)) << qPrintable(output());
    expectARecording();

    // It goes away while idle, and comes back.
    m_server->stop();
    ASSERT_TRUE(saysAgainWithin(QStringLiteral("No sound server is reachable."), 10000));
    expectRecordRefused();
    ASSERT_TRUE(m_server->start());
    ASSERT_TRUE(saysAgainWithin(QStringLiteral("Sound server connected."), 10000)) << qPrintable(output());
    expectARecording();
    EXPECT_EQ(m_process->state(), QProcess::Running);
}

TEST_F(SoundServerApp, AServerKilledDuringARecordingLeavesItSavedAndSaysWhy)
{
    ASSERT_TRUE(m_server->start());
    m_process = &m_app.start();
    std::optional<QString> window;
    ASSERT_TRUE(waitUntil([&] { return (window = AppUnderTest::visibleWindow()).has_value(); }, 20000))
        << qPrintable(output());
    m_window = *window;
    ASSERT_TRUE(saysWithin(QStringLiteral("Microphones: Private_Mic (default)"), 10000)) << qPrintable(output());

    clickRecord();
    waitUntil([] { return false; }, 4000);
    m_server->kill();
    ASSERT_TRUE(saysWithin(QStringLiteral("Recording stopped: The sound server went away."), 10000))
        << qPrintable(output());
    ASSERT_TRUE(waitUntil([&] { return recordings().size() == 1; }, 10000)) << qPrintable(output());
    EXPECT_GE(Mp3Decoder::durationOf(recordings().first()), 2.0) << "the recording decodes";
    EXPECT_EQ(m_process->state(), QProcess::Running);
}
