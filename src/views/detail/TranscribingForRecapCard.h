#pragma once

#include "views/detail/NoticeCard.h"

// The recording is being transcribed; its recap comes after. It takes no input.
class TranscribingForRecapCard : public NoticeCard {
    Q_OBJECT
public:
    explicit TranscribingForRecapCard(QWidget* parent = nullptr);
};
