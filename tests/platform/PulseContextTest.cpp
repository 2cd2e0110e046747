#include "platform/pulse/PulseContext.h"
#include "platform/pulse/PulseRecordStream.h"
#include "support/TemporaryModule.h"
#include "support/TestEnvironment.h"

#include <QSignalSpy>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

PulseContext& pulse()
{
    return PulseContext::shared();
}

template <typename List, typename Pred>
bool contains(const List& list, Pred pred)
{
    return std::any_of(list.begin(), list.end(), pred);
}

} // namespace

TEST(PulseContext, ConnectsOnFirstUseAndReadsTheServer)
{
    ASSERT_TRUE(pulse().isConnected());
    const PulseServerInfo server = PulseContext::wait(pulse().serverInfo());
    EXPECT_EQ(server.defaultSinkName, QStringLiteral("test_sink"));
    EXPECT_EQ(server.defaultSourceName, QStringLiteral("test_mic"));
    EXPECT_NE(pulse().ownClientIndex(), PA_INVALID_INDEX);
}

TEST(PulseContext, ListsSourcesTellingMonitorsApart)
{
    const QList<PulseSourceInfo> sources = PulseContext::wait(pulse().sources());
    const auto mic = std::find_if(sources.begin(), sources.end(),
                                  [](const PulseSourceInfo& s) { return s.name == QStringLiteral("test_mic"); });
    ASSERT_NE(mic, sources.end());
    EXPECT_FALSE(mic->isMonitor);
    EXPECT_EQ(mic->description, QStringLiteral("Test_Microphone"));

    const std::optional<PulseSourceInfo> monitor = PulseContext::wait(pulse().source(QStringLiteral("test_sink.monitor")));
    ASSERT_TRUE(monitor.has_value());
    EXPECT_TRUE(monitor->isMonitor);
    EXPECT_EQ(monitor->monitorOfSinkName, QStringLiteral("test_sink"));
}

TEST(PulseContext, FindsSinksByNameAndAnswersNothingForUnknownNames)
{
    const std::optional<PulseSinkInfo> sink = PulseContext::wait(pulse().sink(QStringLiteral("test_sink")));
    ASSERT_TRUE(sink.has_value());
    EXPECT_EQ(sink->monitorSourceName, QStringLiteral("test_sink.monitor"));
    EXPECT_EQ(sink->description, QStringLiteral("Test_Output"));

    EXPECT_FALSE(PulseContext::wait(pulse().sink(QStringLiteral("no_such_sink"))).has_value());
    EXPECT_FALSE(PulseContext::wait(pulse().source(QStringLiteral("no_such_source"))).has_value());
}

TEST(PulseContext, SourceOutputsShowModulesAndOurOwnStreams)
{
    PulseRecordStream stream({QStringLiteral("test_sink.monitor"), QStringLiteral("Probe")}, {}, {});
    stream.open();
    const QList<PulseSourceOutputInfo> outputs = PulseContext::wait(pulse().sourceOutputs());
    // The remapped microphone reads its master through a stream with no client.
    EXPECT_TRUE(contains(outputs, [](const PulseSourceOutputInfo& o) { return o.clientIndex == PA_INVALID_INDEX; }));
    const uint32_t own = pulse().ownClientIndex();
    const auto ours = std::find_if(outputs.begin(), outputs.end(),
                                   [own](const PulseSourceOutputInfo& o) { return o.clientIndex == own; });
    ASSERT_NE(ours, outputs.end());
    EXPECT_EQ(ours->applicationName, QStringLiteral("Nimbrel"));
    EXPECT_FALSE(ours->processBinary.isEmpty());
    EXPECT_EQ(ours->properties.value(QStringLiteral("media.name")), QStringLiteral("Probe"));
}

TEST(PulseContext, ReportsServerEventsOnTheMainThread)
{
    QList<std::tuple<PulseContext::Facility, PulseContext::Change, bool>> events;
    QObject receiver;
    QObject::connect(&pulse(), &PulseContext::serverEvent, &receiver,
                     [&](PulseContext::Facility facility, PulseContext::Change change, quint32) {
                         events.append({facility, change, QThread::currentThread() == qApp->thread()});
                     });
    auto seen = [&](PulseContext::Change change) {
        return contains(events, [change](const auto& e) {
            return std::get<0>(e) == PulseContext::Facility::Source && std::get<1>(e) == change;
        });
    };
    const quint64 sourceChanges = pulse().changeCount(PulseContext::Facility::Source);
    PulseTestTools::TemporaryModule probe(PulseTestTools::nullSource(QStringLiteral("event_probe")));
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return seen(PulseContext::Change::New); }));
    EXPECT_GT(pulse().changeCount(PulseContext::Facility::Source), sourceChanges);
    // A new source is no new sink. (PipeWire reports sinks changing as they
    // go idle, so changes of sinks may come.)
    EXPECT_FALSE(contains(events, [](const auto& e) {
        return std::get<0>(e) == PulseContext::Facility::Sink && std::get<1>(e) != PulseContext::Change::Changed;
    }));
    probe.remove();
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return seen(PulseContext::Change::Removed); }));
    EXPECT_TRUE(contains(events, [](const auto& e) { return std::get<2>(e); }));
    EXPECT_FALSE(contains(events, [](const auto& e) { return !std::get<2>(e); }));
}

TEST(PulseContext, RefusesToWaitOnItsOwnThread)
{
    // Waiting inside a callback would wait for itself; it fails instead.
    const QList<QString> outcomes = PulseContext::wait(pulse().queryList<pa_source_info, QString>(
        pa_context_get_source_info_list, [](const pa_source_info&) {
            try {
                PulseContext::wait(pulse().serverInfo());
                return QStringLiteral("waited");
            } catch (const Error& error) {
                return error.domain();
            }
        }));
    ASSERT_FALSE(outcomes.isEmpty());
    EXPECT_EQ(outcomes.first(), QStringLiteral("PulseAudio"));
}
