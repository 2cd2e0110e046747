#include "audio/AudioDeviceManager.h"

#include "platform/pulse/PulseContext.h"

#include "support/PulseTestTools.h"
#include "support/TemporaryModule.h"
#include "support/TestEnvironment.h"

#include <QSignalBlocker>
#include <QSignalSpy>
#include <QThread>

#include <algorithm>

#include <gtest/gtest.h>

using namespace PulseTestTools;

namespace {

bool lists(const AudioDeviceManager& manager, const QString& id)
{
    const auto& mics = manager.availableMics();
    return std::any_of(mics.begin(), mics.end(), [&](const AudioDevice& d) { return d.id == id; });
}

std::optional<AudioDevice> find(const AudioDeviceManager& manager, const QString& id)
{
    for (const AudioDevice& device : manager.availableMics())
        if (device.id == id)
            return device;
    return std::nullopt;
}

// Loads a microphone that exists for one test; the test microphone is the
// default again afterwards.
class ExtraMicrophone : public TemporaryModule {
public:
    explicit ExtraMicrophone(const QString& name)
        : TemporaryModule(nullSource(name, name + QStringLiteral("_Device")),
                          {QStringLiteral("set-default-source"), QStringLiteral("test_mic")})
    {
    }
};

} // namespace

TEST(AudioDeviceManager, ListsMicrophonesButNeverMonitors)
{
    AudioDeviceManager manager;
    // Filled before the constructor returns.
    ASSERT_TRUE(lists(manager, QStringLiteral("test_mic")));
    EXPECT_EQ(manager.selectedMicID(), QStringLiteral("test_mic"));
    const AudioDevice mic = *find(manager, QStringLiteral("test_mic"));
    EXPECT_EQ(mic.name, QStringLiteral("Test_Microphone"));
    EXPECT_TRUE(mic.isDefault);
    for (const AudioDevice& device : manager.availableMics())
        EXPECT_FALSE(device.id.endsWith(QStringLiteral(".monitor"))) << device.id.toStdString();

    // A new output brings a monitor, which is no microphone.
    QSignalSpy changes(&manager, &AudioDeviceManager::availableMicsChanged);
    TemporaryModule sink(QStringLiteral("module-null-sink"), {QStringLiteral("sink_name=extra_out")});
    TestEnvironment::waitUntil([] { return false; }, 300);
    EXPECT_FALSE(lists(manager, QStringLiteral("extra_out.monitor")));
    EXPECT_EQ(changes.count(), 0) << "nothing new, nothing announced";
}

TEST(AudioDeviceManager, FollowsMicrophonesComingAndGoing)
{
    AudioDeviceManager manager;
    ExtraMicrophone usb(QStringLiteral("usb_mic"));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return lists(manager, QStringLiteral("usb_mic")); }, 2000));
    EXPECT_EQ(find(manager, QStringLiteral("usb_mic"))->name, QStringLiteral("usb_mic_Device"));
    EXPECT_FALSE(find(manager, QStringLiteral("usb_mic"))->isDefault);

    // The user's pick stays while another microphone arrives.
    manager.setSelectedMicID(QStringLiteral("usb_mic"));
    {
        ExtraMicrophone headset(QStringLiteral("headset_mic"));
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return lists(manager, QStringLiteral("headset_mic")); }, 2000));
        EXPECT_EQ(manager.selectedMicID(), QStringLiteral("usb_mic"));
    }
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return !lists(manager, QStringLiteral("headset_mic")); }, 2000));

    // The picked microphone goes away: back to the default.
    QSignalSpy selection(&manager, &AudioDeviceManager::selectedMicIDChanged);
    usb.remove();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !lists(manager, QStringLiteral("usb_mic")); }, 2000));
    EXPECT_EQ(manager.selectedMicID(), QStringLiteral("test_mic"));
    EXPECT_EQ(selection.count(), 1);
}

TEST(AudioDeviceManager, FollowsTheDefaultWithoutMovingTheChoice)
{
    AudioDeviceManager manager;
    ExtraMicrophone usb(QStringLiteral("usb_mic"));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return lists(manager, QStringLiteral("usb_mic")); }, 2000));
    pactl({QStringLiteral("set-default-source"), QStringLiteral("usb_mic")});
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return find(manager, QStringLiteral("usb_mic"))->isDefault; }, 2000));
    EXPECT_FALSE(find(manager, QStringLiteral("test_mic"))->isDefault);
    EXPECT_EQ(manager.selectedMicID(), QStringLiteral("test_mic"));
    EXPECT_EQ(manager.selectedMicDevice()->id, QStringLiteral("test_mic"));
}

TEST(AudioDeviceManager, FallsBackToTheFirstWhenNoMicrophoneIsDefault)
{
    AudioDeviceManager manager;
    ExtraMicrophone usb(QStringLiteral("usb_mic"));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return lists(manager, QStringLiteral("usb_mic")); }, 2000));
    manager.setSelectedMicID(QStringLiteral("usb_mic"));
    // With a monitor as the server's default, no listed device is the default.
    pactl({QStringLiteral("set-default-source"), QStringLiteral("test_sink.monitor")});
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !find(manager, QStringLiteral("test_mic"))->isDefault; }, 2000));
    usb.remove();
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !lists(manager, QStringLiteral("usb_mic")); }, 2000));
    EXPECT_EQ(manager.selectedMicID(), manager.availableMics().first().id);
}

