#pragma once

#include <QWidget>

class PlaybackRecapView;
class QStackedLayout;
class RecapEngine;
class RecordingViewModel;

// The Recap tab: the selected recording's recap pane, or a placeholder when
// nothing is selected. Another selection builds a fresh recap pane.
class RecapContentView : public QWidget {
    Q_OBJECT
public:
    RecapContentView(RecordingViewModel& vm, RecapEngine& engine, QWidget* parent = nullptr);

    // Null while the placeholder shows.
    PlaybackRecapView* playbackView() const { return m_playback; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void refresh();

    RecordingViewModel& m_vm;
    RecapEngine& m_engine;
    QStackedLayout* m_stack;
    QWidget* m_empty;
    PlaybackRecapView* m_playback = nullptr;
    bool m_stale = true;
};
