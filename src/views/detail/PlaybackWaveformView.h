#pragma once

#include "models/RecordingItem.h"

#include <QWidget>

class ElidedLabel;
class PlaybackWaveformCanvas;
class PlayerService;
class QLabel;
class RecordingViewModel;

// The Audio pane of a stored recording: title and date, the bar waveform
// with its playhead, and the elapsed and remaining time. A click or drag on
// the waveform seeks the player (not in trim mode). Built afresh for every
// recording, so its drag state never carries over to another one.
class PlaybackWaveformView : public QWidget {
    Q_OBJECT
public:
    PlaybackWaveformView(RecordingViewModel& vm, const RecordingItem& item, PlayerService& player,
                         QWidget* parent = nullptr);

    const QUuid& recordingId() const { return m_item.id; }
    PlaybackWaveformCanvas* canvas() const { return m_canvas; }
    QString elapsedText() const;
    QString remainingText() const;

private:
    RecordingItem activeItem() const;
    void refreshRecording();
    void refreshTimes();
    void refreshPlayedColor();
    void refreshTrimMode();

    RecordingViewModel& m_vm;
    const RecordingItem m_item;
    PlayerService& m_player;
    double m_duration = 0;

    ElidedLabel* m_title;
    QLabel* m_subtitle;
    PlaybackWaveformCanvas* m_canvas;
    QWidget* m_timeRow;
    QLabel* m_elapsed;
    QLabel* m_remaining;
};
