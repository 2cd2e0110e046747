#pragma once

#include "models/RecordingItem.h"
#include "views/logic/RecapRules.h"

#include <QWidget>

#include <optional>

class DetailPanel;
class LibraryViewModel;
class ProcessingRuns;
class QPushButton;
class RecapEngine;
class RecordingTypeMenu;

// The recap of one stored recording: title, word count and type, the type
// menu, Copy and Regenerate (or Generate Recap), and below them the recap's
// sections or the card that says what is missing. Built afresh for every
// recording.
class PlaybackRecapView : public QWidget {
    Q_OBJECT
public:
    PlaybackRecapView(LibraryViewModel& library, ProcessingRuns& processing, const RecordingItem& item,
                      RecapEngine& engine, QWidget* parent = nullptr);

    const QUuid& recordingId() const { return m_item.id; }
    RecapRules::Body body() const { return m_body; }
    QWidget* bodyWidget() const { return m_bodyWidget; }
    DetailPanel* panel() const { return m_panel; }
    RecordingTypeMenu* typeMenu() const { return m_typeMenu; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* regenerateButton() const { return m_regenerate; }
    QPushButton* generateButton() const { return m_generate; }

private:
    RecordingItem activeItem() const;
    RecapRules::Situation situation(const RecordingItem& item) const;
    void refresh();
    void refreshBody(const RecordingItem& item, const RecapRules::Situation& situation);
    void typeChosen(RecordingType type);

    LibraryViewModel& m_library;
    ProcessingRuns& m_processing;
    const RecordingItem m_item;
    RecapEngine& m_engine;

    DetailPanel* m_panel;
    RecordingTypeMenu* m_typeMenu;
    QPushButton* m_copy;
    QPushButton* m_regenerate;
    QPushButton* m_generate;
    QWidget* m_bodyWidget = nullptr;
    RecapRules::Body m_body = RecapRules::Body::transcriptRequired;
    std::optional<RecordingItem> m_bodyItem; // what the shown body was made from
};
