#pragma once

#include "views/logic/SettingsRules.h"

#include <QWidget>

class BoundSettings;
class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class RecorderViewModel;

// The Audio tab: the microphone, the echo guard and the two default gains.
// A change also reaches the view model, and so the recorder, at once.
class AudioSection : public QWidget {
    Q_OBJECT
public:
    AudioSection(RecorderViewModel& recorder, BoundSettings& settings, QWidget* parent = nullptr);

    QComboBox* micPicker() const { return m_micPicker; }
    QCheckBox* echoGuardSwitch() const { return m_echoGuard; }
    QSlider* micGainSlider() const { return m_micGain; }
    QLabel* micGainText() const { return m_micGainText; }
    QSlider* systemGainSlider() const { return m_systemGain; }
    QLabel* systemGainText() const { return m_systemGainText; }

private:
    QWidget* makeGainBlock(const QString& title, const QString& sliderName, SettingsRules::GainRange range,
                           QSlider*& slider, QLabel*& text);
    void showMicrophones();
    void showMicSelection();
    void showStored(const QString& key);

    RecorderViewModel& m_recorder;
    BoundSettings& m_settings;
    QComboBox* m_micPicker;
    QCheckBox* m_echoGuard;
    QSlider* m_micGain = nullptr;
    QLabel* m_micGainText = nullptr;
    QSlider* m_systemGain = nullptr;
    QLabel* m_systemGainText = nullptr;
};
