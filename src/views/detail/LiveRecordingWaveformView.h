#pragma once

#include <QWidget>

class ElidedLabel;
class LiveBarStrip;
class QLabel;
class RecapFormatSection;
class RecorderViewModel;
class Settings;
class StateDot;
class TimerLabel;

// The Audio pane while a recording runs: the recorder's state, the title,
// the running timer, the newest live bars and, when automatic recaps are on,
// the recap-format chips.
class LiveRecordingWaveformView : public QWidget {
    Q_OBJECT
public:
    LiveRecordingWaveformView(RecorderViewModel& recorder, Settings& settings, QWidget* parent = nullptr);

    QString timerText() const;
    LiveBarStrip* barStrip() const { return m_strip; }
    RecapFormatSection* formatSection() const { return m_format; }

private:
    void refreshState();
    void refreshTitle();
    void refreshTimer();
    void refreshAutoRecap();

    RecorderViewModel& m_recorder;
    Settings& m_settings;
    StateDot* m_dot;
    QLabel* m_word;
    ElidedLabel* m_title;
    TimerLabel* m_timer;
    LiveBarStrip* m_strip;
    RecapFormatSection* m_format;
};
