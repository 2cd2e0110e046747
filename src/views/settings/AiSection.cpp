#include "views/settings/AiSection.h"

#include "common/SettingsKeys.h"
#include "models/RecordingType.h"
#include "viewmodels/RecorderViewModel.h"
#include "views/logic/SettingsRules.h"
#include "views/settings/BoundSettings.h"
#include "views/settings/SettingsForm.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

using namespace SettingsForm;

namespace {

constexpr int groupSpacing = 20;
constexpr int pickerMaxWidth = 220;

} // namespace

AiSection::AiSection(RecorderViewModel& recorder, BoundSettings& settings, QWidget* parent)
    : QWidget(parent)
    , m_recorder(recorder)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("aiSection"));
    auto* section = new QVBoxLayout(this);
    section->setContentsMargins(0, 0, 0, 0);
    section->setSpacing(groupSpacing);

    QVBoxLayout* speech = addGroup(section, QStringLiteral("Speech Recognition Engine"), 12);
    m_autoTranscribe = makeSwitch(QStringLiteral("Auto-transcribe new recordings"), this);
    m_autoTranscribe->setObjectName(SettingsKeys::autoTranscribe);
    speech->addWidget(m_autoTranscribe);
    speech->addWidget(makeHelpLine(
        QStringLiteral("Automatically generates word-level timestamped transcripts after recording stops."), this));
    speech->addWidget(makeDivider(this));
    m_language = new QComboBox;
    m_language->setObjectName(QStringLiteral("languagePicker"));
    for (const SettingsRules::LanguageOption& option : SettingsRules::languageOptions())
        m_language->addItem(option.label, option.tag);
    speech->addWidget(makePickerRow(QStringLiteral("Transcription Language:"), m_language, pickerMaxWidth, this));

    QVBoxLayout* recap = addGroup(section, QStringLiteral("Executive Recap"), 12);
    m_autoRecap = makeSwitch(QStringLiteral("Auto-generate Executive Recap after transcription"), this);
    m_autoRecap->setObjectName(SettingsKeys::autoGenerateRecap);
    recap->addWidget(m_autoRecap);
    recap->addWidget(makeHelpLine(QStringLiteral("Extracts executive summary, decisions, and action items using 100% "
                                                 "private on-device AI."),
                                  this));
    recap->addWidget(makeDivider(this));
    m_recapFormat = new QComboBox;
    m_recapFormat->setObjectName(QStringLiteral("recapFormatPicker"));
    for (RecordingType type : RecordingTypes::allCases())
        m_recapFormat->addItem(
            Icons::icon(RecordingTypes::systemIcon(type), Style::color(ColorRole::primary)),
            RecordingTypes::displayName(type), RecordingTypes::rawValue(type));
    recap->addWidget(makePickerRow(QStringLiteral("Default Recap Format:"), m_recapFormat, pickerMaxWidth, this));

    for (const QString& key : {SettingsKeys::autoTranscribe, SettingsKeys::autoGenerateRecap,
                               SettingsKeys::whisperLanguage, SettingsKeys::lastRecordingType})
        showStored(key);

    connect(m_autoTranscribe, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setValue(SettingsKeys::autoTranscribe, on); });
    connect(m_autoRecap, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setValue(SettingsKeys::autoGenerateRecap, on); });
    connect(m_language, &QComboBox::activated, this, [this](int index) {
        m_settings.setValue(SettingsKeys::whisperLanguage, m_language->itemData(index).toString());
    });
    connect(m_recapFormat, &QComboBox::activated, this, [this](int index) {
        const QString raw = m_recapFormat->itemData(index).toString();
        m_settings.setValue(SettingsKeys::lastRecordingType, raw);
        if (const std::optional<RecordingType> type = RecordingTypes::fromRawValue(raw))
            m_recorder.setActiveRecordingType(*type);
    });
    connect(&m_settings, &BoundSettings::changed, this, &AiSection::showStored);
}

void AiSection::showStored(const QString& key)
{
    if (key == SettingsKeys::autoTranscribe || key == SettingsKeys::autoGenerateRecap) {
        QCheckBox* toggle = key == SettingsKeys::autoTranscribe ? m_autoTranscribe : m_autoRecap;
        const QSignalBlocker blocker(toggle);
        toggle->setChecked(m_settings.boolValue(key));
    } else if (key == SettingsKeys::whisperLanguage || key == SettingsKeys::lastRecordingType) {
        // A stored value that names no entry shows no selection.
        QComboBox* picker = key == SettingsKeys::whisperLanguage ? m_language : m_recapFormat;
        const QSignalBlocker blocker(picker);
        picker->setCurrentIndex(picker->findData(m_settings.stringValue(key)));
    }
}
