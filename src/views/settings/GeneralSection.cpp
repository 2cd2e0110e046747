#include "views/settings/GeneralSection.h"

#include "common/SettingsKeys.h"
#include "views/detail/RoundedPanel.h"
#include "views/settings/BoundSettings.h"
#include "views/settings/SettingsForm.h"
#include "views/settings/SettingsServices.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace SettingsForm;

namespace {

constexpr int groupSpacing = 20;

} // namespace

GeneralSection::GeneralSection(BoundSettings& settings, SettingsServices& services, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_services(services)
{
    setObjectName(QStringLiteral("generalSection"));
    auto* section = new QVBoxLayout(this);
    section->setContentsMargins(0, 0, 0, 0);
    section->setSpacing(groupSpacing);

    QVBoxLayout* meetings = addGroup(section, QStringLiteral("Meeting & Call Detection"), 8);
    meetings->addWidget(addSwitch(SettingsKeys::autoDetectMeetings, QStringLiteral("Auto-detect meetings & calls")));
    meetings->addWidget(makeHelpLine(QStringLiteral("Automatically detects when Google Meet, Zoom, Microsoft Teams, "
                                                    "Slack Huddle, or Webex calls start and prompts to record."),
                                     this));
    meetings->addSpacing(4);
    meetings->addWidget(
        addSwitch(SettingsKeys::autoStopMeetingPrompt, QStringLiteral("Prompt to stop when meeting ends")));
    meetings->addWidget(makeHelpLine(QStringLiteral("Shows a non-intrusive suggestion to stop and save your recording "
                                                    "when the call finishes."),
                                     this));

    QVBoxLayout* window = addGroup(section, QStringLiteral("Window & Background Behavior"), 8);
    window->addWidget(addSwitch(SettingsKeys::keepInMenuBarOnClose,
                                QStringLiteral("Keep running in the system tray when window is closed")));
    window->addWidget(makeHelpLine(
        QStringLiteral("When enabled (default), closing the window keeps Nimbrel running in the system tray to detect "
                       "calls and send notifications. If disabled, closing the window completely quits the app."),
        this));
    window->addWidget(makeDivider(this));
    window->addWidget(
        addSwitch(SettingsKeys::launchAtLogin, QStringLiteral("Launch at startup minimized in the system tray")));
    window->addWidget(makeHelpLine(
        QStringLiteral("When enabled (default), Nimbrel starts automatically upon login and stays resident in the "
                       "system tray without opening the main window, ready to detect meetings."),
        this));

    QVBoxLayout* power = addGroup(section, QStringLiteral("Power & Sleep Management"), 8);
    power->addWidget(addSwitch(SettingsKeys::stopRecordingOnScreenSleep,
                               QStringLiteral("Stop recording when display sleeps or lid closes")));
    power->addWidget(makeHelpLine(
        QStringLiteral("When disabled (default), Nimbrel stays awake and keeps recording continuously even if you "
                       "close your laptop lid or the screen turns off. When enabled, closing your lid immediately "
                       "stops and saves the recording."),
        this));

    QVBoxLayout* updates = addGroup(section, QStringLiteral("Application Updates"), 10);
    updates->addWidget(
        addSwitch(SettingsKeys::autoCheckUpdates, QStringLiteral("Check for updates automatically on launch")));
    updates->addSpacing(2);
    m_checkForUpdates = new QPushButton(QStringLiteral("Check for Updates Now..."), this);
    m_checkForUpdates->setObjectName(QStringLiteral("checkForUpdatesButton"));
    m_checkForUpdates->setFont(Style::font(12));
    m_checkForUpdates->setAutoDefault(false);
    connect(m_checkForUpdates, &QPushButton::clicked, this, [this] { m_services.checkForUpdates(); });
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_checkForUpdates);
    buttonRow->addStretch(1);
    updates->addLayout(buttonRow);

    auto* privacy = new RoundedPanel({ColorRole::green, 0.08}, 8, this);
    privacy->setObjectName(QStringLiteral("privacyCard"));
    privacy->setOutline({ColorRole::green, 0.2});
    auto* privacyRow = new QHBoxLayout(privacy);
    privacyRow->setContentsMargins(12, 12, 12, 12);
    privacyRow->setSpacing(12);
    auto* lock = new QLabel(privacy);
    lock->setPixmap(Icons::pixmap(QStringLiteral("lock.shield.fill"), 22, Style::color(ColorRole::green),
                                  devicePixelRatioF()));
    privacyRow->addWidget(lock, 0, Qt::AlignVCenter);
    auto* words = new QVBoxLayout;
    words->setSpacing(2);
    QLabel* title = makeLabel(QStringLiteral("Strict On-Device Privacy"), 12, false, privacy);
    title->setFont(Style::font(12, TextWeight::semibold));
    words->addWidget(title);
    QLabel* promise = makeLabel(QStringLiteral("All audio processing, speech-to-text, and executive summaries run "
                                               "strictly on this computer. No recording, transcript or summary ever "
                                               "leaves your computer."),
                                11, true, privacy);
    promise->setWordWrap(true);
    words->addWidget(promise);
    privacyRow->addLayout(words, 1);
    section->addWidget(privacy);

    connect(&m_settings, &BoundSettings::changed, this, &GeneralSection::showStored);
}

QCheckBox* GeneralSection::addSwitch(const QString& key, const QString& label)
{
    QCheckBox* toggle = makeSwitch(label, this);
    toggle->setObjectName(key);
    m_switches.insert(key, toggle);
    showStored(key);
    connect(toggle, &QCheckBox::toggled, this, [this, key](bool on) {
        m_settings.setValue(key, on);
        if (key == SettingsKeys::autoDetectMeetings)
            m_services.setMeetingDetectionEnabled(on);
        else if (key == SettingsKeys::launchAtLogin)
            m_services.setLaunchAtLogin(on);
    });
    return toggle;
}

void GeneralSection::showStored(const QString& key)
{
    QCheckBox* toggle = m_switches.value(key);
    if (!toggle)
        return;
    const QSignalBlocker blocker(toggle);
    toggle->setChecked(m_settings.boolValue(key));
}

QCheckBox* GeneralSection::switchFor(const QString& key) const
{
    return m_switches.value(key);
}
