#include "views/sidebar/MergePanel.h"

#include "views/common/ActivitySpinner.h"
#include "views/common/ElidedLabel.h"
#include "views/common/PlainLabels.h"
#include "views/logic/MergePanelRules.h"
#include "views/style/Icons.h"
#include "views/style/Style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

MergePanel::MergePanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("mergePanel"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(6);

    auto* title = new QHBoxLayout;
    title->setSpacing(6);
    auto* icon = new QLabel(this);
    icon->setPixmap(Icons::pixmap(QStringLiteral("arrow.triangle.merge"), 13, Style::color(ColorRole::accent),
                                  devicePixelRatioF()));
    m_cancel = new QToolButton(this);
    m_cancel->setObjectName(QStringLiteral("mergeCancelButton"));
    m_cancel->setText(QStringLiteral("Cancel"));
    m_cancel->setAutoRaise(true);
    m_cancel->setFocusPolicy(Qt::TabFocus);
    m_cancel->setCursor(Qt::PointingHandCursor);
    m_cancel->setFont(Style::font(11, TextWeight::medium));
    m_cancel->setStyleSheet(QStringLiteral("QToolButton { color: %1; border: none; padding: 0; }")
                                .arg(Style::css(Style::color(ColorRole::secondary))));
    title->addWidget(icon);
    title->addWidget(PlainLabels::make(QStringLiteral("Merge Recordings"), Style::font(12, TextWeight::bold),
                                       Style::color(ColorRole::primary), this));
    title->addStretch(1);
    title->addWidget(m_cancel);
    column->addLayout(title);

    m_sourceLine = new QWidget(this);
    auto* source = new QHBoxLayout(m_sourceLine);
    source->setContentsMargins(0, 0, 0, 0);
    source->setSpacing(4);
    source->addWidget(PlainLabels::make(QStringLiteral("Base:"), Style::font(11, TextWeight::semibold),
                                        Style::color(ColorRole::secondary), m_sourceLine));
    m_source = new ElidedLabel(m_sourceLine);
    m_source->setFont(Style::font(11, TextWeight::medium));
    source->addWidget(m_source, 1);
    column->addWidget(m_sourceLine);

    auto* count = new QHBoxLayout;
    count->setSpacing(6);
    m_count = PlainLabels::make(QString(), Style::font(11, TextWeight::medium), Style::color(ColorRole::secondary), this);
    m_merge = new QPushButton(this);
    m_merge->setObjectName(QStringLiteral("mergeButton"));
    m_merge->setFocusPolicy(Qt::TabFocus);
    m_merge->setCursor(Qt::PointingHandCursor);
    auto* label = new QHBoxLayout(m_merge);
    label->setContentsMargins(10, 4, 10, 4);
    label->setSpacing(4);
    m_spinner = new ActivitySpinner(12, m_merge);
    m_spinner->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_mergeLabel = new QLabel(m_merge);
    m_mergeLabel->setTextFormat(Qt::PlainText);
    m_mergeLabel->setFont(Style::font(11, TextWeight::semibold));
    m_mergeLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->addWidget(m_spinner);
    label->addWidget(m_mergeLabel);
    count->addWidget(m_count);
    count->addStretch(1);
    count->addWidget(m_merge);
    column->addLayout(count);

    m_progress = PlainLabels::make(QString(), Style::font(10), Style::color(ColorRole::secondary), this);
    m_progress->setObjectName(QStringLiteral("mergeProgress"));
    column->addWidget(m_progress);

    connect(m_cancel, &QToolButton::clicked, this, &MergePanel::cancelRequested);
    connect(m_merge, &QPushButton::clicked, this, &MergePanel::mergeRequested);
    setState({});
}

void MergePanel::setState(const State& state)
{
    m_sourceLine->setVisible(state.sourceTitle.has_value());
    m_source->setText(state.sourceTitle.value_or(QString()));

    m_count->setText(MergePanelRules::selectedCountText(state.picked));
    m_count->setStyleSheet(
        QStringLiteral("color: %1;").arg(Style::css(Style::color(MergePanelRules::selectedCountTint(state.picked)))));

    const bool enabled = MergePanelRules::mergeButtonEnabled(state.picked, state.isMerging);
    m_merge->setEnabled(enabled);
    m_mergeLabel->setText(MergePanelRules::mergeButtonText(state.picked));
    m_spinner->setVisible(state.isMerging);
    const QColor text = enabled ? Style::color(ColorRole::white) : Style::color(ColorRole::secondary);
    m_spinner->setColor(text);
    m_mergeLabel->setStyleSheet(QStringLiteral("color: %1;").arg(Style::css(text)));
    const QColor fill = enabled ? Style::color(ColorRole::accent) : Style::color(ColorRole::gray, 0.2);
    m_merge->setStyleSheet(QStringLiteral("QPushButton { background: %1; border: none; border-radius: 6px; }")
                               .arg(Style::css(fill)));
    m_merge->setFixedSize(m_merge->layout()->sizeHint());

    m_progress->setVisible(state.progress.has_value());
    m_progress->setText(state.progress.value_or(QString()));
}

QString MergePanel::countText() const
{
    return m_count->text();
}

QString MergePanel::mergeButtonText() const
{
    return m_mergeLabel->text();
}

QString MergePanel::sourceText() const
{
    return m_sourceLine->isVisibleTo(this) ? m_source->text() : QString();
}

QString MergePanel::progressText() const
{
    return m_progress->isVisibleTo(this) ? m_progress->text() : QString();
}

void MergePanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    painter.fillPath(shape, Style::color(ColorRole::accent, 0.08));
    painter.setPen(QPen(Style::color(ColorRole::accent, 0.25), 1));
    painter.drawPath(shape);
}
