#pragma once

#include "models/RecordingItem.h"

#include <QWidget>

class ElidedLabel;
class LibraryViewModel;
class PlaybackWaveformCanvas;
class PlayerService;
class QLabel;
class TrimBar;
class TrimConfirmDialog;
class TrimInfoLine;
class TrimOverlay;
class TrimSession;

// The Audio pane of a stored recording: title and date, the bar waveform
// with its playhead, and the elapsed and remaining time. A click or drag on
// the waveform seeks the player. In trim mode the range line stands above the
// waveform, the selection with its handles over it and the trim bar in place
// of the times. Built afresh for every recording, so its drag state and its
// trim dialog never carry over to another one.
class PlaybackWaveformView : public QWidget {
    Q_OBJECT
public:
    PlaybackWaveformView(LibraryViewModel& library, TrimSession& trim, const RecordingItem& item, PlayerService& player,
                         QWidget* parent = nullptr);

    const QUuid& recordingId() const { return m_item.id; }
    PlaybackWaveformCanvas* canvas() const { return m_canvas; }
    QString elapsedText() const;
    QString remainingText() const;

    TrimInfoLine* trimInfoLine() const { return m_trimInfo; }
    TrimOverlay* trimOverlay() const { return m_trimOverlay; }
    TrimBar* trimBar() const { return m_trimBar; }
    // "Trim & Save...": asks how the range is kept. Null while not shown.
    void showTrimConfirmation();
    TrimConfirmDialog* trimConfirmation() const { return m_trimDialog; }

private:
    RecordingItem activeItem() const;
    void refreshRecording();
    void refreshTimes();
    void refreshPlayedColor();
    void refreshTrimMode();

    LibraryViewModel& m_library;
    TrimSession& m_trim;
    const RecordingItem m_item;
    PlayerService& m_player;
    double m_duration = 0;

    ElidedLabel* m_title;
    QLabel* m_subtitle;
    PlaybackWaveformCanvas* m_canvas;
    QWidget* m_timeRow;
    QLabel* m_elapsed;
    QLabel* m_remaining;
    TrimInfoLine* m_trimInfo;
    TrimOverlay* m_trimOverlay = nullptr;
    TrimBar* m_trimBar;
    TrimConfirmDialog* m_trimDialog = nullptr;
};
