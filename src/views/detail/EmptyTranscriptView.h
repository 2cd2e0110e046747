#pragma once

#include "views/detail/PlaceholderView.h"

// The Transcript tab with nothing selected.
class EmptyTranscriptView : public PlaceholderView {
    Q_OBJECT
public:
    explicit EmptyTranscriptView(QWidget* parent = nullptr);
};
