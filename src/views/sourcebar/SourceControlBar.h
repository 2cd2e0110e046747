#pragma once

#include "views/logic/SourceBarRules.h"

#include <QWidget>

class EchoGuardButton;
class GainControl;
class LevelMeterView;
class MicrophonePicker;
class QCheckBox;
class QComboBox;
class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class RecorderViewModel;
class RoundedPanel;
class SourceBadgeView;
class SystemAudioPermission;
class UpdateManager;
class UpdateStatusBadge;
class WhisperEngine;
class WhisperStatusBadge;

// The bar across the top of the main window: the microphone and the system
// audio, each with its switch, gain and level meter (and the microphone's
// device), Echo Guard while both are on, the updater's and the speech
// model's badges and the source badge. Every control reads and writes the view model; nothing is disabled
// while a recording runs.
//
// The bar lays out in three width classes by its own measured width, and
// never asks the window for more width than the window gives it.
class SourceControlBar : public QWidget {
    Q_OBJECT
public:
    // What the bar shows beside the view model; the app's own where left empty.
    struct Services {
        SystemAudioPermission* permission = nullptr;
        WhisperEngine* whisper = nullptr;
        UpdateManager* updater = nullptr;
    };

    explicit SourceControlBar(RecorderViewModel& recorder, QWidget* parent = nullptr);
    SourceControlBar(RecorderViewModel& recorder, Services services, QWidget* parent = nullptr);

    // The last measured width; 1200 until the bar has been laid out.
    double barWidth() const { return m_barWidth; }
    SourceBarRules::WidthClass widthClass() const;
    // Whether the update and speech-model badges take their compact form now.
    bool compactBadges() const;

    QCheckBox* micToggle() const { return m_micToggle; }
    QComboBox* micPicker() const;
    GainControl* micGain() const { return m_micGain; }
    LevelMeterView* micMeter() const { return m_micMeter; }
    QCheckBox* systemToggle() const { return m_systemToggle; }
    QLabel* internalMixNote() const { return m_internalMix; }
    GainControl* systemGain() const { return m_systemGain; }
    LevelMeterView* systemMeter() const { return m_systemMeter; }
    QPushButton* permissionButton() const { return m_permission; }
    EchoGuardButton* echoGuardButton() const { return m_echoGuard; }
    UpdateStatusBadge* updateBadge() const { return m_updateBadge; }
    WhisperStatusBadge* whisperBadge() const { return m_whisperBadge; }
    SourceBadgeView* sourceBadge() const { return m_sourceBadge; }

Q_SIGNALS:
    void widthClassChanged();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildMicrophoneGroup();
    void buildSystemGroup();
    void connectViewModel();
    void applyWidthClass();
    void fitToWidth();
    void showFittedParts(const SourceBarRules::Metrics& m);
    void showSources();
    void showMicrophones();
    void showMicSelection();
    void showToggle(QCheckBox* toggle, const SourceBarRules::SourceToggleLook& look, bool checked);

    RecorderViewModel& m_recorder;
    SystemAudioPermission& m_permissionAccess;
    double m_barWidth = SourceBarRules::initialBarWidth;
    bool m_measured = false;
    // Parts of the width class left out because the bar is short of room.
    bool m_fitHidesInternalMix = false;
    bool m_fitHidesPercentages = false;

    QHBoxLayout* m_row;
    RoundedPanel* m_micGroup;
    QCheckBox* m_micToggle;
    MicrophonePicker* m_micPicker;
    GainControl* m_micGain;
    LevelMeterView* m_micMeter;
    QFrame* m_divider;
    RoundedPanel* m_systemGroup;
    QCheckBox* m_systemToggle;
    QLabel* m_internalMix;
    GainControl* m_systemGain;
    LevelMeterView* m_systemMeter;
    QPushButton* m_permission;
    EchoGuardButton* m_echoGuard;
    UpdateStatusBadge* m_updateBadge;
    WhisperStatusBadge* m_whisperBadge;
    SourceBadgeView* m_sourceBadge;
};
