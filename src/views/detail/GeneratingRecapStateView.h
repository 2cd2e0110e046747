#pragma once

#include "views/detail/NoticeCard.h"

// The recap is being written. It takes no input.
class GeneratingRecapStateView : public NoticeCard {
    Q_OBJECT
public:
    explicit GeneratingRecapStateView(QWidget* parent = nullptr);
};
