#pragma once

#include "views/detail/PlaceholderView.h"

// The Recap tab with nothing selected.
class EmptyRecapView : public PlaceholderView {
    Q_OBJECT
public:
    explicit EmptyRecapView(QWidget* parent = nullptr);
};
