// The settings window's content over a view model on fakes, offscreen.
#include "FakeMeetingClock.h"
#include "FakeMeetingProbes.h"
#include "KeyboardWalk.h"
#include "StyledViewFixture.h"
#include "common/SettingsKeys.h"
#include "common/SettingsTable.h"
#include "services/meetings/MeetingDetector.h"
#include "support/QtPrinters.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/RecorderViewModel.h"
#include "views/logic/SettingsRules.h"
#include "views/settings/AiSection.h"
#include "views/settings/AudioSection.h"
#include "views/settings/BoundSettings.h"
#include "views/settings/DesktopSettingsServices.h"
#include "views/settings/GeneralSection.h"
#include "views/settings/SettingsServices.h"
#include "views/settings/SettingsTabButton.h"
#include "views/settings/SettingsView.h"
#include "views/settings/StorageSection.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

using SettingsRules::SettingsTab;

namespace {

class FakeSettingsServices : public SettingsServices {
public:
    void setMeetingDetectionEnabled(bool enabled) override { detection.append(enabled); }
    void setLaunchAtLogin(bool enabled) override { login.append(enabled); }
    void checkForUpdates() override { ++updateChecks; }
    QString recordingsFolder() const override { return folder; }
    void showFolder(const QString& path) override { shownFolders.append(path); }

    QList<bool> detection;
    QList<bool> login;
    int updateChecks = 0;
    QString folder = QStringLiteral("/home/user/.local/share/Nimbrel/Recordings");
    QStringList shownFolders;
};

class SettingsWindow : public StyledViewFixture {
protected:
    void TearDown() override
    {
        m_view.reset();
        StyledViewFixture::TearDown();
    }

