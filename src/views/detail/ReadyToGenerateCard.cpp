#include "views/detail/ReadyToGenerateCard.h"

#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "views/detail/PaneButtons.h"
#include "views/detail/RecordingTypeMenu.h"

#include <QPushButton>

ReadyToGenerateCard::ReadyToGenerateCard(LibraryViewModel& library, ProcessingRuns& processing,
                                         const RecordingItem& item, QWidget* parent)
    : NoticeCard(parent)
    , m_library(library)
    , m_processing(processing)
    , m_item(item)
    // Picking a format only stores it; the recap is written on Generate.
    , m_picker(new RecordingTypeMenu(QStringLiteral("Format: "), 12, 12, 6,
                                     [this](RecordingType type) { m_library.updateRecordingType(m_item, type); }))
    , m_generate(
          PaneButtons::cardAction(QStringLiteral("Generate Executive Recap"), QStringLiteral("text.badge.checkmark")))
{
    setObjectName(QStringLiteral("readyToGenerateCard"));
    setSymbol(QStringLiteral("text.badge.checkmark"), 44, Tint{ColorRole::accent, 1.0});
    setHeadline(QStringLiteral("Executive Recap Ready"), 16);
    setExplanation(QStringLiteral("Extract key insights, agreed decisions, and next steps in seconds using 100% "
                                  "private on-device AI."),
                   13, 400);
    m_picker->setObjectName(QStringLiteral("formatPicker"));
    m_generate->setObjectName(QStringLiteral("generateRecapButton"));
    m_picker->setCurrent(m_item.effectiveRecordingType());
    addAction(m_picker);
    addAction(m_generate);
    connect(m_generate, &QPushButton::clicked, this,
            [this] { m_processing.generateRecap(m_item, m_item.effectiveRecordingType()); });
    connect(&m_processing, &ProcessingRuns::recappingRecordingIDsChanged, this, &ReadyToGenerateCard::refresh);
    refresh();
}

void ReadyToGenerateCard::refresh()
{
    m_generate->setEnabled(!m_processing.recappingRecordingIDs().contains(m_item.id));
}
