// Construction, the subscriptions and the source settings.

#include "ViewModelFixture.h"

#include "common/SettingsKeys.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"

using ::testing::ElementsAre;

namespace {

struct GainCase {
    std::optional<double> storedMic;
    std::optional<double> storedSys;
    float expectedMic;
    float expectedSys;
};

class StoredGains : public ViewModelFixture, public ::testing::WithParamInterface<GainCase> {};

TEST_P(StoredGains, AtOrBelowThresholdFallBackToDefaults)
{
    const GainCase& c = GetParam();
    if (c.storedMic)
        m_settings->setValue(SettingsKeys::micVolume, *c.storedMic);
    if (c.storedSys)
        m_settings->setValue(SettingsKeys::sysVolume, *c.storedSys);
    RecordingViewModel& vm = makeViewModel();

    EXPECT_FLOAT_EQ(vm.recorder().micVolume(), c.expectedMic);
    EXPECT_FLOAT_EQ(vm.recorder().sysVolume(), c.expectedSys);
    EXPECT_FLOAT_EQ(m_recorder->micGain, c.expectedMic);
    EXPECT_FLOAT_EQ(m_recorder->sysGain, c.expectedSys);
    // Reading a fallback stores nothing.
    EXPECT_EQ(m_settings->isStored(SettingsKeys::micVolume), c.storedMic.has_value());
    EXPECT_EQ(m_settings->isStored(SettingsKeys::sysVolume), c.storedSys.has_value());
}

INSTANTIATE_TEST_SUITE_P(Gains, StoredGains,
                         ::testing::Values(GainCase{std::nullopt, std::nullopt, 1.4f, 0.9f},
                                           GainCase{0.05, 0.0, 1.4f, 0.9f},
                                           GainCase{0.06, 0.06, 0.06f, 0.06f},
                                           GainCase{2.5, 1.1, 2.5f, 1.1f}));

using Construction = ViewModelFixture;

TEST_F(Construction, EchoGuardFollowsAnyStoredOrRegisteredValueElseOn)
{
    makeViewModel();
    EXPECT_TRUE(m_vm->recorder().isEchoGuardEnabled());
    EXPECT_TRUE(m_recorder->echoGuard);

    m_vm.reset();
    m_settings->registerDefaults({{SettingsKeys::echoGuardEnabled, false}});
    makeViewModel();
    EXPECT_FALSE(m_vm->recorder().isEchoGuardEnabled());
    EXPECT_FALSE(m_recorder->echoGuard);
}

TEST_F(Construction, RecordingTypeComesFromItsRawValueElseMeeting)
{
    const std::pair<std::optional<QString>, RecordingType> cases[] = {
        {std::nullopt, RecordingType::meeting},
        {QStringLiteral("standup"), RecordingType::meeting}, // a type that no longer exists
        {QStringLiteral("Lecture"), RecordingType::meeting}, // raw values are case-sensitive
        {QStringLiteral("lecture"), RecordingType::lecture},
    };
    for (const auto& [stored, expected] : cases) {
        if (stored)
            m_settings->setValue(SettingsKeys::lastRecordingType, *stored);
        makeViewModel();
        EXPECT_EQ(m_vm->recorder().activeRecordingType(), expected)
            << qPrintable(stored.value_or(QStringLiteral("(none)")));
        m_vm.reset();
    }
}

TEST_F(Construction, EmptyLibraryLeavesNoSelectionAndTheSearchFocused)
{
    makeViewModel();
    EXPECT_TRUE(m_vm->library().recordings().isEmpty());
    EXPECT_FALSE(m_vm->library().selectedRecording());
    EXPECT_TRUE(m_vm->library().isSearchFocused());
    EXPECT_TRUE(m_player->loads.isEmpty());
    settle();
    EXPECT_EQ(m_focus->releases, 0) << "nothing selected, nothing to play: the keyboard stays";
}

TEST_F(Construction, SelectsTheNewestRecordingWithItsOwnFileLoaded)
{
    RecordingItem older = makeRecording(QStringLiteral("Older"), 60);
    RecordingItem newer = makeRecording(QStringLiteral("Newer"), 5);
    newer.enhancedFileName = m_storage->newEnhancedRecordingFileName(newer);
    writeFile(m_storage->enhancedDestinationURL(newer).url, 2048);
    seedLibrary({older, newer});

    makeViewModel();
    ASSERT_EQ(m_vm->library().recordings().size(), 2);
    EXPECT_EQ(m_vm->library().recordings().first().id, newer.id);
    ASSERT_TRUE(m_vm->library().selectedRecording());
    EXPECT_EQ(m_vm->library().selectedRecording()->id, newer.id);
    EXPECT_EQ(m_player->currentLoadedURL(), audioPath(newer));
    EXPECT_FALSE(m_player->isPlaying());
    EXPECT_EQ(m_player->currentTime(), 0);
    EXPECT_FALSE(m_vm->library().isSearchFocused());
    EXPECT_FALSE(m_vm->library().isPlayingEnhanced());
}

TEST_F(Construction, TakesTheDeviceManagersMicrophoneAndPublishesItself)
{
    makeViewModel();
    EXPECT_EQ(m_vm->recorder().selectedMicID(), QStringLiteral("builtin"));
    ASSERT_FALSE(m_recorder->micUpdates.isEmpty());
    ASSERT_TRUE(m_recorder->micUpdates.last());
    EXPECT_EQ(m_recorder->micUpdates.last()->id, QStringLiteral("builtin"));
    EXPECT_EQ(RecordingViewModel::shared(), m_vm.get());
    EXPECT_EQ(RecordingControl::shared(), &m_vm->recorder());
    EXPECT_FALSE(m_vm->recorder().showPermissionBanner());
}

using Subscriptions = ViewModelFixture;

TEST_F(Subscriptions, LiveWaveformKeepsTheNewest600Samples)
{
    makeViewModel();
    for (int i = 1; i <= 700; ++i)
        m_recorder->emitWaveformSample(static_cast<float>(i));
    const QList<float>& points = m_vm->recorder().liveWaveformPoints();
    ASSERT_EQ(points.size(), 600);
    EXPECT_EQ(points.first(), 101.0f);
    EXPECT_EQ(points.last(), 700.0f);
}

TEST_F(Subscriptions, LevelsArePublished)
{
    makeViewModel();
    m_recorder->emitLevels(0.3f, 0.0f);
    EXPECT_FLOAT_EQ(m_vm->recorder().micLevel(), 0.3f);
    EXPECT_FLOAT_EQ(m_vm->recorder().sysLevel(), 0.0f);
}

TEST_F(Subscriptions, MicrophoneChoiceFlowsBothWaysWithoutEcho)
{
    makeViewModel();

    // The device manager falls back to another device.
    const qsizetype updatesBefore = m_recorder->micUpdates.size();
    m_devices->choose(QStringLiteral("usb"));
    EXPECT_EQ(m_vm->recorder().selectedMicID(), QStringLiteral("usb"));
    ASSERT_EQ(m_recorder->micUpdates.size(), updatesBefore + 1);
    EXPECT_EQ(m_recorder->micUpdates.last()->id, QStringLiteral("usb"));

    // The user picks one: the manager takes it, and its echo changes nothing.
    m_vm->recorder().setSelectedMicID(QStringLiteral("builtin"));
    EXPECT_EQ(m_devices->selected, QStringLiteral("builtin"));
    EXPECT_EQ(m_recorder->micUpdates.size(), updatesBefore + 2);
    EXPECT_EQ(m_recorder->micUpdates.last()->id, QStringLiteral("builtin"));

    // An unknown id gives the recorder the default microphone.
    m_vm->recorder().setSelectedMicID(QString());
    EXPECT_EQ(m_recorder->micUpdates.last()->id, QStringLiteral("builtin"));
}

TEST_F(Subscriptions, DeviceAndMeetingChangesAreRepeatedOneTurnLater)
{
    makeViewModel();
    int deviceChanges = 0;
    int meetingChanges = 0;
    QObject::connect(&m_vm->recorder(), &RecorderViewModel::deviceManagerChanged, [&] { ++deviceChanges; });
    QObject::connect(&m_vm->recorder(), &RecorderViewModel::meetingDetectorChanged, [&] { ++meetingChanges; });

    Q_EMIT m_devices->availableMicsChanged();
    m_meetings->announceChange();
    EXPECT_EQ(deviceChanges, 0);
    EXPECT_EQ(meetingChanges, 0);
    settle();
    EXPECT_EQ(deviceChanges, 1);
    EXPECT_EQ(meetingChanges, 1);
}

TEST_F(Subscriptions, SourceSettingsReachTheRecorderAndTheStore)
{
    makeViewModel();
    startRecording();

    m_vm->recorder().setMicVolume(1.0f);
    EXPECT_FLOAT_EQ(m_recorder->micGain, 1.0f);
    EXPECT_DOUBLE_EQ(m_settings->value(SettingsKeys::micVolume).toDouble(), 1.0);
    m_vm->recorder().setSysVolume(0.3f);
    EXPECT_FLOAT_EQ(m_recorder->sysGain, 0.3f);
    EXPECT_FLOAT_EQ(m_settings->value(SettingsKeys::sysVolume).toFloat(), 0.3f);
    m_vm->recorder().setIsEchoGuardEnabled(false);
    EXPECT_FALSE(m_recorder->echoGuard);
    EXPECT_FALSE(m_settings->boolValue(SettingsKeys::echoGuardEnabled));

    // The source switches are not stored.
    m_vm->recorder().setIsMicEnabled(false);
    m_vm->recorder().setIsSystemAudioEnabled(false);
    EXPECT_FALSE(m_recorder->micEnabled);
    EXPECT_FALSE(m_recorder->systemAudioEnabled);
    m_vm.reset();
    makeViewModel();
    EXPECT_TRUE(m_vm->recorder().isMicEnabled());
    EXPECT_TRUE(m_vm->recorder().isSystemAudioEnabled());
    EXPECT_FLOAT_EQ(m_vm->recorder().micVolume(), 1.0f);
    EXPECT_FLOAT_EQ(m_vm->recorder().sysVolume(), 0.3f);
    EXPECT_FALSE(m_vm->recorder().isEchoGuardEnabled());
}

TEST_F(Subscriptions, AcceptedMeetingStartsARecordingOnlyWhenIdle)
{
    makeViewModel();
    DetectedMeeting meeting;
    meeting.appName = QStringLiteral("Zoom");
    meeting.meetingDetail = QStringLiteral("Design review");

    m_meetings->onStart(meeting);
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::starting);
    EXPECT_EQ(m_vm->recorder().activeRecordingTitle(), QStringLiteral("Zoom - Design review"));
    EXPECT_EQ(m_meetings->lastMeeting, meeting);
    EXPECT_TRUE(m_meetings->lastFromMeeting);

