#pragma once

#include "views/detail/NoticeCard.h"

class QPushButton;
class RecapEngine;

// Stands in for the recap while the recap model file is missing: explains
// why and downloads it, showing the download's progress or its error.
class ModelDownloadCard : public NoticeCard {
    Q_OBJECT
public:
    explicit ModelDownloadCard(RecapEngine& engine, QWidget* parent = nullptr);

    // The Download or Retry button of the current state.
    QPushButton* downloadButton() const { return m_button; }

private:
    void refresh();

    RecapEngine& m_engine;
    QWidget* m_block = nullptr;
    QPushButton* m_button = nullptr;
};
