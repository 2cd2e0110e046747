#include "views/detail/ModelDownloadCard.h"

#include "common/Text.h"
#include "views/logic/TranscriptRules.h"

#include "engines/recap/RecapEngine.h"
#include "views/detail/PaneButtons.h"
#include "views/detail/PaneLabels.h"
#include "views/style/Style.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

ModelDownloadCard::ModelDownloadCard(RecapEngine& engine, QWidget* parent)
    : NoticeCard(parent)
    , m_engine(engine)
{
    setObjectName(QStringLiteral("modelDownloadCard"));
    setSymbol(QStringLiteral("cpu"), 44, Tint{ColorRole::accent, 1.0});
    setHeadline(QStringLiteral("AI Summary Model Required"), 17);
    setExplanation(QStringLiteral("Download the summary model (~768 MB) to enable 100% private, on-device AI "
                                  "executive summaries powered by this computer."),
                   13, 440);
    connect(&m_engine, &RecapEngine::modelStateChanged, this, &ModelDownloadCard::refresh);
    refresh();
}

void ModelDownloadCard::refresh()
{
    delete m_block;
    m_block = nullptr;
    m_button = nullptr;
    const RecapModelState state = m_engine.modelState();

    auto* block = new QWidget;
    block->setObjectName(QStringLiteral("modelStateBlock"));
    auto* column = new QVBoxLayout(block);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    switch (state.kind()) {
    case RecapModelState::Kind::downloading: {
        column->setContentsMargins(0, 8, 0, 0);
        auto* bar = new QProgressBar;
        bar->setObjectName(QStringLiteral("recapDownloadProgress"));
        bar->setRange(0, 1000);
        bar->setValue(int(std::clamp(state.progress(), 0.0, 1.0) * 1000));
        bar->setTextVisible(false);
        bar->setFixedWidth(300);
        column->addWidget(bar, 0, Qt::AlignHCenter);
        QLabel* message = PaneLabels::plain(TranscriptRules::downloadingText(state.message(), state.progress()),
                                            Style::monospacedFont(11, TextWeight::regular),
                                            Style::color(ColorRole::secondary));
        message->setObjectName(QStringLiteral("recapDownloadMessage"));
        column->addWidget(message, 0, Qt::AlignHCenter);
        break;
    }
    case RecapModelState::Kind::error: {
        // One line: a wrapped label in this centred column is given one line's height.
        QLabel* message = PaneLabels::plain(QStringLiteral("Error: ") + Text::firstLine(state.message(), 64),
                                            Style::font(12), Style::color(ColorRole::red));
        message->setToolTip(state.message());
        message->setObjectName(QStringLiteral("recapDownloadError"));
        message->setAlignment(Qt::AlignCenter);
        column->addWidget(message, 0, Qt::AlignHCenter);
        m_button = PaneButtons::bordered(QStringLiteral("Retry Download"), QString());
        m_button->setFont(Style::font(13));
        column->addWidget(m_button, 0, Qt::AlignHCenter);
        break;
    }
    case RecapModelState::Kind::notDownloaded:
    case RecapModelState::Kind::ready:
        // Ready while the file is missing (removed after start-up) offers the
        // download again.
        m_button = PaneButtons::cardAction(QStringLiteral("Download Summary Model (~768 MB)"),
                                           QStringLiteral("arrow.down.circle.fill"));
        column->addWidget(m_button, 0, Qt::AlignHCenter);
        break;
    }
    if (m_button) {
        m_button->setObjectName(QStringLiteral("downloadRecapModelButton"));
        connect(m_button, &QPushButton::clicked, this, [this] { m_engine.downloadModel(); });
    }
    m_block = block;
    addAction(block);
}
