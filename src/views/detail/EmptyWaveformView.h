#pragma once

#include "views/detail/PlaceholderView.h"

// The Audio tab with no recording running and none selected.
class EmptyWaveformView : public PlaceholderView {
    Q_OBJECT
public:
    explicit EmptyWaveformView(QWidget* parent = nullptr);
};