    SettingsView& open(SettingsTab tab = SettingsTab::general)
    {
        if (!m_vm)
            makeViewModel();
        m_view = std::make_unique<SettingsView>(*m_vm, *m_settings, m_services);
        m_view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_view.get()));
        if (tab != SettingsTab::general)
            QTest::mouseClick(m_view->tabButton(tab), Qt::LeftButton);
        settle();
        return *m_view;
    }

    template <typename Section>
    Section& section() const
    {
        auto* shown = qobject_cast<Section*>(m_view->section());
        EXPECT_NE(shown, nullptr);
        return *shown;
    }

    QByteArray storedSettings() const
    {
        QFile file(m_dir.filePath(QStringLiteral("settings.ini")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static QStringList rows(const QComboBox* picker)
    {
        QStringList texts;
        for (int i = 0; i < picker->count(); ++i)
            texts << picker->itemText(i);
        return texts;
    }

    FakeSettingsServices m_services;
    std::unique_ptr<SettingsView> m_view;
};

} // namespace

TEST_F(SettingsWindow, FixedFrameWithFourTabsOpeningOnGeneral)
{
    SettingsView& view = open();
    EXPECT_EQ(view.size(), QSize(540, 500));
    EXPECT_EQ(view.minimumSize(), view.maximumSize());
    EXPECT_EQ(view.selectedTab(), SettingsTab::general);
    QStringList labels;
    for (SettingsTab tab : SettingsRules::allTabs()) {
        labels << view.tabButton(tab)->text();
        EXPECT_EQ(view.tabButton(tab)->isSelected(), tab == SettingsTab::general);
    }
    EXPECT_EQ(labels, (QStringList{"General", "Audio", "AI & Recap", "Storage"}));
    EXPECT_NE(qobject_cast<GeneralSection*>(view.section()), nullptr);
    EXPECT_EQ(view.doneButton()->text(), "Done");

    const struct {
        SettingsTab tab;
        const char* section;
    } cases[] = {
        {SettingsTab::audio, "audioSection"},
        {SettingsTab::ai, "aiSection"},
        {SettingsTab::storage, "storageSection"},
        {SettingsTab::general, "generalSection"},
    };
    for (const auto& c : cases) {
        QTest::mouseClick(view.tabButton(c.tab), Qt::LeftButton);
        EXPECT_EQ(view.selectedTab(), c.tab);
        EXPECT_EQ(view.section()->objectName(), c.section);
    }
}

TEST_F(SettingsWindow, DoneAndReturnAskToCloseAndTheNextOpeningShowsGeneral)
{
    SettingsView& view = open(SettingsTab::storage);
    ASSERT_EQ(view.selectedTab(), SettingsTab::storage);
    QSignalSpy done(&view, &SettingsView::doneRequested);
    QTest::mouseClick(view.doneButton(), Qt::LeftButton);
    EXPECT_EQ(done.count(), 1);
    QTest::keyClick(&view, Qt::Key_Return);
    EXPECT_EQ(done.count(), 2);

    // The window's controller builds a new view after a close.
    SettingsView& reopened = open();
    EXPECT_EQ(reopened.selectedTab(), SettingsTab::general);
}

TEST_F(SettingsWindow, EmptyPreferencesShowEveryDefault)
{
    // Not even the launch defaults registered.
    open();
    auto& general = section<GeneralSection>();
    const struct {
        const QString& key;
        bool on;
    } switches[] = {
        {SettingsKeys::autoDetectMeetings, true},        {SettingsKeys::autoStopMeetingPrompt, true},
        {SettingsKeys::keepInMenuBarOnClose, true},      {SettingsKeys::launchAtLogin, true},
        {SettingsKeys::stopRecordingOnScreenSleep, false}, {SettingsKeys::autoCheckUpdates, true},
    };
    for (const auto& s : switches) {
        ASSERT_NE(general.switchFor(s.key), nullptr) << s.key.toStdString();
        EXPECT_EQ(general.switchFor(s.key)->isChecked(), s.on) << s.key.toStdString();
    }

    QTest::mouseClick(m_view->tabButton(SettingsTab::audio), Qt::LeftButton);
    auto& audio = section<AudioSection>();
    EXPECT_TRUE(audio.echoGuardSwitch()->isChecked());
    EXPECT_EQ(audio.micGainText()->text(), "1.4x");
    EXPECT_EQ(audio.micGainSlider()->value(), 14);
    EXPECT_EQ(audio.systemGainText()->text(), "0.9x");
    EXPECT_EQ(audio.systemGainSlider()->value(), 9);

    QTest::mouseClick(m_view->tabButton(SettingsTab::ai), Qt::LeftButton);
    auto& ai = section<AiSection>();
    EXPECT_TRUE(ai.autoTranscribeSwitch()->isChecked());
    EXPECT_TRUE(ai.autoRecapSwitch()->isChecked());
    EXPECT_EQ(ai.languagePicker()->currentData().toString(), "auto");
    EXPECT_EQ(ai.languagePicker()->currentText(), "Auto-Detect (Multilingual)");
    EXPECT_EQ(ai.recapFormatPicker()->currentData().toString(), "meeting");
    EXPECT_EQ(rows(ai.recapFormatPicker()),
              (QStringList{"Meeting", "Brainstorming", "Interview", "1-on-1 Sync", "Lecture", "Voice Note"}));

    // Looking wrote nothing.
    for (const SettingsTable::Entry& entry : SettingsTable::entries())
        EXPECT_FALSE(m_settings->isStored(entry.key)) << entry.key.toStdString();
}

TEST_F(SettingsWindow, RegisteringTheLaunchDefaultsChangesNothingTheWindowShows)
{
    const BoundSettings bound(*m_settings);
    QVariantMap before;
    for (const SettingsTable::Entry& entry : SettingsTable::entries())
        before.insert(entry.key, bound.value(entry.key));
    m_settings->registerDefaults(SettingsTable::launchDefaults());
    for (const SettingsTable::Entry& entry : SettingsTable::entries()) {
        EXPECT_EQ(bound.value(entry.key), before.value(entry.key)) << entry.key.toStdString();
        EXPECT_EQ(bound.value(entry.key).typeId(), int(entry.type)) << entry.key.toStdString();
    }
}

TEST_F(SettingsWindow, OpeningTheGeneralTabTouchesNoService)
{
    m_settings->setValue(SettingsKeys::autoDetectMeetings, false);
    m_settings->setValue(SettingsKeys::launchAtLogin, false);
    const QByteArray before = storedSettings();
    open();
    QTest::mouseClick(m_view->tabButton(SettingsTab::audio), Qt::LeftButton);
    QTest::mouseClick(m_view->tabButton(SettingsTab::general), Qt::LeftButton);
    settle();
    EXPECT_TRUE(m_services.detection.isEmpty());
    EXPECT_TRUE(m_services.login.isEmpty());
    EXPECT_EQ(storedSettings(), before);
    EXPECT_FALSE(section<GeneralSection>().switchFor(SettingsKeys::autoDetectMeetings)->isChecked());
}

TEST_F(SettingsWindow, GeneralSwitchesStoreTheirValueAndTwoActOnTheirService)
{
    open();
    auto& general = section<GeneralSection>();
    const struct {
        const QString& key;
        const QList<bool>* service;
    } cases[] = {
        {SettingsKeys::autoDetectMeetings, &m_services.detection},
        {SettingsKeys::launchAtLogin, &m_services.login},
        {SettingsKeys::autoStopMeetingPrompt, nullptr},
        {SettingsKeys::keepInMenuBarOnClose, nullptr},
        {SettingsKeys::stopRecordingOnScreenSleep, nullptr},
        {SettingsKeys::autoCheckUpdates, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key.toStdString());
        QCheckBox* toggle = general.switchFor(c.key);
        const bool first = !toggle->isChecked();
        toggle->click();
        EXPECT_EQ(m_settings->value(c.key).toBool(), first);
        toggle->click();
        EXPECT_EQ(m_settings->value(c.key).toBool(), !first);
        if (c.service) {
            EXPECT_EQ(*c.service, (QList<bool>{first, !first}));
        }
    }
    EXPECT_EQ(m_services.detection.size(), 2);
    EXPECT_EQ(m_services.login.size(), 2);

    general.checkForUpdatesButton()->click();
    EXPECT_EQ(m_services.updateChecks, 1);
}

TEST_F(SettingsWindow, DetectionSwitchStartsAndStopsTheDetectorsMonitoring)
{
    auto clock = std::make_unique<FakeMeetingClock>();
    auto windows = std::make_unique<FakeWindowList>();
    FakeMeetingClock* fakeClock = clock.get();
    FakeWindowList* fakeWindows = windows.get();
    MeetingDetector detector(MeetingDetector::Probes{std::move(clock), std::move(windows),
                                                     std::make_unique<FakeRunningApplications>(),
                                                     std::make_unique<FakeAudioInputs>()},
                             *m_settings);
    settle();
    ASSERT_EQ(fakeClock->activeTimers(), 1);
    const int checksBefore = fakeWindows->calls;

    DesktopSettingsServices services(detector);
    makeViewModel();
    m_view = std::make_unique<SettingsView>(*m_vm, *m_settings, services);
    m_view->show();
    settle();
    // Showing pushed nothing into the detector.
    EXPECT_EQ(fakeClock->activeTimers(), 1);
    EXPECT_EQ(fakeWindows->calls, checksBefore);

    QCheckBox* toggle = section<GeneralSection>().switchFor(SettingsKeys::autoDetectMeetings);
    toggle->click();
    EXPECT_FALSE(detector.isDetectionEnabled());
    EXPECT_EQ(fakeClock->activeTimers(), 0);
    EXPECT_FALSE(m_settings->value(SettingsKeys::autoDetectMeetings).toBool());
    fakeClock->advance(10);
    EXPECT_EQ(fakeWindows->calls, checksBefore);

    toggle->click();
    settle();
    EXPECT_TRUE(detector.isDetectionEnabled());
    EXPECT_EQ(fakeClock->activeTimers(), 1);
    // The first check runs at once.
    EXPECT_EQ(fakeWindows->calls, checksBefore + 1);
}

TEST_F(SettingsWindow, AStoredGainBelowTheSliderIsShownAndLeftAlone)
{
    m_settings->setValue(SettingsKeys::micVolume, 0.3);
    m_settings->setValue(SettingsKeys::sysVolume, 0.3);
    makeViewModel();
    const QByteArray before = storedSettings();
    open(SettingsTab::audio);
    auto& audio = section<AudioSection>();
    EXPECT_EQ(audio.micGainText()->text(), "0.3x");
    EXPECT_EQ(audio.micGainSlider()->value(), audio.micGainSlider()->minimum());
    EXPECT_EQ(audio.systemGainText()->text(), "0.3x");
    EXPECT_EQ(storedSettings(), before);
    EXPECT_DOUBLE_EQ(m_settings->value(SettingsKeys::micVolume).toDouble(), 0.3);
    EXPECT_FLOAT_EQ(m_vm->recorder().micVolume(), 0.3f);

    // Set from the source bar while the tab is open: shown, and still not raised to the slider's end.
    m_vm->recorder().setMicVolume(0.2f);
    settle();
    EXPECT_EQ(audio.micGainText()->text(), "0.2x");
    EXPECT_FLOAT_EQ(m_vm->recorder().micVolume(), 0.2f);
    EXPECT_FLOAT_EQ(m_settings->value(SettingsKeys::micVolume).toFloat(), 0.2f);
}

TEST_F(SettingsWindow, AudioControlsActOnTheViewModelAtOnce)
{
    open(SettingsTab::audio);
    auto& audio = section<AudioSection>();
    EXPECT_EQ(audio.micGainSlider()->minimum(), 5);
    EXPECT_EQ(audio.micGainSlider()->maximum(), 25);
    EXPECT_EQ(audio.systemGainSlider()->maximum(), 20);

    audio.micGainSlider()->setValue(20);
    EXPECT_FLOAT_EQ(m_vm->recorder().micVolume(), 2.0f);
    EXPECT_FLOAT_EQ(m_recorder->micGain, 2.0f);
    EXPECT_EQ(audio.micGainText()->text(), "2.0x");
    audio.systemGainSlider()->setValue(12);
    EXPECT_FLOAT_EQ(m_vm->recorder().sysVolume(), 1.2f);
    EXPECT_FLOAT_EQ(m_recorder->sysGain, 1.2f);
    EXPECT_NEAR(m_settings->value(SettingsKeys::sysVolume).toDouble(), 1.2, 1e-6);

    audio.echoGuardSwitch()->click();
    EXPECT_FALSE(m_vm->recorder().isEchoGuardEnabled());
    EXPECT_FALSE(m_recorder->echoGuard);
    EXPECT_FALSE(m_settings->value(SettingsKeys::echoGuardEnabled).toBool());

    // Changes made in the source bar show here too.
    m_vm->recorder().setMicVolume(0.7f);
    m_vm->recorder().setIsEchoGuardEnabled(true);
    settle();
    EXPECT_EQ(audio.micGainText()->text(), "0.7x");
    EXPECT_EQ(audio.micGainSlider()->value(), 7);
    EXPECT_TRUE(audio.echoGuardSwitch()->isChecked());
}

TEST_F(SettingsWindow, MicrophonePickerFollowsTheDeviceList)
{
    open(SettingsTab::audio);
    QComboBox* picker = section<AudioSection>().micPicker();
    EXPECT_EQ(rows(picker), (QStringList{"Built-in", "USB Mic"}));
    EXPECT_EQ(picker->currentText(), "Built-in");
    picker->activated(1);
    EXPECT_EQ(m_vm->recorder().selectedMicID(), "usb");
    // The choice lasts for this run only.
    EXPECT_FALSE(storedSettings().contains("usb"));

    m_devices->mics.append({QStringLiteral("headset"), QStringLiteral("Headset"), false});
    Q_EMIT m_devices->availableMicsChanged();
    settle();
    EXPECT_EQ(rows(picker), (QStringList{"Built-in", "USB Mic", "Headset"}));
    EXPECT_EQ(picker->currentText(), "USB Mic");

    m_devices->mics.clear();
    Q_EMIT m_devices->availableMicsChanged();
    settle();
    EXPECT_EQ(picker->count(), 0);
    EXPECT_EQ(picker->currentIndex(), -1);
}

TEST_F(SettingsWindow, RecapFormatAndLanguagePickersStoreTheirTags)
{
    m_settings->setValue(SettingsKeys::lastRecordingType, QStringLiteral("standup"));
    open(SettingsTab::ai);
    auto& ai = section<AiSection>();
    // A stored format that names no type shows no selection.
    EXPECT_EQ(ai.recapFormatPicker()->currentIndex(), -1);
    ai.recapFormatPicker()->activated(4);
    EXPECT_EQ(m_settings->value(SettingsKeys::lastRecordingType).toString(), "lecture");
    EXPECT_EQ(m_vm->recorder().activeRecordingType(), RecordingType::lecture);

    ai.languagePicker()->activated(2);
    EXPECT_EQ(m_settings->value(SettingsKeys::whisperLanguage).toString(), "it");

    ai.autoTranscribeSwitch()->click();
    EXPECT_FALSE(m_settings->value(SettingsKeys::autoTranscribe).toBool());
    ai.autoRecapSwitch()->click();
    EXPECT_FALSE(m_settings->value(SettingsKeys::autoGenerateRecap).toBool());

    // Chosen while recording, in the live pane: shown here.
    m_vm->recorder().setActiveRecordingType(RecordingType::interview);
    settle();
    EXPECT_EQ(ai.recapFormatPicker()->currentData().toString(), "interview");
}

TEST_F(SettingsWindow, StorageShowsTheFolderAndCountsTheRecordings)
{
    seedLibrary({makeRecording(QStringLiteral("One"), 5)});
    open(SettingsTab::storage);
    auto& storage = section<StorageSection>();
    EXPECT_EQ(storage.pathText()->toolTip(), m_services.folder);
    EXPECT_EQ(storage.countText()->text(), "1 recording saved");
    EXPECT_EQ(storage.showFolderButton()->text(), "Show in File Manager");
    storage.showFolderButton()->click();
    EXPECT_EQ(m_services.shownFolders, QStringList{m_services.folder});

    m_vm->library().deleteRecording(m_vm->library().recordings().first());
    settle();
    EXPECT_EQ(storage.countText()->text(), "0 recordings saved");
}

TEST_F(SettingsWindow, TabVisitsTheTabsEveryControlAndDoneOnEachPage)
{
    using namespace KeyboardWalk;
    for (const SettingsTab tab : SettingsRules::allTabs()) {
        SettingsView& view = open(tab);
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        const QList<QWidget*> chain = tabChain(&view);
        for (QWidget* stop : tabStops(&view))
            EXPECT_TRUE(chain.contains(stop)) << SettingsRules::rawValue(tab).toStdString() << ": never reached "
                                              << describe(stop).toStdString();
        for (const SettingsTab other : SettingsRules::allTabs())
            EXPECT_TRUE(chain.contains(view.tabButton(other)));
        EXPECT_TRUE(chain.contains(view.doneButton()));
    }
}

TEST_F(SettingsWindow, TabsTakeTheKeyboardAndEscapeCloses)
{
    SettingsView& view = open();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    SettingsTabButton* audio = view.tabButton(SettingsTab::audio);
    audio->setFocus(Qt::TabFocusReason);
    QTest::keyClick(audio, Qt::Key_Space);
    settle();
    EXPECT_EQ(view.selectedTab(), SettingsTab::audio);

    QSignalSpy done(&view, &SettingsView::doneRequested);
    QTest::keyClick(audio, Qt::Key_Escape);
    EXPECT_EQ(done.size(), 1);
    if (QWidget* focus = QApplication::focusWidget())
        focus->clearFocus();
    QTest::keyClick(&view, Qt::Key_Escape);
    EXPECT_EQ(done.size(), 2);
}

TEST_F(SettingsWindow, ControlsAreNamedAndTabsAreReadAsTabs)
{
    using namespace KeyboardWalk;
    for (const SettingsTab tab : SettingsRules::allTabs()) {
        SettingsView& view = open(tab);
        for (QWidget* stop : tabStops(&view))
            EXPECT_FALSE(accessibleName(stop).isEmpty()) << describe(stop).toStdString();
        for (const SettingsTab other : SettingsRules::allTabs()) {
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(view.tabButton(other));
            EXPECT_EQ(face->role(), QAccessible::PageTab);
            EXPECT_EQ(face->state().selected, other == tab);
            EXPECT_EQ(face->text(QAccessible::Name), SettingsRules::rawValue(other));
        }
    }
    EXPECT_EQ(accessibleName(m_view->tabButton(SettingsTab::ai)), QStringLiteral("AI & Recap"));
}

TEST_F(SettingsWindow, AScrollBarShowsOnlyWhenThePageIsTallerThanTheWindow)
{
    for (const SettingsTab tab : SettingsRules::allTabs()) {
        SettingsView& view = open(tab);
        auto* scroll = view.findChild<QScrollArea*>(QStringLiteral("settingsScrollArea"));
        ASSERT_NE(scroll, nullptr);
        const bool overflows = scroll->widget()->minimumSizeHint().height() > scroll->viewport()->height();
        EXPECT_EQ(scroll->verticalScrollBar()->isVisible(), overflows) << SettingsRules::rawValue(tab).toStdString();
    }
}