    // Starting, recording, paused, stopping: ignored.
    const auto requestIsIgnored = [&] {
        m_meetings->onStart(meeting);
        return m_recorder->starts.count() == 1 && m_meetings->started == 1;
    };
    EXPECT_TRUE(requestIsIgnored());
    m_recorder->starts.resolveLast();
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::recording; }));
    EXPECT_TRUE(requestIsIgnored());
    m_vm->recorder().pauseResumeRecording();
    EXPECT_TRUE(requestIsIgnored());
    m_vm->recorder().stopRecording();
    EXPECT_TRUE(requestIsIgnored());
}

TEST_F(Subscriptions, MeetingStopRequestStopsOnlyARunningRecording)
{
    makeViewModel();
    m_meetings->onStop(); // idle
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::idle);

    m_vm->recorder().startNewRecording();
    m_meetings->onStop(); // starting
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::starting);
    m_recorder->starts.resolve(0);
    ASSERT_TRUE(waitFor([&] { return m_vm->recorder().recorderState() == RecorderState::recording; }));

    m_meetings->onStop();
    EXPECT_EQ(m_vm->recorder().recorderState(), RecorderState::stopping);
    m_meetings->onStop(); // stopping
    EXPECT_EQ(m_recorder->stops.count(), 1);
}

} // namespace
