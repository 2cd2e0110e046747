#include "views/detail/TrimBar.h"

#include "viewmodels/TrimSession.h"
#include "views/common/ActivitySpinner.h"
#include "views/common/PlainLabels.h"
#include "views/detail/PaneButtons.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

TrimBar::TrimBar(TrimSession& trim, QWidget* parent)
    : QWidget(parent)
    , m_trim(trim)
    , m_cancel(new QPushButton(QStringLiteral("Cancel")))
    , m_preview(PaneButtons::bordered(QString(), QStringLiteral("play.fill")))
    , m_save(PaneButtons::prominent(QStringLiteral("Trim && Save..."), QStringLiteral("scissors"), ColorRole::orange))
    , m_processing(new QWidget)
    , m_spinner(new ActivitySpinner(12))
    , m_progress(PlainLabels::make(QString(), Style::monospacedFont(11, TextWeight::medium),
                                   Style::color(ColorRole::orange), nullptr))
{
    setObjectName(QStringLiteral("trimBar"));
    m_cancel->setObjectName(QStringLiteral("trimCancelButton"));
    m_preview->setObjectName(QStringLiteral("trimPreviewButton"));
    m_save->setObjectName(QStringLiteral("trimSaveButton"));
    m_cancel->setFont(Style::font(12));
    m_cancel->setCursor(Qt::PointingHandCursor);
    m_save->setFont(Style::font(12, TextWeight::semibold));
    m_preview->setIconSize(QSize(11, 11));
    m_save->setIconSize(QSize(11, 11));
    // Filled orange whatever the widget style does with a button's palette.
    m_save->setStyleSheet(QStringLiteral("QPushButton { color: white; background: %1; border: none; border-radius: 6px;"
                                         " padding: 4px 10px; } QPushButton:pressed { background: %2; }")
                              .arg(Style::css(Style::color(ColorRole::orange)),
                                   Style::css(Style::color(ColorRole::orange).darker(115))));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(44, 0, 44, 0);
    row->setSpacing(12);
    m_processing->setObjectName(QStringLiteral("trimProcessing"));
    m_progress->setObjectName(QStringLiteral("trimProgress"));
    m_spinner->setColor(Style::color(ColorRole::orange));
    auto* processing = new QHBoxLayout(m_processing);
    processing->setContentsMargins(0, 0, 0, 0);
    processing->setSpacing(6);
    processing->addWidget(m_spinner);
    processing->addWidget(m_progress);

    row->addWidget(m_cancel);
    row->addStretch(1);
    row->addWidget(m_processing);
    row->addWidget(m_preview);
    row->addWidget(m_save);

    connect(m_cancel, &QPushButton::clicked, this, [this] { m_trim.cancelCut(); });
    connect(m_preview, &QPushButton::clicked, this, [this] { m_trim.toggleTrimPreview(); });
    connect(m_save, &QPushButton::clicked, this, &TrimBar::saveRequested);
    connect(&m_trim, &TrimSession::isTrimPreviewingChanged, this, &TrimBar::refreshPreview);
    connect(&m_trim, &TrimSession::isTrimmingProcessingChanged, this, &TrimBar::refreshProcessing);
    connect(&m_trim, &TrimSession::trimmingProgressTextChanged, this, &TrimBar::refreshProcessing);
    refreshPreview();
    refreshProcessing();
}

QString TrimBar::progressText() const
{
    return m_processing->isVisibleTo(this) ? m_progress->text() : QString();
}

void TrimBar::refreshProcessing()
{
    const bool processing = m_trim.isTrimmingProcessing();
    m_processing->setVisible(processing);
    m_progress->setText(m_trim.trimmingProgressText().value_or(QString()));
    m_preview->setVisible(!processing);
    m_save->setVisible(!processing);
}

void TrimBar::refreshPreview()
{
    const bool previewing = m_trim.isTrimPreviewing();
    m_preview->setText(previewing ? QStringLiteral("Stop Preview") : QStringLiteral("Play Selection"));
    m_preview->setIcon(Icons::icon(previewing ? QStringLiteral("pause.fill") : QStringLiteral("play.fill"),
                                   m_preview->palette().color(QPalette::ButtonText)));
}
