#pragma once

#include "views/detail/SelectionPaneStack.h"

class PlaybackRecapView;
class RecapEngine;
class RecordingViewModel;

// The Recap tab: the selected recording's recap pane, or a placeholder when
// nothing is selected.
class RecapContentView : public SelectionPaneStack {
    Q_OBJECT
public:
    RecapContentView(RecordingViewModel& vm, RecapEngine& engine, QWidget* parent = nullptr);

    // Null while the placeholder shows.
    PlaybackRecapView* playbackView() const;

protected:
    QWidget* buildPane(const RecordingItem& item) override;

private:
    RecordingViewModel& m_vm;
    RecapEngine& m_engine;
};
