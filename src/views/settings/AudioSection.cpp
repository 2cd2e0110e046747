#include "views/settings/AudioSection.h"

#include "common/SettingsKeys.h"
#include "viewmodels/RecorderViewModel.h"
#include "viewmodels/collaborators/DeviceService.h"
#include "views/settings/BoundSettings.h"
#include "views/settings/SettingsForm.h"
#include "views/style/Style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

using namespace SettingsForm;
using SettingsRules::GainRange;

namespace {

constexpr int groupSpacing = 20;
constexpr int micPickerMaxWidth = 240;

} // namespace

AudioSection::AudioSection(RecorderViewModel& recorder, BoundSettings& settings, QWidget* parent)
    : QWidget(parent)
    , m_recorder(recorder)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("audioSection"));
    auto* section = new QVBoxLayout(this);
    section->setContentsMargins(0, 0, 0, 0);
    section->setSpacing(groupSpacing);

    QVBoxLayout* devices = addGroup(section, QStringLiteral("Audio Input Devices"), 12);
    m_micPicker = new QComboBox;
    m_micPicker->setObjectName(QStringLiteral("defaultMicrophonePicker"));
    devices->addWidget(makePickerRow(QStringLiteral("Default Microphone:"), m_micPicker, micPickerMaxWidth, this));
    devices->addWidget(makeDivider(this));
    m_echoGuard = makeSwitch(QStringLiteral("Enable Smart Echo Guard by default"), this);
    m_echoGuard->setObjectName(SettingsKeys::echoGuardEnabled);
    devices->addWidget(m_echoGuard);
    devices->addWidget(makeHelpLine(
        QStringLiteral("Prevents laptop speaker bleed into the microphone during conference calls."), this));

    QVBoxLayout* gains = addGroup(section, QStringLiteral("Default Input Gain"), 14);
    gains->addWidget(makeGainBlock(QStringLiteral("Microphone Gain"), QStringLiteral("Mic Gain"),
                                   SettingsRules::micGainRange, m_micGain, m_micGainText));
    gains->addWidget(makeGainBlock(QStringLiteral("System Audio Gain"), QStringLiteral("System Gain"),
                                   SettingsRules::systemGainRange, m_systemGain, m_systemGainText));

    // Filled before any reaction is connected, so showing changes nothing.
    showMicrophones();
    for (const QString& key : {SettingsKeys::echoGuardEnabled, SettingsKeys::micVolume, SettingsKeys::sysVolume})
        showStored(key);

    connect(m_micPicker, &QComboBox::activated, this,
            [this](int index) { m_recorder.setSelectedMicID(m_micPicker->itemData(index).toString()); });
    connect(m_echoGuard, &QCheckBox::toggled, this, [this](bool on) {
        m_settings.setValue(SettingsKeys::echoGuardEnabled, on);
        m_recorder.setIsEchoGuardEnabled(on);
    });
    connect(m_micGain, &QSlider::valueChanged, this, [this](int position) {
        const double gain = SettingsRules::gainForSliderPosition(position);
        m_settings.setValue(SettingsKeys::micVolume, gain);
        m_recorder.setMicVolume(static_cast<float>(gain));
    });
    connect(m_systemGain, &QSlider::valueChanged, this, [this](int position) {
        const double gain = SettingsRules::gainForSliderPosition(position);
        m_settings.setValue(SettingsKeys::sysVolume, gain);
        m_recorder.setSysVolume(static_cast<float>(gain));
    });

    connect(&m_settings, &BoundSettings::changed, this, &AudioSection::showStored);
    connect(&m_recorder, &RecorderViewModel::deviceManagerChanged, this, &AudioSection::showMicrophones);
    connect(&m_recorder, &RecorderViewModel::selectedMicIDChanged, this, &AudioSection::showMicSelection);
}

QWidget* AudioSection::makeGainBlock(const QString& title, const QString& sliderName, GainRange range,
                                     QSlider*& slider, QLabel*& text)
{
    auto* block = new QWidget(this);
    auto* column = new QVBoxLayout(block);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    auto* heading = new QHBoxLayout;
    QLabel* name = makeLabel(title, 12, false, block);
    name->setFont(Style::font(12, TextWeight::medium));
    heading->addWidget(name);
    heading->addStretch(1);
    text = makeLabel(QString(), 11, true, block);
    text->setFont(Style::monospacedFont(11));
    heading->addWidget(text);
    column->addLayout(heading);

    slider = new QSlider(Qt::Horizontal, block);
    slider->setObjectName(sliderName);
    slider->setAccessibleName(sliderName);
    {
        const QSignalBlocker blocker(slider);
        slider->setRange(SettingsRules::gainSliderPosition(range.minimum, range),
                         SettingsRules::gainSliderPosition(range.maximum, range));
        slider->setSingleStep(1);
        slider->setPageStep(1);
    }
    column->addWidget(slider);
    return block;
}

void AudioSection::showMicrophones()
{
    const QSignalBlocker blocker(m_micPicker);
    m_micPicker->clear();
    for (const AudioDevice& device : m_recorder.deviceManager().availableMics())
        m_micPicker->addItem(device.name, device.id);
    showMicSelection();
}

void AudioSection::showMicSelection()
{
    const QSignalBlocker blocker(m_micPicker);
    m_micPicker->setCurrentIndex(m_micPicker->findData(m_recorder.selectedMicID()));
}

void AudioSection::showStored(const QString& key)
{
    if (key == SettingsKeys::echoGuardEnabled) {
        const QSignalBlocker blocker(m_echoGuard);
        m_echoGuard->setChecked(m_settings.boolValue(key));
        return;
    }
    const bool mic = key == SettingsKeys::micVolume;
    if (!mic && key != SettingsKeys::sysVolume)
        return;
    // The text shows the stored value itself, even one outside the slider's range.
    const double gain = m_settings.doubleValue(key);
    QSlider* slider = mic ? m_micGain : m_systemGain;
    const QSignalBlocker blocker(slider);
    slider->setValue(SettingsRules::gainSliderPosition(gain, mic ? SettingsRules::micGainRange
                                                                 : SettingsRules::systemGainRange));
    (mic ? m_micGainText : m_systemGainText)->setText(SettingsRules::gainText(gain));
}
