#include "views/detail/PlaybackRecapView.h"

#include "engines/recap/RecapEngine.h"
#include "viewmodels/LibraryViewModel.h"
#include "viewmodels/ProcessingRuns.h"
#include "views/detail/DetailPanel.h"
#include "views/detail/GeneratingRecapStateView.h"
#include "views/detail/ModelDownloadCard.h"
#include "views/detail/PaneButtons.h"
#include "views/detail/ReadyToGenerateCard.h"
#include "views/detail/RecapMarkdownScrollView.h"
#include "views/detail/RecordingTypeMenu.h"
#include "views/detail/TranscribingForRecapCard.h"
#include "views/detail/TranscriptRequiredCard.h"
#include "views/logic/CurrentRecording.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using RecapRules::Body;

PlaybackRecapView::PlaybackRecapView(LibraryViewModel& library, ProcessingRuns& processing, const RecordingItem& item,
                                     RecapEngine& engine, QWidget* parent)
    : QWidget(parent)
    , m_library(library)
    , m_processing(processing)
    , m_item(item)
    , m_engine(engine)
    , m_panel(new DetailPanel)
    , m_typeMenu(new RecordingTypeMenu(QString(), 12, 8, 4, [this](RecordingType type) { typeChosen(type); }))
    , m_copy(PaneButtons::bordered(QStringLiteral("Copy"), QStringLiteral("doc.on.doc")))
    , m_regenerate(PaneButtons::prominent(QStringLiteral("Regenerate"), QStringLiteral("arrow.clockwise")))
    , m_generate(PaneButtons::prominent(QStringLiteral("Generate Recap"), QStringLiteral("text.badge.checkmark")))
{
    setObjectName(QStringLiteral("playbackRecapView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panel);

    m_typeMenu->setObjectName(QStringLiteral("recapTypeMenu"));
    m_copy->setObjectName(QStringLiteral("copyRecapButton"));
    m_regenerate->setObjectName(QStringLiteral("regenerateRecapButton"));
    m_generate->setObjectName(QStringLiteral("headerGenerateRecapButton"));
    m_panel->addHeaderWidget(m_typeMenu);
    m_panel->addHeaderWidget(m_copy);
    m_panel->addHeaderWidget(m_regenerate);
    m_panel->addHeaderWidget(m_generate);

    // The recap's Markdown, as stored.
    connect(m_copy, &QPushButton::clicked, this,
            [this] { m_processing.copyRecap(activeItem().summary.value_or(QString())); });
    auto generate = [this] {
        const RecordingItem active = activeItem();
        m_processing.generateRecap(active, active.effectiveRecordingType());
    };
    connect(m_regenerate, &QPushButton::clicked, this, generate);
    connect(m_generate, &QPushButton::clicked, this, generate);

    connect(&m_library, &LibraryViewModel::recordingsChanged, this, &PlaybackRecapView::refresh);
    connect(&m_library, &LibraryViewModel::selectedRecordingChanged, this, &PlaybackRecapView::refresh);
    connect(&m_processing, &ProcessingRuns::transcribingRecordingIDsChanged, this, &PlaybackRecapView::refresh);
    connect(&m_processing, &ProcessingRuns::recappingRecordingIDsChanged, this, &PlaybackRecapView::refresh);
    // The model file appears when a download ends; the state says when to look.
    connect(&m_engine, &RecapEngine::modelStateChanged, this, &PlaybackRecapView::refresh);
    refresh();
}

RecordingItem PlaybackRecapView::activeItem() const
{
    return CurrentRecording::resolve(m_library.recordings(), m_library.selectedRecording(), m_item);
}

RecapRules::Situation PlaybackRecapView::situation(const RecordingItem& item) const
{
    RecapRules::Situation s;
    // Only the file counts, not the engine's state.
    s.modelFilePresent = RecapEngine::isModelReady();
    s.isBeingTranscribed = m_processing.transcribingRecordingIDs().contains(item.id);
    s.isBeingRecapped = m_processing.recappingRecordingIDs().contains(item.id);
    return s;
}

void PlaybackRecapView::typeChosen(RecordingType type)
{
    const RecordingItem item = activeItem();
    if (!RecapRules::changesType(item, type))
        return;
    m_library.updateRecordingType(item, type);
    // An existing recap is rewritten for the new type at once.
    const RecordingItem refreshed = activeItem();
    if (RecapRules::regeneratesAfterTypeChange(refreshed))
        m_processing.generateRecap(refreshed, type);
}

void PlaybackRecapView::refresh()
{
    const RecordingItem item = activeItem();
    const RecapRules::Situation now = situation(item);
    m_panel->setTitle(item.title);
    m_panel->setSubtitle(RecapRules::subtitle(item));
    m_typeMenu->setCurrent(item.effectiveRecordingType());

    const RecapRules::Header header = RecapRules::header(item, now);
    m_copy->setVisible(header.buttons == RecapRules::Buttons::copyAndRegenerate);
    m_regenerate->setVisible(header.buttons == RecapRules::Buttons::copyAndRegenerate);
    m_generate->setVisible(header.buttons == RecapRules::Buttons::generate);
    m_regenerate->setEnabled(header.generateEnabled);
    m_generate->setEnabled(header.generateEnabled);

    refreshBody(item, now);
}

void PlaybackRecapView::refreshBody(const RecordingItem& item, const RecapRules::Situation& now)
{
    const Body body = RecapRules::body(item, now);
    // Cards keep a copy of the recording; a changed recording gets new ones.
    // The download card follows the engine by itself.
    const bool same = m_bodyWidget && body == m_body && (body == Body::modelDownload || m_bodyItem == item);
    if (same)
        return;
    if (m_bodyWidget && body == Body::recap && m_body == Body::recap) {
        static_cast<RecapMarkdownScrollView*>(m_bodyWidget)->setMarkdown(*item.summary);
        m_bodyItem = item;
        return;
    }
    QWidget* next = nullptr;
    switch (body) {
    case Body::modelDownload:
        next = new ModelDownloadCard(m_engine);
        break;
    case Body::transcribing:
        next = new TranscribingForRecapCard;
        break;
    case Body::generating:
        next = new GeneratingRecapStateView;
        break;
    case Body::recap: {
        auto* recap = new RecapMarkdownScrollView;
        recap->setMarkdown(*item.summary);
        next = recap;
        break;
    }
    case Body::readyToGenerate:
        next = new ReadyToGenerateCard(m_library, m_processing, item);
        break;
    case Body::transcriptRequired:
        next = new TranscriptRequiredCard(m_processing, item);
        break;
    }
    QStackedWidget* stack = m_panel->content();
    if (m_bodyWidget) {
        stack->removeWidget(m_bodyWidget);
        m_bodyWidget->deleteLater();
    }
    m_bodyWidget = next;
    m_body = body;
    m_bodyItem = item;
    stack->addWidget(next);
    stack->setCurrentWidget(next);
}