TEST(AudioDeviceManager, AnUnlistedChoiceStaysUntilTheNextRefresh)
{
    AudioDeviceManager manager;
    manager.setSelectedMicID(QStringLiteral("no_such_mic"));
    EXPECT_EQ(manager.selectedMicID(), QStringLiteral("no_such_mic"));
    // Meanwhile recording uses the default microphone.
    ASSERT_TRUE(manager.selectedMicDevice().has_value());
    EXPECT_EQ(manager.selectedMicDevice()->id, QStringLiteral("test_mic"));
    manager.refreshDevices();
    EXPECT_EQ(manager.selectedMicID(), QStringLiteral("test_mic"));
}

TEST(AudioDeviceManager, RecordsFromTheServerWhileTheListIsBehind)
{
    // Asks the server itself, without turning the event loop, so the
    // manager's list stays as it was.
    const auto serverSays = [](const QStringList& arguments, const QString& wanted) {
        for (int attempt = 0; attempt < 40; ++attempt) {
            if (pactl(arguments).contains(wanted))
                return true;
            QThread::msleep(50);
        }
        return false;
    };
    AudioDeviceManager manager;
    ExtraMicrophone usb(QStringLiteral("usb_mic"));
    ASSERT_TRUE(serverSays({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sources")},
                           QStringLiteral("usb_mic")));

    struct Case {
        const char* name;
        const char* choice;
        const char* serverDefault;
        const char* recorded; // nullptr: no microphone
    };
    for (const Case& c : {Case{"a choice the list lacks", "usb_mic", "test_mic", "usb_mic"},
                          Case{"an unknown choice, a default the list lacks", "no_such_mic", "usb_mic", "usb_mic"},
                          Case{"an unknown choice, a monitor as the default", "no_such_mic", "test_sink.monitor",
                               nullptr}}) {
        SCOPED_TRACE(c.name);
        const QString serverDefault = QString::fromLatin1(c.serverDefault);
        pactl({QStringLiteral("set-default-source"), serverDefault});
        ASSERT_TRUE(serverSays({QStringLiteral("get-default-source")}, serverDefault));
        manager.setSelectedMicID(QString::fromLatin1(c.choice));
        const std::optional<AudioDevice> device = manager.selectedMicDevice();
        if (c.recorded) {
            ASSERT_TRUE(device.has_value());
            EXPECT_EQ(device->id, QString::fromLatin1(c.recorded));
            EXPECT_EQ(device->isDefault, device->id == serverDefault);
        } else {
            EXPECT_FALSE(device.has_value()) << device->id.toStdString();
        }
    }
    EXPECT_FALSE(lists(manager, QStringLiteral("usb_mic"))) << "the list was behind throughout";
}

TEST(AudioDeviceManager, ThePollFindsNewDevicesWithoutEvents)
{
    AudioDeviceManager manager;
    QSignalSpy changes(&manager, &AudioDeviceManager::availableMicsChanged);
    // Only the poll's own questions reach the manager.
    const QSignalBlocker noEvents(&PulseContext::shared());
    ExtraMicrophone usb(QStringLiteral("usb_mic"));
    manager.checkDevicesChanged();
    EXPECT_FALSE(lists(manager, QStringLiteral("usb_mic"))) << "the answer is applied when it arrives";
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return lists(manager, QStringLiteral("usb_mic")); }, 2000));
    EXPECT_EQ(changes.count(), 1);
    // Nothing new: nothing announced.
    manager.checkDevicesChanged();
    TestEnvironment::waitUntil([] { return false; }, 300);
    EXPECT_EQ(changes.count(), 1);
}

TEST(AudioDeviceManager, AnAnswerOvertakenByALaterReadIsDropped)
{
    AudioDeviceManager manager;
    ExtraMicrophone usb(QStringLiteral("usb_mic"));
    ASSERT_TRUE(TestEnvironment::waitUntil([&] { return lists(manager, QStringLiteral("usb_mic")); }, 2000));
    const QSignalBlocker noEvents(&PulseContext::shared());
    // Asked while the microphone is there; read again, waiting, once it is gone.
    manager.checkDevicesChanged();
    usb.remove();
    // PipeWire drops the node a moment after pactl returns; wait for the
    // server without running the event loop, so the first answer stays queued.
    for (int tries = 0; tries < 100 && pactl({QStringLiteral("list"), QStringLiteral("short"), QStringLiteral("sources")})
                                           .contains(QStringLiteral("usb_mic"));
         ++tries)
        QThread::msleep(20);
    manager.refreshDevices();
    ASSERT_FALSE(lists(manager, QStringLiteral("usb_mic")));
    TestEnvironment::waitUntil([] { return false; }, 300);
    EXPECT_FALSE(lists(manager, QStringLiteral("usb_mic")));
}
