#pragma once

#include <QWidget>

class BoundSettings;
class QCheckBox;
class QComboBox;
class RecorderViewModel;

// The AI & Recap tab: automatic transcription and its language, automatic
// recaps and the recap format of new recordings.
class AiSection : public QWidget {
    Q_OBJECT
public:
    AiSection(RecorderViewModel& recorder, BoundSettings& settings, QWidget* parent = nullptr);

    QCheckBox* autoTranscribeSwitch() const { return m_autoTranscribe; }
    QCheckBox* autoRecapSwitch() const { return m_autoRecap; }
    QComboBox* languagePicker() const { return m_language; }
    QComboBox* recapFormatPicker() const { return m_recapFormat; }

private:
    void showStored(const QString& key);

    RecorderViewModel& m_recorder;
    BoundSettings& m_settings;
    QCheckBox* m_autoTranscribe;
    QCheckBox* m_autoRecap;
    QComboBox* m_language;
    QComboBox* m_recapFormat;
};
