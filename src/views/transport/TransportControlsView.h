#pragma once

#include <QWidget>

class LibraryViewModel;
class PlainButton;
class PlayerService;
class QPushButton;
class QToolButton;
class RecordButton;
class RecorderViewModel;

// The bar along the bottom of the window: record, pause, resume and stop while
// a recording runs; otherwise play, skip, speed and export of the selected
// recording, and the record button. It keeps no state of its own.
class TransportControlsView : public QWidget {
    Q_OBJECT
public:
    TransportControlsView(LibraryViewModel& library, RecorderViewModel& recorder, PlayerService& player,
                          QWidget* parent = nullptr);

    QToolButton* speedMenu() const { return m_speed; }
    PlainButton* skipBackButton() const { return m_skipBack; }
    PlainButton* playPauseButton() const { return m_playPause; }
    PlainButton* skipForwardButton() const { return m_skipForward; }
    RecordButton* recordButton() const { return m_record; }
    PlainButton* pauseResumeButton() const { return m_pauseResume; }
    RecordButton* stopButton() const { return m_stop; }
    QPushButton* doneButton() const { return m_done; }
    QPushButton* exportButton() const { return m_export; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();
    void recordPressed();

    LibraryViewModel& m_library;
    RecorderViewModel& m_recorder;
    PlayerService& m_player;

    QWidget* m_speedSpacer;
    QToolButton* m_speed;
    PlainButton* m_skipBack;
    PlainButton* m_playPause;
    PlainButton* m_skipForward;
    RecordButton* m_record;
    PlainButton* m_pauseResume;
    RecordButton* m_stop;
    QPushButton* m_done;
    QPushButton* m_export;
};
