// Runs against a sound server of its own, which it stops and starts again;
// the shared test server is never touched.
#include "platform/pulse/PulseContext.h"
#include "platform/pulse/PulseRecordStream.h"
#include "support/PrivatePulseServer.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>

#include <atomic>

#include <gtest/gtest.h>

TEST(PulseContextReconnect, ComesBackWhenTheServerRestarts)
{
    PrivatePulseServer server({QStringLiteral("load-module module-null-sink sink_name=private_sink"),
                               QStringLiteral("set-default-sink private_sink")});
    ASSERT_TRUE(server.start());
    qputenv("PULSE_SERVER", server.address().toUtf8());
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
