#pragma once

#include "models/RecordingItem.h"
#include "views/detail/NoticeCard.h"

class LibraryViewModel;
class ProcessingRuns;
class QPushButton;
class RecordingTypeMenu;

// A transcript is there and no recap yet: pick the recap's format and write it.
class ReadyToGenerateCard : public NoticeCard {
    Q_OBJECT
public:
    ReadyToGenerateCard(LibraryViewModel& library, ProcessingRuns& processing, const RecordingItem& item,
                        QWidget* parent = nullptr);

    RecordingTypeMenu* formatPicker() const { return m_picker; }
    QPushButton* generateButton() const { return m_generate; }

private:
    void refresh();

    LibraryViewModel& m_library;
    ProcessingRuns& m_processing;
    const RecordingItem m_item;
    RecordingTypeMenu* m_picker;
    QPushButton* m_generate;
};
